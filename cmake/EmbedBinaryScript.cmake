# cmake -DINPUT=file -DOUTPUT=file.cpp -DSYMBOL=name -P EmbedBinaryScript.cmake
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n  " bytes "${bytes}")
file(WRITE ${OUTPUT}
"// Generated from ${INPUT}; do not edit.\n"
"extern const unsigned char ${SYMBOL}[];\n"
"extern const unsigned ${SYMBOL}Size;\n"
"alignas(4) const unsigned char ${SYMBOL}[${size} + 1] = {\n  ${bytes}0};\n"
"const unsigned ${SYMBOL}Size = ${size};\n")
