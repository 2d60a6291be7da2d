# Runs PROGRAM and checks that its executable holds and needs nothing of the surface, the
# window code or SDL: no symbol from them, no shared library of the window system.
# Usage: cmake -DPROGRAM=... -DNM=... -DREADELF=... -P no_window_code.cmake
execute_process(COMMAND ${PROGRAM} RESULT_VARIABLE status OUTPUT_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} failed (${status}): ${out}")
endif()

execute_process(COMMAND ${NM} -C ${PROGRAM} OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${PROGRAM}")
endif()
# The surface's operations and state, its backends, and SDL.
string(REGEX MATCHALL "[^\n]*(SCREEN_[A-Z_]+|INPUT_[A-Z]+|TIME_SLEEP|TIME_MS|surf::|headless::|SDL_)[^\n]*" found "${symbols}")
if(found)
  list(JOIN found "\n" lines)
  message(FATAL_ERROR "${PROGRAM} contains window code:\n${lines}")
endif()

execute_process(COMMAND ${READELF} -d ${PROGRAM} OUTPUT_VARIABLE dynamic)
string(REGEX MATCHALL "NEEDED[^\n]*(SDL|X11|png)[^\n]*" needed "${dynamic}")
if(needed)
  message(FATAL_ERROR "${PROGRAM} needs window libraries:\n${needed}")
endif()
message(STATUS "${PROGRAM}: runs, and links no window code")
