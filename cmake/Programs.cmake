# The programs, each named once. Everything else that lists programs is made from these lines:
# tools/run.sh's names (build/run/<name>), the snapshot tool's programs and the pictures in docs/,
# the browser site's pages, index and index pictures, the installation and the desktop entries.
#
#   physikdemos_program(<name> FOLDER <dir> TITLE <window title> SIZE <width>x<height>
#                       PICTURE <script> DESKTOP <category> | NO  DESCRIPTION <one line>)
#
# <name> is both the CMake target that <dir>/CMakeLists.txt defines (the program linked with
# surface_sdl, from <dir>/main.cpp) and the name the tools take. PICTURE is a snapshot script
# (relative to the source root) whose picture at the close request is docs/<name in lower
# case>.png and, played in the browser, the site index's picture. DESKTOP gives the freedesktop
# category after Education;Science; or NO for no desktop entry.
# TITLE and SIZE are those of the program's window; the page, the index and the desktop entry
# use them before the program runs, and the snapshot and browser tests check that they agree.

# Checks one entry and keeps it as PHYSIKDEMOS_<name>_<FIELD> (FOLDER, TITLE, WIDTH, HEIGHT,
# PICTURE, DESKTOP, DESCRIPTION) in the including scope, appending <name> to PHYSIKDEMOS_PROGRAMS.
function(physikdemos_program name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "FOLDER;TITLE;SIZE;PICTURE;DESKTOP;DESCRIPTION" "")
  foreach(field FOLDER TITLE SIZE PICTURE DESKTOP DESCRIPTION)
    if("${arg_${field}}" STREQUAL "")
      message(FATAL_ERROR "program ${name}: ${field} is missing")
    endif()
  endforeach()
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "program ${name}: unknown words ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT name MATCHES "^[A-Za-z][A-Za-z0-9_]*$" OR name IN_LIST PHYSIKDEMOS_PROGRAMS)
    message(FATAL_ERROR "program ${name}: a name of letters, digits and _ that no other program has")
  endif()
  if(NOT arg_SIZE MATCHES "^([1-9][0-9]*)x([1-9][0-9]*)$")
    message(FATAL_ERROR "program ${name}: SIZE ${arg_SIZE} is not <width>x<height>")
  endif()
  set(PHYSIKDEMOS_${name}_WIDTH ${CMAKE_MATCH_1} PARENT_SCOPE)
  set(PHYSIKDEMOS_${name}_HEIGHT ${CMAKE_MATCH_2} PARENT_SCOPE)
  foreach(path ${arg_FOLDER}/CMakeLists.txt ${arg_PICTURE})
    if(NOT EXISTS ${PROJECT_SOURCE_DIR}/${path})
      message(FATAL_ERROR "program ${name}: ${path} does not exist")
    endif()
  endforeach()
  foreach(field FOLDER TITLE PICTURE DESKTOP DESCRIPTION)
    set(PHYSIKDEMOS_${name}_${field} "${arg_${field}}" PARENT_SCOPE)
  endforeach()
  set(PHYSIKDEMOS_PROGRAMS ${PHYSIKDEMOS_PROGRAMS} ${name} PARENT_SCOPE)
endfunction()

set(PHYSIKDEMOS_PROGRAMS "")
physikdemos_program(Umlaufbahnen FOLDER Umlaufbahnen TITLE Umlaufbahnen SIZE 1000x500 PICTURE Umlaufbahnen/picture.txt DESKTOP Physics DESCRIPTION "Orbit of a test body in a central potential, integrated live")
physikdemos_program(Planetensystem FOLDER Planetensystem TITLE Planetensystem SIZE 900x520 PICTURE Planetensystem/picture.txt DESKTOP Astronomy DESCRIPTION "The nine planets on circular orbits around the Sun")
physikdemos_program(gallery FOLDER examples/gallery TITLE "Widget Gallery" SIZE 800x352 PICTURE examples/gallery/picture.txt DESKTOP NO DESCRIPTION "Every control of the widget toolkit in one window")
physikdemos_program(plots FOLDER examples/plots TITLE Diagramme SIZE 960x720 PICTURE examples/plots/picture.txt DESKTOP NO DESCRIPTION "One diagram of each kind that the plot helpers draw")
physikdemos_program(Pendel FOLDER examples/pendel TITLE Pendel SIZE 1000x500 PICTURE examples/pendel/picture.txt DESKTOP Physics DESCRIPTION "A damped pendulum at any start angle, with its measured period and the angle over time")
physikdemos_program(Bahnanalyse FOLDER Bahnanalyse TITLE Bahnanalyse SIZE 1000x600 PICTURE Bahnanalyse/picture.txt DESKTOP Physics DESCRIPTION "Measures the orbits of Umlaufbahnen: energy drift, perihelion shift and Kepler's third law")
