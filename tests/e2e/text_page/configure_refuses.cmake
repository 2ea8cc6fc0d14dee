# cmake -DSOURCE=dir -DWORK=dir -DGENERATOR=Ninja -DCXX=c++ -DC=cc -P configure_refuses.cmake
#
# A release of one's own intro configured with a text page that can't be
# built stops the configure step at FILE:LINE:COLUMN:, and one with an
# assets folder that lacks one of the four files names it; a page that
# follows the rules becomes the page built in.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

# configure(<name> <result out> <stderr out> -D...): the project configured
# afresh with only what the page needs, no tests or benchmarks.
function(configure name resultOut errorOut)
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${WORK}/${name} -G ${GENERATOR}
                          -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_C_COMPILER=${C}
                          -DQUILLMOOR_TESTS=OFF -DQUILLMOOR_BENCH=OFF ${ARGN}
                  RESULT_VARIABLE result ERROR_VARIABLE error OUTPUT_QUIET)
  string(REGEX REPLACE "[ \n]+" " " error "${error}")   # CMake wraps its messages
  set(${resultOut} ${result} PARENT_SCOPE)
  set(${errorOut} "${error}" PARENT_SCOPE)
endfunction()

file(WRITE "${WORK}/bad.txt" "OUR INTRO\n\n  COSTS $5\n")
configure(bad_page result error -DQUILLMOOR_TEXT_PAGE=${WORK}/bad.txt)
string(FIND "${error}" "${WORK}/bad.txt:3:9: the font has no glyph for '$'" at)
if(result EQUAL 0 OR at LESS 0)
  message(FATAL_ERROR "a bad text page: wanted the configure step refused at bad.txt:3:9:, got exit ${result}: ${error}")
endif()

file(MAKE_DIRECTORY "${WORK}/assets")
foreach(name ZEB_27.DMP quillmoor_cut2_632x246x8.bmp FNT1616.FTB)
  file(COPY_FILE "${SOURCE}/assets/${name}" "${WORK}/assets/${name}")
endforeach()
configure(no_glyphs result error -DQUILLMOOR_ASSETS=${WORK}/assets)
string(FIND "${error}" "QUILLMOOR_ASSETS: ${WORK}/assets has no file FNT1616.GFX" at)
if(result EQUAL 0 OR at LESS 0)
  message(FATAL_ERROR "an assets folder without its glyphs: wanted the configure step refused, got exit ${result}: ${error}")
endif()

file(WRITE "${WORK}/good.txt" "our intro\r\n\r\n   costs 5!\r\n")
configure(good_page result error -DQUILLMOOR_TEXT_PAGE=${WORK}/good.txt)
file(READ "${WORK}/good_page/picture/text_page_data.cpp" source)
string(REPEAT " " 31 tail)
string(FIND "${source}" "BuiltInTextPage[TextColumns * TextRows + 1] =\n    \"OUR INTRO${tail}\"" at)
if(NOT result EQUAL 0 OR at LESS 0)
  message(FATAL_ERROR "a good text page: wanted it built in, got exit ${result}: ${error}")
endif()
