# cmake -DPAGE=text_page.txt -DSCRIPT=TextPageScript.cmake -DWORK=dir -P layout_rules.cmake
#
# Runs the configure step's check of the program's own page (its rules and
# its layout) on the committed page and on variants of it that each break
# one rule, and fails unless every variant is refused for its reason, at
# FILE:LINE:.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

file(READ "${PAGE}" page)
string(REGEX REPLACE "\n$" "" page "${page}")
string(REPLACE "\n" ";" good "${page}")
list(LENGTH good count)
if(NOT count EQUAL 25)
  message(FATAL_ERROR "the committed page should have 25 lines, has ${count}")
endif()

set(failures 0)

# check(<name> <expected error regex or "">, rows...): write the rows as a
# page and run the check; "" means the page must pass.
function(check name expected)
  set(text "")
  foreach(row IN LISTS ARGN)
    string(APPEND text "${row}\n")
  endforeach()
  write_and_check("${name}" "${expected}" "${text}")
  set(failures ${failures} PARENT_SCOPE)
endfunction()

function(write_and_check name expected text)
  set(input "${WORK}/${name}.txt")
  set(output "${WORK}/${name}.cpp")
  file(WRITE "${input}" "${text}")
  execute_process(COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} -DLAYOUT=ON -P ${SCRIPT}
                  RESULT_VARIABLE result ERROR_VARIABLE error OUTPUT_QUIET)
  # CMake wraps its messages; match against the text on one line.
  string(REGEX REPLACE "[ \n]+" " " error "${error}")
  if(expected STREQUAL "")
    if(NOT result EQUAL 0 OR NOT EXISTS "${output}")
      message(SEND_ERROR "${name}: should pass, was refused: ${error}")
      math(EXPR failures "${failures} + 1")
    endif()
  elseif(result EQUAL 0)
    message(SEND_ERROR "${name}: should be refused, passed")
    math(EXPR failures "${failures} + 1")
  elseif(NOT error MATCHES "${expected}")
    message(SEND_ERROR "${name}: refused for the wrong reason (wanted '${expected}'): ${error}")
    math(EXPR failures "${failures} + 1")
  endif()
  set(failures ${failures} PARENT_SCOPE)
endfunction()

# with_row(<out> <row> <text>): the committed page with one row replaced.
function(with_row out index text)
  set(rows ${good})
  list(REMOVE_AT rows ${index})
  list(INSERT rows ${index} "${text}")
  set(${out} ${rows} PARENT_SCOPE)
endfunction()

check(committed "" ${good})
execute_process(COMMAND ${CMAKE_COMMAND} -DINPUT=${PAGE} -DOUTPUT=${WORK}/committed.cpp -P ${SCRIPT})
file(READ "${WORK}/committed.cpp" generated)
if(NOT generated MATCHES "const char BuiltInTextPage\\[TextColumns \\* TextRows \\+ 1\\] =")
  message(SEND_ERROR "committed: the generated source does not define BuiltInTextPage")
  math(EXPR failures "${failures} + 1")
endif()

# Windows line ends read the same; so does a missing final line end.
string(REPLACE ";" "\r\n" crlf "${good}")
write_and_check(crlf "" "${crlf}\r\n")
string(REPLACE ";" "\n" unterminated "${good}")
write_and_check(unterminated "" "${unterminated}")

# Line count and length: shorter lines and missing rows are spaces.
set(rows ${good})
list(REMOVE_AT rows 24)
check(short_page "" ${rows})
check(long_page "long_page.txt:26:1: the page has more than 25 lines" ${good} "                                        ")
with_row(rows 3 "              PRESENT")
check(short_line "" ${rows})
with_row(rows 3 "              PRESENT                    ")
check(long_line "long_line.txt:4:41: the line is longer than 40 characters" ${rows})

# Characters: lower case is drawn as capitals; the page keeps to its own
# few characters of those the font draws.
with_row(rows 3 "              Present                   ")
check(lower_case "" ${rows})
string(ASCII 59 semicolon)
set(rest ${good})   # a ';' can't be a list element: the page as text
list(REMOVE_AT rest 0)
string(REPLACE ";" "\n" rest "${rest}")
write_and_check(semicolon "semicolon.txt:1:4: row 0: '${semicolon}' is not one of the page's own characters"
                "   ${semicolon}\n${rest}\n")
with_row(rows 3 "              PRESENT[1]                ")
check(bracket "bracket.txt:4:22: the font has no glyph for '\\['" ${rows})
with_row(rows 3 "              PRESENT?                  ")
check(question_mark "4:22: row 3: '\\?' is not one of the page's own characters" ${rows})
write_and_check(tab "tab.txt:2:1: the font has no glyph for '\\\\t'" "                                        \n\t")

# Empty columns.
with_row(rows 3 "PRESENT                                 ")
check(column_0 "row 3 .*columns 0 and 35-39 must be spaces" ${rows})
with_row(rows 21 "                                   VOL 2")
check(column_39 "row 21 .*columns 0 and 35-39 must be spaces" ${rows})

# Blank and text rows.
with_row(rows 0 "    QUILLMOOR                           ")
check(text_in_blank_row "row 0 .*must be blank" ${rows})
with_row(rows 23 "    QUILLMOOR                           ")
check(text_in_blank_row_23 "row 23 .*must be blank" ${rows})
with_row(rows 11 "                                        ")
check(missing_contact "row 11 .*must hold text" ${rows})

# Credit rows.
with_row(rows 15 " DESIGN:        PLINTHCREW              ")
check(name_in_column_16 "row 15 .*name must begin in column 15" ${rows})
with_row(rows 15 " DESIGN:      PLINTHCREW                ")
check(name_in_column_14 "row 15 .*name must begin in column 15" ${rows})
with_row(rows 15 " DESIGN        PLINTHCREW               ")
check(label_without_colon "row 15 .*must be a credit" ${rows})
with_row(rows 15 "  DESIGN:      PLINTHCREW               ")
check(label_in_column_2 "row 15 .*must be a credit" ${rows})
with_row(rows 17 " MUSIC PLAYERS:PLINTHCREW               ")
check(label_too_long "row 17 .*must be a credit" ${rows})
with_row(rows 19 " LOGO:                                  ")
check(credit_without_name "row 19 .*must be a credit" ${rows})

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} page check(s) went wrong")
endif()
message(STATUS "every layout rule holds")
