# A series made, reminded and changed in the real program.
dw_add_gtest(test_program_series SOURCES test_program_series.cpp MainWindowGeometry.cpp LIBS dw_xsession dw_app
             TIMEOUT 240)
add_dependencies(test_program_series datumswecker)
