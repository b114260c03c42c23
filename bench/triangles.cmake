# Triangle throughput of configuration F (Google Benchmark).  Loads the module by
# path through the host library.
find_package(benchmark QUIET)
if(benchmark_FOUND AND TARGET software_z_buffer)
  add_executable(triangle_throughput ${CMAKE_CURRENT_LIST_DIR}/triangle_throughput.cpp)
  target_link_libraries(triangle_throughput PRIVATE zarnik11 zdi_bench_workloads
                                                    benchmark::benchmark)
  target_compile_definitions(triangle_throughput PRIVATE
    ZDI_MODULE_PATH="$<TARGET_FILE:software_z_buffer>")
  add_dependencies(triangle_throughput software_z_buffer)
else()
  message(STATUS "bench: Google Benchmark or the renderer module missing, no triangle_throughput")
endif()
