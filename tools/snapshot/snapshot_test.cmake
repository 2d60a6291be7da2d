# Runs the snapshot tool on short scripts: pictures of the right size at the right times, and
# defined failures for a bad script, a picture the session never reaches and a run never stopped.
# Called with -DSNAPSHOT=<tool> -DWORK=<scratch directory> -DPROGRAMS=<name>=<w>x<h>,... (the list
# of programs with their window sizes).
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

# Runs the tool with a script text; sets <prefix>_RC and <prefix>_ERR.
function(run prefix program out script_text)
  file(WRITE ${WORK}/${prefix}.txt "${script_text}")
  execute_process(COMMAND ${SNAPSHOT} ${program} ${out} ${WORK}/${prefix}.txt
                  WORKING_DIRECTORY ${WORK} RESULT_VARIABLE rc ERROR_VARIABLE err TIMEOUT 60)
  set(${prefix}_RC "${rc}" PARENT_SCOPE)
  set(${prefix}_ERR "${err}" PARENT_SCOPE)
endfunction()

# Checks the PNG signature and the width and height in its IHDR chunk.
function(expect_png path width height)
  if(NOT EXISTS ${path})
    message(FATAL_ERROR "${path} was not written")
  endif()
  file(READ ${path} head LIMIT 24 HEX)
  string(SUBSTRING "${head}" 0 16 signature)
  string(SUBSTRING "${head}" 32 8 w)
  string(SUBSTRING "${head}" 40 8 h)
  math(EXPR w "0x${w}")
  math(EXPR h "0x${h}")
  if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT w EQUAL width OR NOT h EQUAL height)
    message(FATAL_ERROR "${path}: signature ${signature}, ${w} x ${h}; expected a ${width} x ${height} PNG")
  endif()
endfunction()

function(expect_failure prefix rc pattern)
  if(NOT "${${prefix}_RC}" STREQUAL "${rc}" OR NOT "${${prefix}_ERR}" MATCHES "${pattern}")
    message(FATAL_ERROR "${prefix}: status ${${prefix}_RC}, expected ${rc} with '${pattern}':\n${${prefix}_ERR}")
  endif()
endfunction()

# A Start, a picture during the run, a Stop (the hold meets a poll), the close.
run(orbit Umlaufbahnen ${WORK}/orbit_end.png
    "# comment line\n100 click 245 230\n150 shot orbit_mid.png\n600 click 245 260 100  # stop\n800 close\n")
if(NOT orbit_RC EQUAL 0)
  message(FATAL_ERROR "orbit session failed (${orbit_RC}):\n${orbit_ERR}")
endif()
expect_png(${WORK}/orbit_mid.png 1000 500)
expect_png(${WORK}/orbit_end.png 1000 500)
# The path grows between the two pictures, so they differ.
file(SHA256 ${WORK}/orbit_mid.png mid)
file(SHA256 ${WORK}/orbit_end.png end)
if(mid STREQUAL end)
  message(FATAL_ERROR "the picture during the run equals the one at the close")
endif()

# Without a script every program of the list opens, shows a window of the listed size and closes.
string(REPLACE "," ";" programs "${PROGRAMS}")
foreach(entry IN LISTS programs)
  if(NOT entry MATCHES "^([^=]+)=([0-9]+)x([0-9]+)$")
    message(FATAL_ERROR "bad program entry '${entry}'")
  endif()
  set(name ${CMAKE_MATCH_1})
  set(width ${CMAKE_MATCH_2})
  set(height ${CMAKE_MATCH_3})
  execute_process(COMMAND ${SNAPSHOT} ${name} ${WORK}/first_${name}.png RESULT_VARIABLE rc TIMEOUT 60)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${name} session failed (${rc})")
  endif()
  expect_png(${WORK}/first_${name}.png ${width} ${height})
endforeach()
# A name outside the list runs nothing and says which names there are.
run(unknown nowhere ${WORK}/unknown.png "100 close\n")
expect_failure(unknown 2 "unknown program 'nowhere' \\(Umlaufbahnen, .*Pendel")

run(bad Umlaufbahnen ${WORK}/bad.png "100 click 245\n")
expect_failure(bad 2 "line 1: click needs")
run(nan Umlaufbahnen ${WORK}/nan.png "\n\nnan click 1 1\n")
expect_failure(nan 2 "line 3: time")
run(far Umlaufbahnen ${WORK}/far.png "1e400 close\n")
expect_failure(far 2 "line 1: time")
run(huge Umlaufbahnen ${WORK}/huge.png "100 click 99999999999 5\n")
expect_failure(huge 2 "line 1: coordinates")
run(code Umlaufbahnen ${WORK}/code.png "100 key 300\n")
expect_failure(code 2 "line 1: key")
run(twice Umlaufbahnen ${WORK}/twice.png "100 close\n200 close\n")
expect_failure(twice 2 "line 2: only one close")

# Keys and text reach the program; a picture that cannot be written is a failure, not a crash.
run(unwritable Planetensystem ${WORK}/unwritable_end.png
    "50 key end\n60 type abc # typed without the comment\n100 shot ${WORK}/missing/dir.png\n")
expect_failure(unwritable 1 "could not write .*missing/dir.png")
expect_png(${WORK}/unwritable_end.png 900 520)

# A picture after the close request is never reached; the picture at the close still is.
run(late Planetensystem ${WORK}/late_end.png "100 close\n500 shot late.png\n")
expect_failure(late 1 "no picture late.png")
expect_png(${WORK}/late_end.png 900 520)

# A run that is never stopped ignores the close request; the tool ends it instead of hanging.
run(stuck Umlaufbahnen ${WORK}/stuck.png "100 click 245 230\n200 close\n")
expect_failure(stuck 1 "still running")

# Any program linked against the headless backend takes the same scripts through the library:
# Pendel two seconds into a run differs from its picture at the close, eight seconds later.
if(PENDEL)
  file(WRITE ${WORK}/pendel.txt "300 click 80 158\n2400 shot pendel_2s.png\n10400 close\n")
  execute_process(COMMAND ${PENDEL} ${WORK}/pendel_end.png ${WORK}/pendel.txt
                  WORKING_DIRECTORY ${WORK} RESULT_VARIABLE rc ERROR_VARIABLE err TIMEOUT 60)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "Pendel session failed (${rc}):\n${err}")
  endif()
  expect_png(${WORK}/pendel_2s.png 1000 500)
  expect_png(${WORK}/pendel_end.png 1000 500)
  file(SHA256 ${WORK}/pendel_2s.png mid)
  file(SHA256 ${WORK}/pendel_end.png end)
  if(mid STREQUAL end)
    message(FATAL_ERROR "Pendel's picture during the run equals the one at the close")
  endif()
endif()
