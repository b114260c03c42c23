# Line throughput of configuration F (Google Benchmark), driving the module
# through its action table.
find_package(benchmark QUIET)
if(benchmark_FOUND AND TARGET software_z_buffer)
  add_executable(line_throughput ${CMAKE_CURRENT_LIST_DIR}/line_throughput.cpp)
  target_link_libraries(line_throughput PRIVATE zarnik11 benchmark::benchmark)
  # The renderer's headers only: the benchmark reaches the depth buffer to
  # clear it between repetitions.
  target_include_directories(line_throughput PRIVATE
    $<TARGET_PROPERTY:zdi_renderer,INTERFACE_INCLUDE_DIRECTORIES>)
  target_compile_definitions(line_throughput PRIVATE
    ZDI_MODULE_PATH="$<TARGET_FILE:software_z_buffer>")
  add_dependencies(line_throughput software_z_buffer)
else()
  message(STATUS "bench: Google Benchmark not found, no line throughput benchmark")
endif()
