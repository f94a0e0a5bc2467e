# The main window's pages over a large address book and call log (see README, "Performance").
if(benchmark_FOUND AND TARGET tellwise_ui)
    add_executable(bench_mainwindow ${CMAKE_CURRENT_LIST_DIR}/bench_mainwindow.cpp)
    target_link_libraries(bench_mainwindow PRIVATE tellwise_ui benchmark::benchmark)
    tellwise_warnings(bench_mainwindow)
endif()
