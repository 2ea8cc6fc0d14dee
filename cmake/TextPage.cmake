# quillmoor_text_page(<out.cpp> <page.txt>): at build time, check the text
# page against its layout rules and turn it into the C++ definition of
# `TextPage`; a page that breaks a rule stops the build with the reason.
function(quillmoor_text_page out input)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${out}
            -P ${CMAKE_SOURCE_DIR}/cmake/TextPageScript.cmake
    DEPENDS ${input} ${CMAKE_SOURCE_DIR}/cmake/TextPageScript.cmake
    COMMENT "Checking and embedding the text page ${input}"
    VERBATIM)
endfunction()
