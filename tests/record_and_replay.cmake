# Runs the demo with ZDI_TRACE naming a file, plays that trace back with
# zdi_replay and checks that both report the same colour and depth buffers.
# Arguments: DEMO, REPLAY, CONFIG, WORK (a folder for the files).
set(trace ${WORK}/scene_${CONFIG}.json)
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env ZDI_TRACE=${trace}
          ${DEMO} --config ${CONFIG} --size 96x72 -o ${WORK}/scene_${CONFIG}.png --print-hash
  OUTPUT_VARIABLE demo ERROR_VARIABLE demo_error RESULT_VARIABLE demo_status)
if(NOT demo_status EQUAL 0)
  message(FATAL_ERROR "zdi_demo failed (${demo_status}): ${demo}${demo_error}")
endif()
execute_process(COMMAND ${REPLAY} ${trace}
  OUTPUT_VARIABLE replay ERROR_VARIABLE replay_error RESULT_VARIABLE replay_status)
if(NOT replay_status EQUAL 0)
  message(FATAL_ERROR "zdi_replay failed (${replay_status}): ${replay}${replay_error}")
endif()
string(REGEX MATCH "color [0-9a-fnoe]+\ndepth [0-9a-fnoe]+" recorded "${demo}")
string(REGEX MATCH "color [0-9a-fnoe]+\ndepth [0-9a-fnoe]+" replayed "${replay}")
if(recorded STREQUAL "" OR NOT recorded STREQUAL replayed)
  message(FATAL_ERROR "recorded:\n${recorded}\nreplayed:\n${replayed}")
endif()
message(STATUS "configuration ${CONFIG}: ${recorded}")
