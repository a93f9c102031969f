# Packs the release zip twice, into two fresh directories, and checks that
# the two are the same bytes, that the entries come sorted with one fixed
# time, and that of the examples only the sources went in.
#   cmake -DSOURCE_DIR= -DSCRATCH= -DEXE= -DVERSION= -P package_zip.cmake
cmake_minimum_required(VERSION 3.25)
set(name zr17_asm-test)
foreach(run a b)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${SOURCE_DIR} -DSTAGE=${SCRATCH}/${run}
            -DNAME=${name} -DZIP=${SCRATCH}/${run}.zip -DEXE=${EXE} -DVERSION=${VERSION}
            -DWINDOWS=ON -P ${SOURCE_DIR}/cmake/package_zip_pack.cmake
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "packing failed: ${status}")
  endif()
  file(SHA256 ${SCRATCH}/${run}.zip hash_${run})
endforeach()
if(NOT hash_a STREQUAL hash_b)
  message(FATAL_ERROR "two packings of the same files differ: ${hash_a} and ${hash_b}")
endif()

get_filename_component(exe_name ${EXE} NAME)
file(GLOB examples RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/examples/*.asm ${SOURCE_DIR}/examples/*.inc)
set(expected README-windows.txt README.md docs/instructions.md docs/language.md
             docs/zr17_asm.1 ${examples} ${exe_name})
list(TRANSFORM expected PREPEND ${name}/)
list(SORT expected)

execute_process(COMMAND ${CMAKE_COMMAND} -E tar tvf ${SCRATCH}/a.zip
                WORKING_DIRECTORY ${SCRATCH} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
string(REGEX REPLACE "\n$" "" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(names)
foreach(line ${lines})
  if(NOT line MATCHES " 1 Jan  1980 ")
    message(FATAL_ERROR "an entry without the fixed time: ${line}")
  endif()
  string(REGEX REPLACE ".* 1980 " "" entry "${line}")
  list(APPEND names ${entry})
endforeach()
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "entries\n  ${names}\nexpected, in this order\n  ${expected}")
endif()
