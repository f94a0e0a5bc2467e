# Save and load of the address book against plain file calls (see README, "Performance").
if(benchmark_FOUND)
    add_executable(bench_store ${CMAKE_CURRENT_LIST_DIR}/bench_store.cpp)
    target_link_libraries(bench_store PRIVATE tellwise_store benchmark::benchmark)
    tellwise_warnings(bench_store)
endif()
