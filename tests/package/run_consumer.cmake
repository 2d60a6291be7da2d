# Installs the build in BUILD_DIR into a scratch prefix under WORK_DIR, then configures, builds
# and runs the consumer project in CONSUMER_DIR against that prefix.
# Usage: cmake -DBUILD_DIR=... -DCONSUMER_DIR=... -DWORK_DIR=... -DGENERATOR=... [-DHAS_SDL=ON]
#              -P run_consumer.cmake
foreach(var BUILD_DIR CONSUMER_DIR WORK_DIR GENERATOR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

set(prefix ${WORK_DIR}/prefix)
set(build ${WORK_DIR}/build)
file(REMOVE_RECURSE ${WORK_DIR})

include(${CMAKE_CURRENT_LIST_DIR}/step.cmake)

step("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
foreach(file include/physikdemos/Inc/GUI.hpp include/physikdemos/surface/surface.hpp
             lib/cmake/Physikdemos/PhysikdemosConfig.cmake)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
# Internals stay out of the package.
file(GLOB_RECURSE internals ${prefix}/include/physikdemos/*detail*)
if(internals)
  message(FATAL_ERROR "internal headers installed: ${internals}")
endif()

step("configure the consumer" ${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${build} -G ${GENERATOR}
     -DCMAKE_PREFIX_PATH=${prefix} -DCONSUMER_WINDOW=${HAS_SDL})
step("build the consumer" ${CMAKE_COMMAND} --build ${build})
step("run the consumer" ${build}/consumer)
step("run the numerics consumer" ${build}/consumer_numerics)

# Configuring a program with no backend, or with both, fails with a message naming the backends.
foreach(backends none both)
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/build_${backends} -G ${GENERATOR}
                          -DCMAKE_PREFIX_PATH=${prefix} -DCONSUMER_BACKENDS=${backends}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(REGEX REPLACE "[ \n]+" " " err "${err}")  # CMake wraps long messages
  if(status EQUAL 0 OR NOT err MATCHES "consumer_[a-z_]+_backends?\".*Physikdemos::surface_sdl.*Physikdemos::surface_headless")
    message(FATAL_ERROR "a program with ${backends} backends configured (${status}) without naming them:\n${err}")
  endif()
  message(STATUS "ok: a program linking ${backends} of the backends is refused by name")
endforeach()
