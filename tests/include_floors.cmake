# The floors of the code, read from the includes of every source file: each folder
# may include only the folders below it (and itself), and every include of the
# project's own headers names its folder.
#   cmake -DSOURCE=<source root> -P include_floors.cmake
#
#   host                         the host library: nothing of the renderer
#   trace                        the trace library: the host library
#   pixel                        buffers, renderer state, policies, gates: host only
#   lines, images                a family: the pixel floor
#   triangles                    a family: the pixel floor and lines (strip edges)
#   polygons, textured           a family: the pixel floor and triangles
#   core                         the renderer object: every family
cmake_minimum_required(VERSION 3.25)
set(allowed_host host)
set(allowed_trace host trace)
set(allowed_pixel host pixel)
set(allowed_lines host pixel lines)
set(allowed_images host pixel images)
set(allowed_triangles host pixel lines triangles)
set(allowed_polygons host pixel triangles polygons)
set(allowed_textured host pixel triangles textured)
set(allowed_core host pixel lines images triangles polygons textured core)

set(folders host trace pixel lines images triangles polygons textured core)
set(faults "")
foreach(folder ${folders})
  file(GLOB sources ${SOURCE}/${folder}/*.h ${SOURCE}/${folder}/*.cpp)
  foreach(source ${sources})
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${includes})
      string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" header "${line}")
      file(RELATIVE_PATH where ${SOURCE} ${source})
      if(NOT header MATCHES "/")
        string(APPEND faults "${where}: \"${header}\" does not name its folder\n")
        continue()
      endif()
      string(REGEX REPLACE "/.*$" "" target "${header}")
      if(NOT target IN_LIST allowed_${folder})
        string(APPEND faults "${where}: ${folder}/ may not include \"${header}\"\n")
      endif()
    endforeach()
  endforeach()
endforeach()
if(faults)
  message(FATAL_ERROR "includes that break the floors:\n${faults}")
endif()
list(LENGTH folders count)
message(STATUS "the includes of ${count} folders keep to their floors")
