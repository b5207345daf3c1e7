# The picture button and the about dialog with its JPEG picture.
dw_add_gtest(test_imagebtn SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_imagebtn.cpp LIBS dw_controls)
dw_add_gtest(test_aboutbox SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_aboutbox.cpp
                                   ${CMAKE_CURRENT_LIST_DIR}/test_jpegimage.cpp LIBS dw_controls)
# The pictures as screens at scale 2 show them.
dw_add_gtest(test_sharppictures SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_sharppictures.cpp LIBS dw_controls)
