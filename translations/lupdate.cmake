# Runs lupdate over the program's sources (every folder with a CMakeLists.txt
# except the tests, benchmarks, fuzzing, tools and packaging) into the .ts files.
#   MODE=update: into the files themselves.
#   MODE=check:  into copies in WORK_DIR; fails on any text that is new or
#                unfinished there, or that the sources no longer have.
# Without locations, so a .ts changes only where a text does.
cmake_policy(VERSION 3.25)
set(options -I ${SOURCE_DIR} -locations none -source-language de -tr-function-alias translate+=Tr,QT_TRANSLATE_NOOP+=TrNoop -silent)
set(skipped tests bench fuzz tools translations packaging)

file(GLOB lists RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*/CMakeLists.txt)
set(folders)
foreach(list ${lists})
  get_filename_component(folder ${list} DIRECTORY)
  if(NOT folder IN_LIST skipped)
    list(APPEND folders ${SOURCE_DIR}/${folder})
  endif()
endforeach()

if(MODE STREQUAL "update")
  # Vanished texts are dropped; the check keeps them, as they are what it reports.
  list(APPEND options -no-obsolete)
else()
  file(MAKE_DIRECTORY ${WORK_DIR})
endif()

foreach(ts ${TS_FILES})
  get_filename_component(name ${ts} NAME)
  if(MODE STREQUAL "update")
    set(target ${ts})
  else()
    set(target ${WORK_DIR}/${name})
    file(COPY_FILE ${ts} ${target})
  endif()
  execute_process(COMMAND ${LUPDATE} ${options} ${folders} -ts ${target} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "lupdate failed on ${name}")
  endif()
  if(MODE STREQUAL "check")
    file(READ ${target} content)
    set(problems)
    foreach(kind unfinished vanished obsolete)
      string(REGEX MATCHALL "<source>[^<]*</source>[ \n]*(<comment>[^<]*</comment>[ \n]*)?<translation type=\"${kind}\""
             found "${content}")
      foreach(item ${found})
        string(REGEX REPLACE "^<source>([^<]*)</source>.*" "\\1" text "${item}")
        string(REPLACE ";" "," text "${text}")
        list(APPEND problems "  ${kind}: ${text}")
      endforeach()
    endforeach()
    if(problems)
      list(LENGTH problems count)
      list(JOIN problems "\n" shown)
      message(FATAL_ERROR "${name}: ${count} texts to translate or remove (run the target update_translations, "
                          "then translate them, e.g. in Qt Linguist):\n${shown}")
    endif()
    message(STATUS "${name}: every text of the sources is translated")
  endif()
endforeach()
