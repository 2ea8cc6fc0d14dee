# Compiles the score afresh and compares the result with the committed song.
execute_process(COMMAND ${SONGC} ${SCORE} -o ${OUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "songc failed on ${SCORE}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT} ${COMMITTED} RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "${COMMITTED} differs from what ${SCORE} compiles to: run the regenerate-song target")
endif()
