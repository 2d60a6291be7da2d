# Instrumented builds.
#   PHYS_SANITIZE=address: AddressSanitizer and UndefinedBehaviorSanitizer, stopping at the first report.
#   PHYS_SANITIZE=thread:  ThreadSanitizer.
#   PHYS_FUZZ=ON (clang only): every library built for libFuzzer with address and undefined-behaviour
#                          checks; the fuzz targets in fuzz/ link the fuzzer's driver.
set(PHYS_SANITIZE "" CACHE STRING "Sanitizer build: empty, address or thread")
set_property(CACHE PHYS_SANITIZE PROPERTY STRINGS "" address thread)
option(PHYS_FUZZ "Build the libFuzzer targets (clang only)" OFF)

set(_phys_sanitize_flags)
if(PHYS_SANITIZE STREQUAL "address")
  # GCC leaves float-cast-overflow out of "undefined"; a NaN or huge Single turned into a
  # pixel coordinate is exactly the fault these builds are meant to catch.
  set(_phys_sanitize_flags -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all)
elseif(PHYS_SANITIZE STREQUAL "thread")
  set(_phys_sanitize_flags -fsanitize=thread)
elseif(NOT PHYS_SANITIZE STREQUAL "")
  message(FATAL_ERROR "PHYS_SANITIZE must be empty, address or thread, not '${PHYS_SANITIZE}'")
endif()

if(PHYS_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "PHYS_FUZZ needs clang (libFuzzer); configure with CXX=clang++-16")
  endif()
  if(NOT PHYS_SANITIZE STREQUAL "")
    message(FATAL_ERROR "PHYS_FUZZ brings its own sanitizers; leave PHYS_SANITIZE empty")
  endif()
  # Coverage hooks everywhere; the driver (main) only in the fuzz targets themselves.
  set(_phys_sanitize_flags -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
endif()

if(_phys_sanitize_flags)
  list(APPEND _phys_sanitize_flags -fno-omit-frame-pointer -g)
  add_compile_options(${_phys_sanitize_flags})
  add_link_options(${_phys_sanitize_flags})
endif()
