# corvane.exe keeping the order while nothing changes: its CPU time over 60 s
# of watching 50 windows with no taskbar found, and over the stand-in.
add_executable(keep_order_idle_bench ${CMAKE_CURRENT_LIST_DIR}/keep_order_idle_bench.cpp)
target_link_libraries(keep_order_idle_bench PRIVATE corvane_engine corvane_standin_client corvane_standin_samples
                      corvane_test_support shlwapi)
target_include_directories(keep_order_idle_bench PRIVATE ${CMAKE_SOURCE_DIR})
set_target_properties(keep_order_idle_bench PROPERTIES
    WIN32_EXECUTABLE OFF
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
add_dependencies(keep_order_idle_bench corvane corvane_standin corvane_standin_taskbarlist corvane_samples)
file(RELATIVE_PATH keep_order_idle_standin ${CMAKE_BINARY_DIR}/bench ${CMAKE_BINARY_DIR}/standin)
file(RELATIVE_PATH keep_order_idle_top ${CMAKE_BINARY_DIR}/bench ${CMAKE_BINARY_DIR})
target_compile_definitions(keep_order_idle_bench PRIVATE STANDIN_RELATIVE_DIR="${keep_order_idle_standin}"
    CORVANE_RELATIVE_DIR="${keep_order_idle_top}")
