# Builds what docs/writing-programs.md shows, so that the guide cannot drift from the library.
# Fenced blocks marked `file=NAME` make up the guide's project, which is configured, built and
# tested against the installed package; every other C++ block must be marked `compile` and is
# compiled as a translation unit of its own. An unmarked C++ block fails the test. With the
# browser package installed in WEB_PREFIX, the project is also built as a page with that
# package's toolchain, and the page is run in Chromium (guide_page.mjs); without it, or without
# the browser, that part is skipped with a message.
# Usage: cmake -DGUIDE=<md> -DPREFIX=<installed package> -DWORK_DIR=<scratch> -DGENERATOR=<gen>
#              [-DWEB_PREFIX=<installed browser package>] -P guide_test.cmake
cmake_minimum_required(VERSION 3.25)
foreach(var GUIDE PREFIX WORK_DIR GENERATOR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/../package/step.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
set(project_dir ${WORK_DIR}/project)
set(snippet_dir ${WORK_DIR}/snippets)
file(MAKE_DIRECTORY ${project_dir} ${snippet_dir})

# Walks the fences: "```<info>" at the start of a line opens a block, the next "```" at the start
# of a line closes it. The text is only ever searched and cut, never split as a list, so the
# semicolons and brackets of the code come through unchanged.
file(READ ${GUIDE} text)
set(rest "\n${text}")
set(blocks 0)
set(snippets "")
set(written "")
while(TRUE)
  string(FIND "${rest}" "\n```" open)
  if(open EQUAL -1)
    break()
  endif()
  math(EXPR from "${open} + 4")
  string(SUBSTRING "${rest}" ${from} -1 rest)
  string(FIND "${rest}" "\n" eol)
  if(eol EQUAL -1)
    message(FATAL_ERROR "${GUIDE}: a fence opens at the end of the file")
  endif()
  string(SUBSTRING "${rest}" 0 ${eol} info)
  math(EXPR from "${eol} + 1")
  string(SUBSTRING "${rest}" ${from} -1 rest)
  string(FIND "\n${rest}" "\n```" close)
  if(close EQUAL -1)
    message(FATAL_ERROR "${GUIDE}: the block '${info}' is never closed")
  endif()
  string(SUBSTRING "${rest}" 0 ${close} body)
  math(EXPR from "${close} + 3")
  string(SUBSTRING "${rest}" ${from} -1 rest)
  math(EXPR blocks "${blocks} + 1")

  if(info MATCHES "(^| )file=([^ ]+)")
    set(name ${CMAKE_MATCH_2})
    # A file may be shown in several blocks; they follow each other in the file.
    if(name IN_LIST written)
      file(APPEND ${project_dir}/${name} "${body}")
    else()
      file(WRITE ${project_dir}/${name} "${body}")
      list(APPEND written ${name})
    endif()
  elseif(info MATCHES "^cpp( |$)")
    if(NOT info MATCHES "(^| )compile( |$)")
      message(FATAL_ERROR "${GUIDE}: C++ block ${blocks} ('${info}') is marked neither file=NAME nor compile")
    endif()
    set(name snippet_${blocks}.cpp)
    file(WRITE ${snippet_dir}/${name} "${body}")
    list(APPEND snippets ${name})
  endif()
endwhile()
if(NOT "CMakeLists.txt" IN_LIST written OR NOT snippets)
  message(FATAL_ERROR "${GUIDE}: no project (file=CMakeLists.txt) or no compiled snippet found")
endif()

# Each snippet on its own, with every module and the headless backend's headers at hand.
list(JOIN snippets " " snippet_sources)
file(WRITE ${snippet_dir}/CMakeLists.txt
     "cmake_minimum_required(VERSION 3.25)\n"
     "project(GuideSnippets LANGUAGES CXX)\n"
     "set(CMAKE_CXX_STANDARD 20)\n"
     "set(CMAKE_CXX_STANDARD_REQUIRED ON)\n"
     "find_package(Physikdemos 1.0 REQUIRED)\n"
     "find_package(GTest REQUIRED)\n"
     "add_library(snippets OBJECT ${snippet_sources})\n"
     "target_link_libraries(snippets PRIVATE Physikdemos::Inc_GUI Physikdemos::Inc_Diffgl Physikdemos::Inc_Komplex\n"
     "                      Physikdemos::Inc_Mathe Physikdemos::Inc_Graphik Physikdemos::surface_headless GTest::gtest)\n")

set(flags "-DCMAKE_CXX_FLAGS=-Wall -Wextra -Wpedantic -Werror")
foreach(part project snippets)
  step("configure the guide's ${part}" ${CMAKE_COMMAND} -S ${WORK_DIR}/${part} -B ${WORK_DIR}/${part}/build
       -G ${GENERATOR} -DCMAKE_PREFIX_PATH=${PREFIX} ${flags})
  step("build the guide's ${part}" ${CMAKE_COMMAND} --build ${WORK_DIR}/${part}/build)
endforeach()
step("test the guide's project" ${CMAKE_CTEST_COMMAND} --test-dir ${WORK_DIR}/project/build --output-on-failure)

# The walkthrough as a page, as the guide builds it: the toolchain alone finds the package.
set(toolchain ${WEB_PREFIX}/lib/cmake/Physikdemos/web-toolchain.cmake)
if(NOT WEB_PREFIX OR NOT EXISTS ${toolchain})
  message(STATUS "skipped: the guide's page (no browser package: Emscripten is missing)")
  return()
endif()
step("configure the guide's page" ${CMAKE_COMMAND} -S ${project_dir} -B ${WORK_DIR}/page -G ${GENERATOR}
     --toolchain ${toolchain} ${flags})
step("build the guide's page" ${CMAKE_COMMAND} --build ${WORK_DIR}/page)
find_program(NODE node)
if(NOT NODE)
  message(STATUS "skipped: the guide's page in Chromium (no Node)")
  return()
endif()
execute_process(COMMAND ${NODE} ${CMAKE_CURRENT_LIST_DIR}/guide_page.mjs ${WORK_DIR}/page/schwinger.html
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(status EQUAL 77)
  message(STATUS "skipped: the guide's page in Chromium: ${out}")
elseif(NOT status EQUAL 0)
  message(FATAL_ERROR "the guide's page in Chromium failed (${status}):\n${out}\n${err}")
else()
  string(STRIP "${out}" out)
  message(STATUS "ok: the guide's page in Chromium: ${out}")
endif()
