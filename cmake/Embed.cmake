# quillmoor_embed_binary(<out.cpp> <symbol> <input>): at build time, turn a
# binary file into a C++ array `extern const unsigned char <symbol>[]` with
# `extern const unsigned <symbol>Size`, regenerated whenever the file changes.
function(quillmoor_embed_binary out symbol input)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${out} -DSYMBOL=${symbol}
            -P ${CMAKE_SOURCE_DIR}/cmake/EmbedBinaryScript.cmake
    DEPENDS ${input} ${CMAKE_SOURCE_DIR}/cmake/EmbedBinaryScript.cmake
    COMMENT "Embedding ${input}"
    VERBATIM)
endfunction()
