# The text page's rules in CMake, for the page built into the programs at
# configure time, when no program of this build exists yet (a cross build
# has none it could run at all). The rules are picture/text_page_source.h's,
# which the programs' --text follows; tests/e2e/text_page holds the two to
# the same answers on the same files.

# The codes of the characters the built-in font draws: space ! " # ' ( ) , -
# . / 0-9 : ; = ? @ A-Z _ ` ~.
set(quillmoor_font_characters 32 33 34 35 39 40 41 44 45 46 47 58 59 61 63 64 95 96 126)
foreach(code RANGE 48 57)
  list(APPEND quillmoor_font_characters ${code})
endforeach()
foreach(code RANGE 65 90)
  list(APPEND quillmoor_font_characters ${code})
endforeach()

# quillmoor_escaped_byte(<out> <hex>): the byte as error_report.h's
# Printable shows a byte that is not printable: \t, \r or \xHH.
function(quillmoor_escaped_byte out hex)
  if(hex STREQUAL "09")
    set(${out} "\\t" PARENT_SCOPE)
  elseif(hex STREQUAL "0d")
    set(${out} "\\r" PARENT_SCOPE)
  else()
    set(${out} "\\x${hex}" PARENT_SCOPE)
  endif()
endfunction()

# quillmoor_read_text_page(<file> <page> <fault>): reads the page file into
# <page>, its 1000 characters row after row; <fault> is empty, or
# "LINE:COLUMN: WHAT" when the file breaks a rule: up to 25 lines (LF or
# CR LF) of up to 40 characters, shorter lines and missing rows spaces,
# lower case taken as capitals, only characters the font draws.
function(quillmoor_read_text_page file pageOut faultOut)
  # Only the first bytes can matter (text_page_source.h: TextPageDecidingBytes).
  file(READ "${file}" hex HEX LIMIT 1051)
  string(LENGTH "${hex}" hexLength)
  math(EXPR size "${hexLength} / 2")
  set(page "")
  set(row "")
  set(line 1)
  set(column 0)
  set(at 0)
  set(fault "")
  while(at LESS size AND fault STREQUAL "")
    if(line GREATER 25)
      set(fault "${line}:1: the page has more than 25 lines")
      break()
    endif()
    math(EXPR offset "${at} * 2")
    string(SUBSTRING "${hex}" ${offset} 2 byte)
    math(EXPR at "${at} + 1")
    set(next "")
    if(at LESS size)
      math(EXPR offset "${at} * 2")
      string(SUBSTRING "${hex}" ${offset} 2 next)
    endif()
    if(byte STREQUAL "0a" OR (byte STREQUAL "0d" AND next STREQUAL "0a"))
      if(byte STREQUAL "0d")
        math(EXPR at "${at} + 1")
      endif()
      string(LENGTH "${row}" length)
      math(EXPR padding "40 - ${length}")
      string(REPEAT " " ${padding} spaces)
      string(APPEND page "${row}${spaces}")
      set(row "")
      math(EXPR line "${line} + 1")
      set(column 0)
      continue()
    endif()
    math(EXPR column "${column} + 1")
    if(column GREATER 40)
      set(fault "${line}:${column}: the line is longer than 40 characters")
      break()
    endif()
    math(EXPR code "0x${byte}")
    if(code GREATER_EQUAL 97 AND code LESS_EQUAL 122)
      math(EXPR code "${code} - 32")   # lower case as capitals
    endif()
    if(code IN_LIST quillmoor_font_characters)
      string(ASCII ${code} character)
      string(APPEND row "${character}")
    elseif((code GREATER_EQUAL 32 AND code LESS 127))
      string(ASCII ${code} character)
      set(fault "${line}:${column}: the font has no glyph for '${character}'")
    elseif(code EQUAL 9)
      set(fault "${line}:${column}: the font has no glyph for '\\t'")
    else()
      # A whole UTF-8 sequence is a character the font has no glyph for;
      # any other byte is not text.
      set(length 0)
      if(code GREATER_EQUAL 194 AND code LESS_EQUAL 223)
        set(length 2)
      elseif(code GREATER_EQUAL 224 AND code LESS_EQUAL 239)
        set(length 3)
      elseif(code GREATER_EQUAL 240 AND code LESS_EQUAL 244)
        set(length 4)
      endif()
      set(sequence "")
      string(ASCII ${code} lead)
      if(length GREATER 0)
        math(EXPR last "${at} + ${length} - 2")
        if(last GREATER_EQUAL size)
          set(length 0)
        else()
          set(sequence "${lead}")
          foreach(follower RANGE ${at} ${last})
            math(EXPR offset "${follower} * 2")
            string(SUBSTRING "${hex}" ${offset} 2 part)
            math(EXPR value "0x${part}")
            if(value LESS 128 OR value GREATER 191)
              set(length 0)
              break()
            endif()
            string(ASCII ${value} character)
            string(APPEND sequence "${character}")
          endforeach()
        endif()
      endif()
      if(length GREATER 0)
        set(fault "${line}:${column}: the font has no glyph for '${sequence}'")
      else()
        quillmoor_escaped_byte(shown ${byte})
        set(fault "${line}:${column}: byte '${shown}' is not text")
      endif()
    endif()
  endwhile()
  if(fault STREQUAL "")
    # The last line, ended or not, then the missing rows.
    string(APPEND page "${row}")
    string(LENGTH "${page}" length)
    math(EXPR padding "1000 - ${length}")
    string(REPEAT " " ${padding} spaces)
    string(APPEND page "${spaces}")
  endif()
  set(${pageOut} "${page}" PARENT_SCOPE)
  set(${faultOut} "${fault}" PARENT_SCOPE)
endfunction()

# quillmoor_check_text_page_layout(<page> <fault>): the layout of the
# program's own page (assets/text_page.txt); <fault> is empty or
# "LINE[:COLUMN]: WHAT", the line being the row + 1.
#   - only A-Z, 0-9, space and ! - . / :;
#   - columns 0 and 35..39 empty on every row;
#   - rows 0 2 4 6 7 10 12 13 20 22 23 24 blank; rows 1 3 5 (title),
#     8 9 (release credits), 11 (contact) and 21 (closing line) hold text;
#   - rows 14..19 are credits: a label from column 1 ending with ':', then
#     spaces up to a name that begins in column 15.
function(quillmoor_check_text_page_layout page faultOut)
  set(${faultOut} "" PARENT_SCOPE)
  string(REGEX MATCH "[^A-Z0-9 !./:-]" bad "${page}")
  if(NOT bad STREQUAL "")
    string(FIND "${page}" "${bad}" at)
    math(EXPR row "${at} / 40")
    math(EXPR line "${row} + 1")
    math(EXPR column "${at} % 40 + 1")
    set(${faultOut} "${line}:${column}: row ${row}: '${bad}' is not one of the page's own characters "
                    "(A-Z, 0-9, space and ! - . / :)" PARENT_SCOPE)
    return()
  endif()
  set(blankRows 0 2 4 6 7 10 12 13 20 22 23 24)
  set(textRows 1 3 5 8 9 11 21)
  foreach(row RANGE 24)
    math(EXPR line "${row} + 1")
    math(EXPR start "${row} * 40")
    string(SUBSTRING "${page}" ${start} 40 text)
    string(SUBSTRING "${text}" 0 1 first)
    string(SUBSTRING "${text}" 35 5 last)
    string(STRIP "${text}" content)
    set(why "")
    if(NOT first STREQUAL " " OR NOT last STREQUAL "     ")
      set(why "columns 0 and 35-39 must be spaces")
    elseif(row IN_LIST blankRows AND NOT content STREQUAL "")
      set(why "must be blank")
    elseif(row IN_LIST textRows AND content STREQUAL "")
      set(why "must hold text")
    elseif(row GREATER_EQUAL 14 AND row LESS_EQUAL 19)
      # " LABEL:" from column 1, spaces, then the name from column 15.
      string(FIND "${text}" ":" colon)
      string(SUBSTRING "${text}" 0 15 head)
      string(SUBSTRING "${text}" 15 1 nameStart)
      string(REGEX MATCH "^ [^ :][^:]*: *$" labelOnly "${head}")
      if(NOT text MATCHES "^ [^ :][^:]*: +[^ ]")
        set(why "must be a credit: a label from column 1 ending with ':', then a name")
      elseif(colon GREATER 13 OR labelOnly STREQUAL "" OR nameStart STREQUAL " ")
        set(why "the label must end with ':' before column 14 and the name must begin in column 15")
      endif()
    endif()
    if(NOT why STREQUAL "")
      set(${faultOut} "${line}: row ${row} ${why}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
endfunction()

# quillmoor_write_text_page_source(<out.cpp> <page> <from>): the page as the
# C++ definitions of BuiltInTextPage and of TextPage, the page drawn, which
# starts as a copy of it; written only when it changes.
function(quillmoor_write_text_page_source out page from)
  set(body "")
  foreach(row RANGE 24)
    math(EXPR start "${row} * 40")
    string(SUBSTRING "${page}" ${start} 40 text)
    string(REPLACE "\"" "\\\"" text "${text}")
    string(REPLACE "?" "\\?" text "${text}")
    string(APPEND body "    \"${text}\"\n")
  endforeach()
  file(WRITE "${out}.tmp"
    "// Generated from ${from}; do not edit.\n"
    "#include \"picture/text_page.h\"\n\n"
    "const char BuiltInTextPage[TextColumns * TextRows + 1] =\n${body};\n\n"
    "char TextPage[TextColumns * TextRows + 1] =\n${body};\n")
  file(COPY_FILE "${out}.tmp" "${out}" ONLY_IF_DIFFERENT)
  file(REMOVE "${out}.tmp")
endfunction()

# Reads the page at `input` into `out_var`, with the layout of the
# program's own page checked too when `layout` is true; a page that breaks a
# rule stops CMake with INPUT:LINE:COLUMN: WHAT.
function(quillmoor_take_text_page input layout out_var)
  quillmoor_read_text_page("${input}" page fault)
  if(fault STREQUAL "" AND layout)
    quillmoor_check_text_page_layout("${page}" fault)
  endif()
  if(NOT fault STREQUAL "")
    message(FATAL_ERROR "${input}:${fault}")
  endif()
  set(${out_var} "${page}" PARENT_SCOPE)
endfunction()
