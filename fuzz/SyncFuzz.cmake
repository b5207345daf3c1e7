# The sync's target: the engine (sync/, without the network plugin, its loader
# and the window's controller) and the import's reader (ical/, with the series
# code it reads rules through), compiled again here with coverage, on libical
# as Debian ships it, fed replies through a transport of the target's own.
file(GLOB dw_fuzz_sync_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/sync/*.cpp ${CMAKE_SOURCE_DIR}/sync/*.h)
list(REMOVE_ITEM dw_fuzz_sync_sources ${CMAKE_SOURCE_DIR}/sync/NetPlugin.cpp ${CMAKE_SOURCE_DIR}/sync/NetLoader.cpp
     ${CMAKE_SOURCE_DIR}/sync/SyncController.cpp ${CMAKE_SOURCE_DIR}/sync/SyncController.h
     ${CMAKE_SOURCE_DIR}/sync/AccountCheck.cpp ${CMAKE_SOURCE_DIR}/sync/AccountCheck.h)
add_executable(dw_fuzz_sync SyncReplyFuzzer.cpp ${dw_fuzz_sync_sources} ${dw_fuzz_ical_sources} ${dw_fuzz_series_sources})
set_target_properties(dw_fuzz_sync PROPERTIES AUTOMOC ON)
target_include_directories(dw_fuzz_sync PRIVATE $<TARGET_PROPERTY:dw_ical,INTERFACE_INCLUDE_DIRECTORIES>
                           $<TARGET_PROPERTY:dw_sync,INTERFACE_INCLUDE_DIRECTORIES>
                           $<TARGET_PROPERTY:dw_series,INTERFACE_INCLUDE_DIRECTORIES>
                           $<TARGET_PROPERTY:dw_series_plain,INTERFACE_INCLUDE_DIRECTORIES>)
target_compile_options(dw_fuzz_sync PRIVATE -fsanitize=fuzzer)
target_link_options(dw_fuzz_sync PRIVATE -fsanitize=fuzzer,address,undefined)
target_link_libraries(dw_fuzz_sync PRIVATE dw_fuzz_round_trip PkgConfig::LIBICAL_FUZZ)
