# Programs as web pages, in the browser build of this project and in projects that use its
# installed browser package (find_package(Physikdemos) with the installed web toolchain):
#
#   physikdemos_add_page(<target> [TITLE <title>] [DESCRIPTION <sentence>] [SIZE <width>x<height>]
#                        [OFFLINE])
#
# makes the executable <target> a page, <target>.html in its output folder: one file that holds
# the page, its script and its wasm, so that it runs opened from disk as well as served. It links
# the web backend (Physikdemos::surface_web, which brings the backend's own link options) and
# builds the page from page.html.in, the page of every program of this project: the picture
# fitted to the browser window, pointer, touch and keys into the program, its runtime report
# under the picture. TITLE (default: <target>) and SIZE (default 640x480) are the page's title and
# canvas until the program opens its window, which then sets both. The title, and DESCRIPTION
# after it when given, name the picture for screen readers. OFFLINE makes the page load
# offline.js from its folder, as the pages of this project's site do.
include_guard(GLOBAL)

# The page's side of the link: one file (the wasm in base64), the HTML kept as the template
# writes it, for a browser only; what the template's script hands the program (arguments, print, printErr,
# onExit) and no other module setting; the end of the program runs its exit handlers, so that the
# page learns the exit status.
set(PHYSIKDEMOS_PAGE_LINK_OPTIONS
    -sSINGLE_FILE=1
    -sMINIFY_HTML=0
    -sENVIRONMENT=web
    -sEXIT_RUNTIME=1
    -sSTRICT=1
    -sINCOMING_MODULE_JS_API=[arguments,print,printErr,onExit])

function(physikdemos_add_page target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "OFFLINE" "TITLE;DESCRIPTION;SIZE" "")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "physikdemos_add_page(${target}): unknown words ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT TARGET ${target})
    message(FATAL_ERROR "physikdemos_add_page(${target}): no such target")
  endif()
  get_target_property(type ${target} TYPE)
  if(NOT type STREQUAL "EXECUTABLE")
    message(FATAL_ERROR "physikdemos_add_page(${target}): a page is made of an executable, not a ${type}")
  endif()
  if(NOT EMSCRIPTEN)
    message(FATAL_ERROR "physikdemos_add_page(${target}): pages need the browser build (Emscripten's compiler)")
  endif()
  set(title "${target}")
  if(DEFINED arg_TITLE)
    set(title "${arg_TITLE}")
  endif()
  set(size 640x480)
  if(DEFINED arg_SIZE)
    set(size "${arg_SIZE}")
  endif()
  if(NOT size MATCHES "^([1-9][0-9]*)x([1-9][0-9]*)$")
    message(FATAL_ERROR "physikdemos_add_page(${target}): SIZE ${size} is not <width>x<height>")
  endif()

  # The template's fields. The title and the description are text in the page, never markup.
  set(label "${title}")
  if(NOT "${arg_DESCRIPTION}" STREQUAL "")
    set(label "${title}: ${arg_DESCRIPTION}")
  endif()
  foreach(field TITLE LABEL)
    string(TOLOWER ${field} text)
    string(REPLACE "&" "&amp;" PAGE_${field} "${${text}}")
    string(REPLACE "<" "&lt;" PAGE_${field} "${PAGE_${field}}")
    string(REPLACE "\"" "&quot;" PAGE_${field} "${PAGE_${field}}")
  endforeach()
  set(PAGE_WIDTH ${CMAKE_MATCH_1})
  set(PAGE_HEIGHT ${CMAKE_MATCH_2})
  set(PAGE_OFFLINE "")
  if(arg_OFFLINE)
    set(PAGE_OFFLINE "<script src=\"offline.js\"></script>")
  endif()
  # Installed, the template lies beside this file; in the source tree, with the site's files.
  set(template ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/page.html.in)
  if(NOT EXISTS ${template})
    set(template ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../tools/web/page.html.in)
  endif()
  set(shell ${CMAKE_CURRENT_BINARY_DIR}/${target}.shell.html)
  configure_file(${template} ${shell} @ONLY)

  # The backend's main runs the program's (surface/backend_web.cpp).
  target_compile_definitions(${target} PRIVATE main=web_program_main)
  target_link_libraries(${target} PRIVATE Physikdemos::surface_web)
  target_link_options(${target} PRIVATE ${PHYSIKDEMOS_PAGE_LINK_OPTIONS} "SHELL:--shell-file ${shell}")
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${target} SUFFIX .html LINK_DEPENDS ${shell})
endfunction()
