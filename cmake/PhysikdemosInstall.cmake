# Installation: every program of cmake/Programs.cmake with its desktop entry, the public headers,
# the static libraries with both surface backends, and a package configuration so that other
# projects can use the library:
#   find_package(Physikdemos REQUIRED)
#   target_link_libraries(app PRIVATE Physikdemos::Inc_GUI Physikdemos::surface_sdl)
# The browser build installs the libraries, the web backend and what makes a program a page
# instead (no programs: they are pages of the site); a project configured with the installed
# web-toolchain.cmake finds that package:
#   physikdemos_add_page(app TITLE "My program" SIZE 640x480)
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(PHYSIKDEMOS_VERSION 1.0.0)
set(PHYSIKDEMOS_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/physikdemos)
set(PHYSIKDEMOS_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Physikdemos)

# Headers are found relative to the source root in the build and to include/physikdemos once
# installed; "Inc/GUI.hpp" and "surface/surface.hpp" name the same files in both.
set_property(TARGET surface_runtime PROPERTY INTERFACE_INCLUDE_DIRECTORIES
             "$<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>" "$<INSTALL_INTERFACE:${PHYSIKDEMOS_INCLUDEDIR}>")

# ---- Libraries ----------------------------------------------------------------------------
set(physikdemos_libraries surface_runtime surface)
foreach(module GUI Diffgl Komplex Mathe Graphik)
  if(TARGET Inc_${module})
    list(APPEND physikdemos_libraries Inc_${module})
  endif()
endforeach()
install(TARGETS ${physikdemos_libraries} EXPORT PhysikdemosTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${PHYSIKDEMOS_INCLUDEDIR})

# The backends are object libraries: their object files are installed and linked into each
# consumer, which then supplies the backend that the surface library calls.
set(PHYSIKDEMOS_HAS_SDL OFF)
set(PHYSIKDEMOS_HAS_HEADLESS OFF)
set(PHYSIKDEMOS_HAS_WEB OFF)
if(TARGET surface_sdl AND NOT TARGET surface_web)  # the browser build's surface_sdl is the web backend
  set(PHYSIKDEMOS_HAS_SDL ON)
  install(TARGETS surface_sdl EXPORT PhysikdemosTargets
          OBJECTS DESTINATION ${CMAKE_INSTALL_LIBDIR}/physikdemos/objects)
endif()
if(TARGET surface_headless)
  set(PHYSIKDEMOS_HAS_HEADLESS ON)
  install(TARGETS surface_headless EXPORT PhysikdemosTargets
          OBJECTS DESTINATION ${CMAKE_INSTALL_LIBDIR}/physikdemos/objects)
  # The script runner for pictures, which every headless program links; the headers that steer
  # the headless surface and the runner come only with them.
  install(TARGETS surface_snapshot EXPORT PhysikdemosTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
  install(FILES surface/headless.hpp surface/snapshot.hpp DESTINATION ${PHYSIKDEMOS_INCLUDEDIR}/surface)
endif()
if(TARGET surface_web)
  set(PHYSIKDEMOS_HAS_WEB ON)
  install(TARGETS surface_web EXPORT PhysikdemosTargets
          OBJECTS DESTINATION ${CMAKE_INSTALL_LIBDIR}/physikdemos/objects)
  # The backend's page side, linked into every page from its installed copy.
  install(FILES surface/backend_web.js surface/backend_web_controls.js DESTINATION ${CMAKE_INSTALL_LIBDIR}/physikdemos)
  set_property(TARGET surface_web APPEND PROPERTY INTERFACE_LINK_OPTIONS
               "$<INSTALL_INTERFACE:SHELL:--js-library $<INSTALL_PREFIX>/${CMAKE_INSTALL_LIBDIR}/physikdemos/backend_web.js>"
               "$<INSTALL_INTERFACE:SHELL:--js-library $<INSTALL_PREFIX>/${CMAKE_INSTALL_LIBDIR}/physikdemos/backend_web_controls.js>")
  # The page function with the page every program of this project has, and the toolchain that
  # compiles a project as this build was compiled (and finds this package).
  install(FILES cmake/PhysikdemosPage.cmake tools/web/page.html.in cmake/web-toolchain.cmake
          DESTINATION ${PHYSIKDEMOS_CMAKEDIR})
endif()
# What the package holds, built without the programs, pages and tests: tools/install.sh --web
# builds only this before it installs.
add_custom_target(physikdemos_package)
add_dependencies(physikdemos_package ${physikdemos_libraries})
if(PHYSIKDEMOS_HAS_WEB)
  add_dependencies(physikdemos_package surface_web)
endif()

# ---- The guide, for writing programs against the installed package ---------------------------
install(FILES docs/writing-programs.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

# ---- Public headers -------------------------------------------------------------------------
install(FILES surface/types.hpp surface/runtime.hpp surface/portable.hpp surface/reset.hpp surface/surface.hpp
              surface/key_table.hpp surface/arguments.hpp surface/controls.hpp
        DESTINATION ${PHYSIKDEMOS_INCLUDEDIR}/surface)
file(GLOB physikdemos_module_headers ${PROJECT_SOURCE_DIR}/Inc/*.hpp)
install(FILES ${physikdemos_module_headers} DESTINATION ${PHYSIKDEMOS_INCLUDEDIR}/Inc)
# The modules' detail headers (Inc/<Module>/detail.hpp) are their sources' internals: not installed.

# ---- Programs and their desktop entries (cmake/Programs.cmake) --------------------------------
set(installed_programs ${PHYSIKDEMOS_PROGRAMS})
if(EMSCRIPTEN)
  set(installed_programs "")
endif()
foreach(program IN LISTS installed_programs)
  install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  if(NOT PHYSIKDEMOS_${program}_DESKTOP STREQUAL "NO")
    set(DESKTOP_NAME "${PHYSIKDEMOS_${program}_TITLE}")
    set(DESKTOP_COMMENT "${PHYSIKDEMOS_${program}_DESCRIPTION}")
    set(DESKTOP_PROGRAM ${program})
    set(DESKTOP_CATEGORY ${PHYSIKDEMOS_${program}_DESKTOP})
    configure_file(packaging/program.desktop.in ${CMAKE_CURRENT_BINARY_DIR}/packaging/${program}.desktop.in @ONLY)
    file(GENERATE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/packaging/${program}.desktop
         INPUT ${CMAKE_CURRENT_BINARY_DIR}/packaging/${program}.desktop.in)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/${program}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  endif()
endforeach()

# ---- Package configuration ---------------------------------------------------------------------
install(EXPORT PhysikdemosTargets NAMESPACE Physikdemos:: DESTINATION ${PHYSIKDEMOS_CMAKEDIR})
configure_package_config_file(cmake/PhysikdemosConfig.cmake.in
                              ${CMAKE_CURRENT_BINARY_DIR}/PhysikdemosConfig.cmake
                              INSTALL_DESTINATION ${PHYSIKDEMOS_CMAKEDIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/PhysikdemosConfigVersion.cmake
                                 VERSION ${PHYSIKDEMOS_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/PhysikdemosConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/PhysikdemosConfigVersion.cmake cmake/PhysikdemosBackendCheck.cmake
        DESTINATION ${PHYSIKDEMOS_CMAKEDIR})

# ---- Test: install into a scratch prefix and build a consumer project against it ---------------
if(PHYS_TESTS)
  add_test(NAME package_consumer
           COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
                   -DCONSUMER_DIR=${PROJECT_SOURCE_DIR}/tests/package/consumer
                   -DWORK_DIR=${CMAKE_BINARY_DIR}/package_test -DGENERATOR=${CMAKE_GENERATOR}
                   -DHAS_SDL=${PHYSIKDEMOS_HAS_SDL}
                   -P ${PROJECT_SOURCE_DIR}/tests/package/run_consumer.cmake)
  set_tests_properties(package_consumer PROPERTIES TIMEOUT 600)
endif()
