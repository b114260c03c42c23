# Throughput of strips of points anywhere (2DI) against the same strips of clipped points
# (DCI), configuration F.  Drives the module through the test host.
find_package(benchmark QUIET)
if(benchmark_FOUND AND TARGET zdi_test_support)
  add_executable(clip_throughput ${CMAKE_CURRENT_LIST_DIR}/clip_throughput.cpp)
  target_link_libraries(clip_throughput PRIVATE zdi_test_support zdi_bench_workloads
                                                benchmark::benchmark)
else()
  message(STATUS "bench: Google Benchmark or the test support library missing, "
                 "no clip_throughput")
endif()
