# quillmoor_text_page(<out.cpp> <page.txt> [LAYOUT]): at configure time, read
# the text page by the rules of cmake/TextPageRules.cmake and write it as the
# C++ definition of the built-in page; with LAYOUT the page must also keep
# the layout of the program's own page. A page that breaks a rule stops the
# configure step with FILE:LINE:COLUMN: WHAT. A change to the page file
# makes CMake configure again.
include(${CMAKE_CURRENT_LIST_DIR}/TextPageRules.cmake)

function(quillmoor_text_page out input)
  cmake_parse_arguments(PARSE_ARGV 2 arg "LAYOUT" "" "")
  if(NOT EXISTS "${input}" OR IS_DIRECTORY "${input}")
    message(FATAL_ERROR "${input}: the text page file does not exist")
  endif()
  quillmoor_take_text_page("${input}" "${arg_LAYOUT}" page)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${input}")
  quillmoor_write_text_page_source("${out}" "${page}" "${input}")
endfunction()
