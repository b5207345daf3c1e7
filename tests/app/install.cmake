# The install target, into a temporary DESTDIR, checked file by file.
add_test(NAME Install.Tree COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/install_tree.sh ${CMAKE_BINARY_DIR})
set_tests_properties(Install.Tree PROPERTIES TIMEOUT 120)
