# The browser build: Debian's Emscripten toolchain plus what its driver needs on this system.
# Used by the `web` preset (tools/web.sh); everything lands in build-web/.
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
