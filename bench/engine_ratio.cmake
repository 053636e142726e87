# The engine's figures as ratios to a baseline of the unavoidable work.
add_executable(engine_ratio_bench ${CMAKE_CURRENT_LIST_DIR}/engine_ratio_bench.cpp ${CMAKE_CURRENT_LIST_DIR}/engine_scene.cpp)
target_link_libraries(engine_ratio_bench PRIVATE corvane_engine corvane_test_support)
set_target_properties(engine_ratio_bench PROPERTIES
    WIN32_EXECUTABLE OFF
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
