dw_add_gtest(test_autostart SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_autostart.cpp LIBS dw_app)
