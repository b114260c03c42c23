# Line throughput of configuration F (Google Benchmark) on the shared lines
# workload.  Drives the module through the test host, so it needs the test
# support library.
find_package(benchmark QUIET)
if(benchmark_FOUND AND TARGET zdi_test_support)
  add_executable(line_throughput ${CMAKE_CURRENT_LIST_DIR}/line_throughput.cpp)
  target_link_libraries(line_throughput PRIVATE zdi_test_support zdi_bench_workloads
                                                benchmark::benchmark)
else()
  message(STATUS "bench: Google Benchmark or the test support library missing, "
                 "no line_throughput")
endif()
