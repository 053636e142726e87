# Start-up time of corvane.exe with 10 task windows on the stand-in taskbar,
# against a minimal Win32 dialog program, bare and with the same taskbar calls.
# Included from bench/CMakeLists.txt.
#
# The baseline is a program to be started, not a bench: it goes to a folder
# below bench/, where scripts/bench.sh does not run it.
add_executable(minimal_dialog WIN32 ${CMAKE_CURRENT_LIST_DIR}/minimal_dialog.cpp ${CMAKE_CURRENT_LIST_DIR}/minimal_dialog.rc)
set_target_properties(minimal_dialog PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench/programs)
# uuid is a static library of interface ids; ole32 is loaded at run time, only
# when the taskbar calls are asked for.
target_link_libraries(minimal_dialog PRIVATE uuid)
target_include_directories(minimal_dialog PRIVATE ${CMAKE_SOURCE_DIR})

add_executable(startup_bench ${CMAKE_CURRENT_LIST_DIR}/startup_bench.cpp)
target_link_libraries(startup_bench PRIVATE corvane_standin_client corvane_framework user32 advapi32)
target_include_directories(startup_bench PRIVATE ${CMAKE_SOURCE_DIR})
set_target_properties(startup_bench PROPERTIES
    WIN32_EXECUTABLE OFF
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
# Everything it starts is built first and found relative to it.
add_dependencies(startup_bench corvane minimal_dialog corvane_standin corvane_standin_taskbarlist corvane_samples)
file(RELATIVE_PATH startup_bench_top ${CMAKE_BINARY_DIR}/bench ${CMAKE_BINARY_DIR})
file(RELATIVE_PATH startup_bench_standin ${CMAKE_BINARY_DIR}/bench ${CMAKE_BINARY_DIR}/standin)
file(RELATIVE_PATH startup_bench_minimal ${CMAKE_BINARY_DIR}/bench ${CMAKE_BINARY_DIR}/bench/programs)
target_compile_definitions(startup_bench PRIVATE
    CORVANE_RELATIVE_DIR="${startup_bench_top}" STANDIN_RELATIVE_DIR="${startup_bench_standin}"
    MINIMAL_RELATIVE_DIR="${startup_bench_minimal}")
