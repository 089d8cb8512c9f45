# Writes the bytes of IN as a C++ array SYMBOL (with its length) into OUT.
file(READ ${IN} hex HEX)
string(LENGTH "${hex}" hexlen)
math(EXPR size "${hexlen} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE ${OUT} "// Generated from ${IN}; do not edit.\n#include <cstddef>\n"
    "extern const unsigned char ${SYMBOL}[];\nextern const std::size_t ${SYMBOL}Size;\n"
    "const unsigned char ${SYMBOL}[] = {${bytes} 0};\nconst std::size_t ${SYMBOL}Size = ${size};\n")
