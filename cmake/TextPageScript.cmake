# cmake -DINPUT=page.txt [-DOUTPUT=page.cpp] -P TextPageScript.cmake
#
# Checks the text page and, given OUTPUT, writes it as the C++ definition of
# `const char TextPage[1001]`. The page is 25 lines of exactly 40 characters
# (rows 0..24, columns 0..39), drawn over the picture in a 16 x 16 font:
#   - only A-Z, 0-9, space and ! - . / : (the glyphs the font numbers);
#   - columns 0 and 35..39 empty on every row;
#   - rows 0 2 4 6 7 10 12 13 20 22 23 24 blank; rows 1 3 5 (title),
#     8 9 (release credits), 11 (contact) and 21 (closing line) hold text;
#   - rows 14..19 are credits: a label from column 1 ending with ':', then
#     spaces up to a name that begins in column 15.
# Any breach stops with FATAL_ERROR naming the row (line = row + 1).
cmake_minimum_required(VERSION 3.25)

if(NOT DEFINED INPUT)
  message(FATAL_ERROR "TextPageScript: INPUT (the page file) is required")
endif()
if(NOT EXISTS "${INPUT}")
  message(FATAL_ERROR "text page ${INPUT}: file not found")
endif()

function(refuse reason)
  message(FATAL_ERROR "text page ${INPUT}: ${reason}")
endfunction()

file(READ "${INPUT}" page)
# A checkout with Windows line ends reads the same.
string(REPLACE "\r\n" "\n" page "${page}")

# Characters first: the rest of the script treats the page as a CMake list,
# which only works once ';', '[', ']' and '\' are known to be absent.
string(REGEX MATCH "[^A-Z0-9 !./:\n-]" bad "${page}")
if(NOT bad STREQUAL "")
  string(FIND "${page}" "${bad}" at)
  string(SUBSTRING "${page}" 0 ${at} before)
  string(REGEX MATCHALL "\n" breaks "${before}")
  list(LENGTH breaks row)
  string(FIND "${before}" "\n" lineStart REVERSE)
  math(EXPR column "${at} - ${lineStart} - 1")
  math(EXPR line "${row} + 1")
  string(HEX "${bad}" code)
  refuse("row ${row} (line ${line}), column ${column}: character 0x${code} is not allowed; "
         "use only upper-case A-Z, digits 0-9, space and ! - . / :")
endif()

# Exactly 25 lines, the last one with or without its line end.
string(REGEX REPLACE "\n$" "" page "${page}")
string(REPLACE "\n" ";" rows "${page}")
list(LENGTH rows rowCount)
if(NOT rowCount EQUAL 25)
  refuse("${rowCount} lines; the page must have exactly 25")
endif()

set(blankRows 0 2 4 6 7 10 12 13 20 22 23 24)
set(textRows 1 3 5 8 9 11 21)
set(row 0)
foreach(text IN LISTS rows)
  math(EXPR line "${row} + 1")
  string(LENGTH "${text}" length)
  if(NOT length EQUAL 40)
    refuse("row ${row} (line ${line}) has ${length} characters; every line must hold exactly 40 (pad with spaces)")
  endif()
  string(SUBSTRING "${text}" 0 1 first)
  string(SUBSTRING "${text}" 35 5 last)
  if(NOT first STREQUAL " " OR NOT last STREQUAL "     ")
    refuse("row ${row} (line ${line}): columns 0 and 35-39 must be spaces")
  endif()
  string(STRIP "${text}" content)

  if(row IN_LIST blankRows AND NOT content STREQUAL "")
    refuse("row ${row} (line ${line}) must be blank")
  endif()
  if(row IN_LIST textRows AND content STREQUAL "")
    refuse("row ${row} (line ${line}) must hold text")
  endif()
  if(row GREATER_EQUAL 14 AND row LESS_EQUAL 19)
    # " LABEL:" from column 1, spaces, then the name from column 15.
    if(NOT text MATCHES "^ [^ :][^:]*: +[^ ]")
      refuse("row ${row} (line ${line}) must be a credit: a label from column 1 ending with ':', then a name")
    endif()
    string(FIND "${text}" ":" colon)
    string(SUBSTRING "${text}" 0 15 head)
    string(SUBSTRING "${text}" 15 1 nameStart)
    string(REGEX MATCH "^ [^ :][^:]*: *$" labelOnly "${head}")
    if(colon GREATER 13 OR labelOnly STREQUAL "" OR nameStart STREQUAL " ")
      refuse("row ${row} (line ${line}): the label must end with ':' before column 14 and the name must begin in column 15")
    endif()
  endif()
  math(EXPR row "${row} + 1")
endforeach()

if(NOT DEFINED OUTPUT)
  return()
endif()

set(body "")
foreach(text IN LISTS rows)
  string(APPEND body "    \"${text}\"\n")
endforeach()
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${INPUT}; do not edit.\n"
"extern const char TextPage[1001];\n"
"const char TextPage[1001] =\n"
"${body};\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
