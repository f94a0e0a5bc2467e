# A call from the modem emulator to the incoming call window, and the start-up to the tray
# (see README, "Performance").
if(benchmark_FOUND AND TARGET tellwise_app)
    add_executable(bench_pipeline ${CMAKE_CURRENT_LIST_DIR}/bench_pipeline.cpp)
    target_link_libraries(bench_pipeline PRIVATE tellwise_app benchmark::benchmark)
    add_dependencies(bench_pipeline tellwise-modem-sim)
    tellwise_warnings(bench_pipeline)
endif()
