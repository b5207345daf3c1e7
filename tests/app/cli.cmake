# The command line; the import handler runs against a real main window.
dw_add_gtest(test_cli SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_cli_run.cpp LIBS dw_app)
dw_add_gtest(test_program_cli SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_program_cli.cpp LIBS dw_xsession TIMEOUT 180)
add_dependencies(test_program_cli datumswecker)
dw_add_gtest(test_light_program SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_light_program.cpp)
add_dependencies(test_light_program datumswecker)
