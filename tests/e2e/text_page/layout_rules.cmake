# cmake -DPAGE=text_page.txt -DSCRIPT=TextPageScript.cmake -DWORK=dir -P layout_rules.cmake
#
# Runs the page check on the committed page and on variants of it that each
# break one rule, and fails unless every variant is refused for its reason.
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
  execute_process(COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} -P ${SCRIPT}
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
if(NOT generated MATCHES "const char TextPage\\[1001\\] =")
  message(SEND_ERROR "committed: the generated source does not define TextPage")
  math(EXPR failures "${failures} + 1")
endif()

# Windows line ends read the same; so does a missing final line end.
string(REPLACE ";" "\r\n" crlf "${good}")
write_and_check(crlf "" "${crlf}\r\n")
string(REPLACE ";" "\n" unterminated "${good}")
write_and_check(unterminated "" "${unterminated}")

# Line count and length.
set(rows ${good})
list(REMOVE_AT rows 24)
check(short_page "24 lines" ${rows})
check(long_page "26 lines" ${good} "                                        ")
with_row(rows 3 "              PRESENT                  ")
check(short_line "row 3 .* 39 characters" ${rows})
with_row(rows 3 "              PRESENT                    ")
check(long_line "row 3 .* 41 characters" ${rows})

# Characters.
with_row(rows 3 "              Present                   ")
check(lower_case "row 3 .*column 15: character 0x72 is not allowed" ${rows})
string(ASCII 59 semicolon)
write_and_check(semicolon "row 0 .*column 3: character 0x3b is not allowed" "   ${semicolon}${page}")
with_row(rows 3 "              PRESENT[1]                ")
check(bracket "row 3 .*column 21: character 0x5b is not allowed" ${rows})
with_row(rows 3 "              PRESENT?                  ")
check(question_mark "row 3 .*character 0x3f is not allowed" ${rows})
write_and_check(tab "row 1 .*column 0: character 0x09 is not allowed" "                                        \n\t")

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
