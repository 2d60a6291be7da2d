# The browser build: Debian's Emscripten toolchain plus what its driver needs on this system.
# Used by the `web` preset (tools/web.sh); everything lands in build-web/. Installed with the
# browser package (tools/install.sh --web), it compiles other projects the same way:
#   cmake -S . -B build-web -G Ninja --toolchain <prefix>/lib/cmake/Physikdemos/web-toolchain.cmake
set(PHYS_EMSCRIPTEN_ROOT /usr/share/emscripten CACHE PATH "Root of the Emscripten installation")

# Emscripten's output run under Node (the font generator at build time, the number-text tests):
# Node 20's built-in fetch makes the loader take the browser's path for the .wasm file.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/node --no-experimental-fetch CACHE STRING
    "Runs the build's own tools and tests")

include(${PHYS_EMSCRIPTEN_ROOT}/cmake/Modules/Platform/Emscripten.cmake)

# emcc's JavaScript optimiser loads acorn, which Debian keeps outside Node's default path.
set(CMAKE_CXX_COMPILER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)

# C++ exceptions are thrown as usual, but caught only where the browser backend asks for it (its
# main function ends the program with the report, as the desktop's terminate handler does): a
# catch or a cleanup costs every call around it a round trip through JavaScript. Code compiled
# without them lets an exception pass through untouched, which keeps the procedure it was thrown
# in as the report's. Whole-program optimisation at link time inlines across files.
set(CMAKE_CXX_FLAGS_INIT "-fignore-exceptions -flto")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fexceptions -flto")

# Optimised unless asked otherwise: unoptimised, the pauses' instrumentation makes pages large and
# slow.
if(NOT DEFINED CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE Release CACHE STRING "Release unless asked otherwise")
endif()

# Installed, this file lies beside the package's configuration, which it names to find_package:
# the toolchain looks for packages only below its own root paths.
if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/PhysikdemosConfig.cmake)
  set(Physikdemos_DIR ${CMAKE_CURRENT_LIST_DIR} CACHE PATH "The browser package of the physics demonstrations")
endif()
