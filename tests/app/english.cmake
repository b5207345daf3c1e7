# The real program under an English locale, with a screen reader's view and a notification server.
dw_add_gtest(test_program_english SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_program_english.cpp
             ${CMAKE_CURRENT_LIST_DIR}/MainWindowGeometry.cpp
             LIBS dw_xsession dw_atspi dw_store_test_support dw_app TIMEOUT 240)
add_dependencies(test_program_english datumswecker)
