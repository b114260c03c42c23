# Image blit throughput against a plain memory copy of the same bytes.  Drives the
# module through the test host, so it needs the test support library.
find_package(benchmark QUIET)
if(benchmark_FOUND AND TARGET zdi_test_support)
  add_executable(image_throughput ${CMAKE_CURRENT_LIST_DIR}/image_throughput.cpp)
  target_link_libraries(image_throughput PRIVATE zdi_test_support benchmark::benchmark)
else()
  message(STATUS "bench: Google Benchmark or the test support library missing, "
                 "no image_throughput")
endif()
