# Assembles the bundled example in a scratch copy: it must succeed and write
# its four files.
file(REMOVE_RECURSE ${OUT})
file(COPY ${SRC}/ DESTINATION ${OUT})
execute_process(COMMAND ${ASM} blink.asm WORKING_DIRECTORY ${OUT}
                RESULT_VARIABLE status OUTPUT_VARIABLE output)
if(NOT status EQUAL 0 OR NOT output MATCHES "INFO: blink.asm: Processing was successful")
  message(FATAL_ERROR "the example failed (${status}):\n${output}")
endif()
foreach(name blink.hex blink_sim.hex blink.obj blink.dbg)
  if(NOT EXISTS ${OUT}/${name})
    message(FATAL_ERROR "the example wrote no ${name}")
  endif()
endforeach()
