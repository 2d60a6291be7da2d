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

# C++ exceptions are caught (an allocation that fails is runtime error 4), which Emscripten
# leaves off unless asked, at compile and at link time. Whole-program optimisation at link time
# lets calls across files inline and drop the unwinding paths of calls that cannot throw: each
# such path is a round trip through JavaScript (the orbit program runs about a third faster).
set(CMAKE_CXX_FLAGS_INIT "-fexceptions -flto")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fexceptions -flto")
