# The real program with dunst as the desktop's notification server.
dw_add_gtest(test_program_notify SOURCES test_program_notify.cpp LIBS dw_xsession dw_store TIMEOUT 180)
add_dependencies(test_program_notify datumswecker)
