# Runs the instruction reference generator and either writes its page into
# the source tree or checks that the committed page is current.
#   cmake -DGENERATOR=<gen_instructions> -DPAGE=<docs/instructions.md>
#         -DMODE=write|check -P instructions_doc.cmake
cmake_minimum_required(VERSION 3.25)
foreach(var GENERATOR PAGE MODE)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "instructions_doc.cmake needs -D${var}=...")
  endif()
endforeach()

execute_process(COMMAND ${GENERATOR} OUTPUT_VARIABLE page RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${GENERATOR} failed: ${status}")
endif()

set(committed "")
if(EXISTS ${PAGE})
  file(READ ${PAGE} committed)
endif()
# A checkout with CR LF line ends holds the same page.
string(REPLACE "\r\n" "\n" committed "${committed}")

if(MODE STREQUAL "write")
  # Rewritten only when it changed, so that its time stamp means something.
  if(NOT committed STREQUAL page)
    file(WRITE ${PAGE} "${page}")
    message(STATUS "Wrote ${PAGE}")
  endif()
elseif(MODE STREQUAL "check")
  if(NOT committed STREQUAL page)
    message(FATAL_ERROR "${PAGE} is out of date with the instruction table: "
                        "run `cmake --build <build dir> --target docs` and commit the result")
  endif()
else()
  message(FATAL_ERROR "MODE must be write or check, not '${MODE}'")
endif()
