# The import's target: the reader --import uses (ical/, compiled again here with
# coverage) on libical as Debian ships it, into a store in memory.
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBICAL_FUZZ REQUIRED IMPORTED_TARGET libical)
file(GLOB dw_fuzz_ical_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/ical/*.cpp)
add_executable(dw_fuzz_import ImportFuzzer.cpp ${dw_fuzz_ical_sources})
target_include_directories(dw_fuzz_import PRIVATE $<TARGET_PROPERTY:dw_ical,INTERFACE_INCLUDE_DIRECTORIES>)
target_compile_options(dw_fuzz_import PRIVATE -fsanitize=fuzzer)
target_link_options(dw_fuzz_import PRIVATE -fsanitize=fuzzer,address,undefined)
target_link_libraries(dw_fuzz_import PRIVATE dw_fuzz_round_trip PkgConfig::LIBICAL_FUZZ)
