# The caller look-up over large address books, against the plain scan (see README, "Performance").
if(benchmark_FOUND)
    add_executable(bench_numbers ${CMAKE_CURRENT_LIST_DIR}/bench_numbers.cpp)
    target_link_libraries(bench_numbers PRIVATE tellwise_store benchmark::benchmark)
    tellwise_warnings(bench_numbers)
endif()
