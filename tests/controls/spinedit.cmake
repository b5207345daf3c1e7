dw_add_gtest(test_fields SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_spinedit.cpp LIBS dw_controls)
