# Installs the build into a fresh prefix and checks what lands there: the
# assembler and the language server beside it, its man page, the documentation, and of the examples their
# sources only (no files left by assembling them in place).
#   cmake -DBUILD=<build dir> -DPREFIX=<scratch dir> -DEXE=<zr17_asm file name> -P install_layout.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()
file(GLOB_RECURSE installed RELATIVE ${PREFIX} ${PREFIX}/*)
list(SORT installed)
set(doc share/doc/zr17_asm)
string(REPLACE zr17_asm zr17_lsp server ${EXE})
foreach(expected bin/${EXE} bin/${server} share/man/man1/zr17_asm.1 ${doc}/README.md ${doc}/language.md
                 ${doc}/instructions.md ${doc}/examples/blink.asm ${doc}/examples/defs.inc)
  if(NOT expected IN_LIST installed)
    message(FATAL_ERROR "not installed: ${expected}\ninstalled: ${installed}")
  endif()
endforeach()
foreach(file ${installed})
  if(file MATCHES "^${doc}/examples/" AND NOT file MATCHES "\\.(asm|inc)$")
    message(FATAL_ERROR "installed an example file that is no source: ${file}")
  endif()
endforeach()
