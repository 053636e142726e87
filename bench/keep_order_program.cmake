# corvane.exe keeping the order over the stand-in taskbar, with its real
# watch timer: the placing of a new window with 10, 50 and 200 listed windows,
# and the program's CPU time while it watches 50 windows that do not change.
add_executable(keep_order_program_bench ${CMAKE_CURRENT_LIST_DIR}/keep_order_program_bench.cpp)
target_link_libraries(keep_order_program_bench PRIVATE corvane_engine corvane_standin_client corvane_standin_samples
                      corvane_test_support shlwapi)
target_include_directories(keep_order_program_bench PRIVATE ${CMAKE_SOURCE_DIR})
set_target_properties(keep_order_program_bench PROPERTIES
    WIN32_EXECUTABLE OFF
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
add_dependencies(keep_order_program_bench corvane corvane_standin corvane_standin_taskbarlist corvane_samples)
file(RELATIVE_PATH keep_order_program_standin ${CMAKE_BINARY_DIR}/bench ${CMAKE_BINARY_DIR}/standin)
file(RELATIVE_PATH keep_order_program_top ${CMAKE_BINARY_DIR}/bench ${CMAKE_BINARY_DIR})
target_compile_definitions(keep_order_program_bench PRIVATE STANDIN_RELATIVE_DIR="${keep_order_program_standin}"
    CORVANE_RELATIVE_DIR="${keep_order_program_top}")
