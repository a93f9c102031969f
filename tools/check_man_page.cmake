# Checks the man page: it names the project's version, and groff (when
# installed) formats it without a warning.
#   cmake -DPAGE=<docs/zr17_asm.1> -DVERSION=<x.y.z> [-DGROFF=<groff>] -P check_man_page.cmake
cmake_minimum_required(VERSION 3.25)
file(READ ${PAGE} text)
string(REGEX MATCH "\n\\.TH [^\n]*\n" title "\n${text}")
if(NOT title MATCHES "\"zr17_asm ${VERSION}\"")
  message(FATAL_ERROR "${PAGE}: the .TH line does not name version ${VERSION}: ${title}")
endif()
if(GROFF)
  execute_process(COMMAND ${GROFF} -man -ww -z ${PAGE}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0 OR NOT "${out}${err}" STREQUAL "")
    message(FATAL_ERROR "groff finds fault with ${PAGE}:\n${out}${err}")
  endif()
endif()
