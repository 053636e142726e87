# The waits that the controls' tests bound without timing them: the link
# label's end of a hover and a drag of a resizable dialog's frame, with real
# pointer input. Uses the tests' dialog templates. Included from
# bench/CMakeLists.txt; the paths hold from wherever it is included.
add_executable(ui_bench ${CMAKE_CURRENT_LIST_DIR}/ui_bench.cpp
    ${CMAKE_SOURCE_DIR}/tests/controls/link_label_tests.rc
    ${CMAKE_SOURCE_DIR}/tests/controls/sizing_dialog_tests.rc)
target_link_libraries(ui_bench PRIVATE corvane_controls corvane_test_support)
target_include_directories(ui_bench PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests/controls)
set_target_properties(ui_bench PROPERTIES
    WIN32_EXECUTABLE OFF
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
