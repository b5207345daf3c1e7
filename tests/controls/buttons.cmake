# The themed button and its glyph images.
dw_add_gtest(test_buttonglyph SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_buttonglyph.cpp LIBS dw_controls)
dw_add_gtest(test_bitbtnxp SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_bitbtnxp.cpp LIBS dw_controls)
