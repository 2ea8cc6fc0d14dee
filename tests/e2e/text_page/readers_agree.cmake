# cmake -DCAPTURE=quillmoor-capture -DINTRO=quillmoor -DPAGE=text_page.txt -DWORK=dir -P readers_agree.cmake
#
# The configure step's reader of a text page (cmake/TextPageRules.cmake)
# and the programs' --text (picture/text_page_source.h) agree: on each page
# here `quillmoor-capture --text FILE textpage` prints the same 25 rows, or
# refuses at the same line and column for the same reason and exits 1. The
# pages: the committed one, each byte 1..255 in a line, the line and page
# edges. The intro refuses a bad page alike, before any window: without a
# display, it never gets as far as looking for one.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../../../cmake/TextPageRules.cmake)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(failures 0)

function(agree name text)
  set(input "${WORK}/${name}.txt")
  file(WRITE "${input}" "${text}")
  quillmoor_read_text_page("${input}" page fault)
  set(want_out "")
  set(want_err "")
  set(want_result 0)
  if(fault STREQUAL "")
    string(REPEAT "." 40 row)
    string(REGEX REPLACE "(${row})" "\\1\n" want_out "${page}")
  else()
    set(want_err "quillmoor-capture: error: ${input}:${fault}\n")
    set(want_result 1)
  endif()
  execute_process(COMMAND ${CAPTURE} --text ${input} textpage RESULT_VARIABLE result OUTPUT_VARIABLE out
                  ERROR_VARIABLE err)
  if(NOT result STREQUAL want_result OR NOT out STREQUAL want_out OR NOT err STREQUAL want_err)
    message(SEND_ERROR "${name}: configure step: exit ${want_result} '${want_err}'; "
                       "capture tool: exit ${result} '${err}'\n${out}")
    math(EXPR failures "${failures} + 1")
    set(failures ${failures} PARENT_SCOPE)
  endif()
endfunction()

file(READ "${PAGE}" committed)
agree(committed "${committed}")
string(REPLACE "\n" "\r\n" crlf "${committed}")
agree(committed_crlf "${crlf}")
# Every byte but the line feed (CMake writes no zero byte); those that may
# begin more, also as the file's last.
foreach(code RANGE 1 255)
  string(ASCII ${code} byte)
  if(NOT code EQUAL 10)
    agree(byte_${code} "AB${byte}C\n")
  endif()
  if(code EQUAL 13 OR code GREATER_EQUAL 192)
    agree(last_byte_${code} "AB${byte}")
  endif()
endforeach()
string(ASCII 195 169 e_acute)
string(ASCII 226 40 172 broken)
agree(utf8 "CAF${e_acute}\n")
agree(utf8_broken "AB${broken}\n")
string(REPEAT "X" 40 full)
string(REPEAT "${full}\n" 25 full_page)
agree(empty "")
agree(full_page "${full_page}")
agree(long_line "AB\r\n${full}\r\r\n")
agree(extra_line "${full_page}\n")

execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=SDL_VIDEODRIVER
                        ${INTRO} --mute --text ${WORK}/long_line.txt
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 20)
if(NOT result STREQUAL "1" OR NOT out STREQUAL ""
   OR NOT err STREQUAL "quillmoor: error: ${WORK}/long_line.txt:2:41: the line is longer than 40 characters\n")
  message(SEND_ERROR "quillmoor --text: wanted the page refused before any window, got exit ${result}: ${out}${err}")
  math(EXPR failures "${failures} + 1")
endif()
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} page(s) read differently")
endif()
