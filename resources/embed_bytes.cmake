# Writes the bytes of INPUT as a C++ source that defines platform::moduleResourceImage().
# cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -P embed_bytes.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
if(digits EQUAL 0)
    message(FATAL_ERROR "${INPUT} is empty")
endif()
# Sixteen bytes a line.
string(REGEX REPLACE "(................................)" "\\1\n" hex "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(STRIP "${bytes}" bytes)
string(REPLACE "\n" "\n    " bytes "${bytes}")
get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.new"
"// Generated from ${name} at build time; do not edit.
#include \"platform/linux/module_resources.h\"

namespace {
alignas(8) const BYTE image[] = {
    ${bytes}
};
} // namespace

std::span<const BYTE> platform::moduleResourceImage() {
    return image;
}
")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
