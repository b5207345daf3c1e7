# The real program under sway, with dunst as the notification server.
dw_add_gtest(test_program_sway SOURCES test_program_sway.cpp LIBS dw_waylandsession dw_store_test_support TIMEOUT 180)
add_dependencies(test_program_sway datumswecker)
