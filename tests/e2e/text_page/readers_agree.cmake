# cmake -DCAPTURE=quillmoor-capture -DPAGE=text_page.txt -DWORK=dir -P readers_agree.cmake
#
# The two readers of a text page agree: the configure step's
# (cmake/TextPageRules.cmake) and the programs' --text
# (picture/text_page_source.h, through `quillmoor-capture --text FILE
# textpage`). On every page here both take it with the same 25 rows, or both
# refuse it at the same line and column for the same reason: the committed
# page, each byte from 1 to 255 in a line, and the edges of the line and
# page rules.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../../../cmake/TextPageRules.cmake)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

set(failures 0)
set(refused 0)

function(agree name text)
  set(input "${WORK}/${name}.txt")
  file(WRITE "${input}" "${text}")
  quillmoor_read_text_page("${input}" page fault)
  if(fault STREQUAL "")
    set(expected_out "")
    foreach(row RANGE 24)
      math(EXPR start "${row} * 40")
      string(SUBSTRING "${page}" ${start} 40 rowText)
      string(APPEND expected_out "${rowText}\n")
    endforeach()
    set(expected_err "")
    set(expected_result 0)
  else()
    set(expected_out "")
    set(expected_err "quillmoor-capture: error: ${input}:${fault}\n")
    set(expected_result 1)
    math(EXPR refused "${refused} + 1")
    set(refused ${refused} PARENT_SCOPE)
  endif()
  execute_process(COMMAND ${CAPTURE} --text ${input} textpage
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result STREQUAL expected_result OR NOT out STREQUAL expected_out OR NOT err STREQUAL expected_err)
    message(SEND_ERROR "${name}: the readers differ\n"
                       "configure step: exit ${expected_result}, '${expected_err}'\n"
                       "capture tool:   exit ${result}, '${err}'${out}")
    math(EXPR failures "${failures} + 1")
    set(failures ${failures} PARENT_SCOPE)
  endif()
endfunction()

file(READ "${PAGE}" committed)
agree(committed "${committed}")
string(REPLACE "\n" "\r\n" crlf "${committed}")
agree(committed_crlf "${crlf}")

# Every byte but the line feed (CMake can't write a zero byte) inside a
# line; those that may begin more, also as the file's last byte.
foreach(code RANGE 1 255)
  if(NOT code EQUAL 10)
    string(ASCII ${code} byte)
    agree(byte_${code} "AB${byte}C\n")
    if(code EQUAL 13 OR code GREATER_EQUAL 192)
      agree(last_byte_${code} "AB${byte}")
    endif()
  endif()
endforeach()

# UTF-8: a whole character, one cut short, one broken in the middle.
string(ASCII 195 169 e_acute)
string(ASCII 226 130 euro_cut)
string(ASCII 226 40 172 euro_broken)
agree(utf8_whole "CAF${e_acute}\n")
agree(utf8_cut "AB${euro_cut}")
agree(utf8_broken "AB${euro_broken}\n")

# Lines and the page.
agree(empty "")
agree(lower_case_and_short "hello\r\n\n   world!\n")
string(REPEAT "X" 40 full)
string(REPEAT "${full}\n" 25 full_page)
agree(full_page "${full_page}")
agree(full_page_crlf_unterminated "${full}\r\n${full}")
agree(long_line "AB\n${full}Y\n")
agree(long_line_crlf "AB\r\n${full}\r\r\n")
agree(extra_empty_line "${full_page}\n")
agree(extra_line "${full_page}Z")

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} page(s) read differently")
endif()
message(STATUS "both readers agree on every page (${refused} refused)")
