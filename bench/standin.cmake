# The engine against the stand-in taskbar in another process: time and
# cross-process calls of a refresh and of a move; corvane.exe's arrange
# command and its restore after a restart of the stand-in. Included from
# bench/CMakeLists.txt; the paths hold from wherever it is included.
add_executable(standin_bench ${CMAKE_CURRENT_LIST_DIR}/standin_bench.cpp)
target_link_libraries(standin_bench PRIVATE corvane_engine corvane_standin_client corvane_standin_samples corvane_test_support ole32 advapi32)
target_include_directories(standin_bench PRIVATE ${CMAKE_SOURCE_DIR})
set_target_properties(standin_bench PROPERTIES
    WIN32_EXECUTABLE OFF
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
# The stand-in, its server and the samples must be there when the bench runs;
# the stand-in is found relative to the bench.
add_dependencies(standin_bench corvane corvane_standin corvane_standin_taskbarlist)
file(RELATIVE_PATH standin_bench_dir ${CMAKE_BINARY_DIR}/bench ${CMAKE_BINARY_DIR}/standin)
file(RELATIVE_PATH standin_bench_top ${CMAKE_BINARY_DIR}/bench ${CMAKE_BINARY_DIR})
target_compile_definitions(standin_bench PRIVATE STANDIN_RELATIVE_DIR="${standin_bench_dir}"
    CORVANE_RELATIVE_DIR="${standin_bench_top}")
