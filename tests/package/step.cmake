# step(<what> <command...>): runs the command; a non-zero status stops the script with its output.
function(step what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${what} failed (${status}):\n${out}\n${err}")
  endif()
  message(STATUS "ok: ${what}")
endfunction()
