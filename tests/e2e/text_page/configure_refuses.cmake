# cmake -DSOURCE=dir -DWORK=dir -DGENERATOR=Ninja -DCXX=c++ -DC=cc -P configure_refuses.cmake
#
# The project configured with a QUILLMOOR_TEXT_PAGE that can't be built
# stops at FILE:LINE:COLUMN:; one that follows the rules is the page built in.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK}")
file(WRITE "${WORK}/bad.txt" "OUR INTRO\n\n  COSTS $5\n")
file(WRITE "${WORK}/good.txt" "our intro\r\n")
foreach(page bad good)
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${WORK}/${page} -G ${GENERATOR} -DCMAKE_CXX_COMPILER=${CXX}
                          -DCMAKE_C_COMPILER=${C} -DQUILLMOOR_TESTS=OFF -DQUILLMOOR_BENCH=OFF
                          -DQUILLMOOR_TEXT_PAGE=${WORK}/${page}.txt
                  RESULT_VARIABLE result_${page} ERROR_VARIABLE error OUTPUT_QUIET)
  string(REGEX REPLACE "[ \n]+" " " error_${page} "${error}")   # CMake wraps its messages
endforeach()
string(FIND "${error_bad}" "${WORK}/bad.txt:3:9: the font has no glyph for '$'" at)
if(result_bad EQUAL 0 OR at LESS 0)
  message(FATAL_ERROR "a bad page: wanted the configure step stopped at bad.txt:3:9:, got ${result_bad}: ${error_bad}")
endif()
file(READ "${WORK}/good/picture/text_page_data.cpp" source)
string(FIND "${source}" "BuiltInTextPage[TextColumns * TextRows + 1] =\n    \"OUR INTRO " at)
if(NOT result_good EQUAL 0 OR at LESS 0)
  message(FATAL_ERROR "a good page: wanted it built in, got ${result_good}: ${error_good}")
endif()
