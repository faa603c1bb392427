# Turns a file into a C++ source holding its bytes, so the program carries the
# file inside itself. Run with -DINPUT=... -DOUTPUT=... -DNAME=...
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
     "// Generated from ${INPUT}; do not edit.\n"
     "#include <cstddef>\n#include <cstdint>\n#include <span>\n\n"
     "static const std::uint8_t bytes[${size}] = {\n${bytes}};\n\n"
     "std::span<const std::uint8_t> ${NAME}() { return {bytes, ${size}}; }\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
