# The watch step of keeping the order, against the in-process fake shell,
# with the windows of another program: its cost when nothing changes, and the
# placing of a new window with 10, 50 and 200 listed windows.
add_executable(keep_order_bench ${CMAKE_CURRENT_LIST_DIR}/keep_order_bench.cpp)
target_link_libraries(keep_order_bench PRIVATE corvane_engine corvane_standin_client corvane_test_support ole32)
set_target_properties(keep_order_bench PROPERTIES
    WIN32_EXECUTABLE OFF
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
add_dependencies(keep_order_bench corvane_samples)
file(RELATIVE_PATH keep_order_samples_dir ${CMAKE_BINARY_DIR}/bench ${CMAKE_BINARY_DIR}/standin)
target_compile_definitions(keep_order_bench PRIVATE STANDIN_RELATIVE_DIR="${keep_order_samples_dir}")
