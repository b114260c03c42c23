# Triangle throughput of configuration F (Google Benchmark).
find_package(benchmark REQUIRED)
add_executable(triangle_throughput ${CMAKE_CURRENT_LIST_DIR}/triangle_throughput.cpp)
target_link_libraries(triangle_throughput PRIVATE zarnik11 benchmark::benchmark)
target_compile_definitions(triangle_throughput PRIVATE
  ZDI_MODULE_PATH="$<TARGET_FILE:software_z_buffer>")
add_dependencies(triangle_throughput software_z_buffer)
