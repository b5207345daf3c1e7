# The import's target: the reader --import uses (ical/, compiled again here with
# coverage) on libical as Debian ships it, into a store in memory; and the
# series it makes, through the series file's writer and readers (series/,
# compiled here with coverage too).
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBICAL_FUZZ REQUIRED IMPORTED_TARGET libical)
file(GLOB dw_fuzz_ical_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/ical/*.cpp)
set(dw_fuzz_series_sources Instances.cpp SeriesSet.cpp SeriesEdit.cpp SeriesReader.cpp IcalHelper.cpp SeriesWriter.cpp)
list(TRANSFORM dw_fuzz_series_sources PREPEND ${CMAKE_SOURCE_DIR}/series/)
add_executable(dw_fuzz_import ImportFuzzer.cpp ${dw_fuzz_ical_sources} ${dw_fuzz_series_sources})
target_include_directories(dw_fuzz_import PRIVATE $<TARGET_PROPERTY:dw_ical,INTERFACE_INCLUDE_DIRECTORIES>
                                                  $<TARGET_PROPERTY:dw_series,INTERFACE_INCLUDE_DIRECTORIES>
                                                  $<TARGET_PROPERTY:dw_series_plain,INTERFACE_INCLUDE_DIRECTORIES>
                                                  ${CMAKE_BINARY_DIR}/include/dw_core)
target_compile_options(dw_fuzz_import PRIVATE -fsanitize=fuzzer)
target_link_options(dw_fuzz_import PRIVATE -fsanitize=fuzzer,address,undefined)
target_link_libraries(dw_fuzz_import PRIVATE dw_fuzz_round_trip dw_plain PkgConfig::LIBICAL_FUZZ)
