# cmake -DINPUT=page.txt [-DLAYOUT=ON] [-DOUTPUT=page.cpp] -P TextPageScript.cmake
#
# The configure step's reading of a text page, on its own: stops with
# INPUT:LINE:COLUMN: WHAT when the page breaks a rule (with LAYOUT, also the
# layout of the program's own page); otherwise writes the page as C++ to
# OUTPUT.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/TextPageRules.cmake)

if(NOT DEFINED INPUT)
  message(FATAL_ERROR "TextPageScript: INPUT (the page file) is required")
endif()
if(NOT DEFINED LAYOUT)
  set(LAYOUT OFF)
endif()
quillmoor_take_text_page("${INPUT}" "${LAYOUT}" page)
if(DEFINED OUTPUT)
  quillmoor_write_text_page_source("${OUTPUT}" "${page}" "${INPUT}")
endif()
