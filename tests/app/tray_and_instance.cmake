# The notification-area unit, the channel to the running copy, and the real
# program with each kind of notification area and with a second start.
dw_add_gtest(test_trayicon SOURCES test_trayicon.cpp LIBS dw_app)
dw_add_gtest(test_program_tray SOURCES test_program_tray.cpp MainWindowGeometry.cpp LIBS dw_xsession dw_app TIMEOUT 240)
add_dependencies(test_program_tray datumswecker)
dw_add_gtest(test_program_instance SOURCES test_program_instance.cpp LIBS dw_xsession TIMEOUT 180)
add_dependencies(test_program_instance datumswecker)
