# A refresh on a taskbar that groups similar buttons against the same refresh
# without grouping, over 50 windows of 5 programs (the sample program and
# four copies of it under other names).
add_executable(grouping_bench ${CMAKE_CURRENT_LIST_DIR}/grouping_bench.cpp ${CMAKE_CURRENT_LIST_DIR}/engine_scene.cpp)
target_link_libraries(grouping_bench PRIVATE corvane_engine corvane_standin_client corvane_test_support)
target_include_directories(grouping_bench PRIVATE ${CMAKE_SOURCE_DIR})
set_target_properties(grouping_bench PROPERTIES
    WIN32_EXECUTABLE OFF
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
add_dependencies(grouping_bench corvane_samples)
file(RELATIVE_PATH grouping_bench_standin ${CMAKE_BINARY_DIR}/bench ${CMAKE_BINARY_DIR}/standin)
target_compile_definitions(grouping_bench PRIVATE STANDIN_RELATIVE_DIR="${grouping_bench_standin}")
