# The library as another project meets it.
#   -DMODE=install -DBUILD_DIR=<this build> -DPREFIX=<scratch prefix> [-DOPTIONAL=ON]
#       installs this build into the prefix, which is emptied first; OPTIONAL: a build that is
#       not there is skipped with a message (the browser build without Emscripten);
#   -DMODE=project -DPREFIX=<prefix> -DSOURCE_DIR=<project> -DWORK_DIR=<scratch> -DGENERATOR=<gen>
#       configures and builds that project against the installed package in WORK_DIR (emptied
#       first) and runs its tests with ctest when it has any.
include(${CMAKE_CURRENT_LIST_DIR}/step.cmake)

if(MODE STREQUAL "install")
  file(REMOVE_RECURSE ${PREFIX})
  if(OPTIONAL AND NOT EXISTS ${BUILD_DIR}/cmake_install.cmake)
    message("SKIPPED: no build in ${BUILD_DIR} to install")
    return()
  endif()
  step("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX})
elseif(MODE STREQUAL "project")
  file(REMOVE_RECURSE ${WORK_DIR})
  step("configure ${SOURCE_DIR}" ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR} -G ${GENERATOR}
       -DCMAKE_PREFIX_PATH=${PREFIX} "-DCMAKE_CXX_FLAGS=-Wall -Wextra -Wpedantic -Werror")
  step("build ${SOURCE_DIR}" ${CMAKE_COMMAND} --build ${WORK_DIR})
  if(EXISTS ${WORK_DIR}/CTestTestfile.cmake)
    step("test ${SOURCE_DIR}" ${CMAKE_CTEST_COMMAND} --test-dir ${WORK_DIR} --output-on-failure)
  endif()
else()
  message(FATAL_ERROR "MODE must be install or project")
endif()
