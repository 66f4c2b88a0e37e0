#pragma once

// Icon groups (RT_GROUP_ICON): the directory of the images (RT_ICON) that make up one icon,
// and the standard .ico file that the group and its images amount to.

#include "platform/win32_api.h"

#include <cstddef>
#include <vector>

namespace platform {

struct tIconGroupEntry {
    int width = 0; // pixels; the directory's 0 means 256
    int height = 0;
    BYTE colorCount = 0; // 0 for 256 colours or more
    WORD planes = 0;
    WORD bitCount = 0;
    DWORD bytesInRes = 0;
    WORD iconId = 0; // the RT_ICON resource holding the image
};

// Appends the group's entries to `out`. False, with `out` unchanged, on malformed or truncated
// data; never reads past `size`.
bool parseIconGroup(const void* data, std::size_t size, std::vector<tIconGroupEntry>& out);

// Finds, loads and parses the RT_GROUP_ICON resource `name` of `module`.
bool loadIconGroup(HINSTANCE module, LPCSTR name, std::vector<tIconGroupEntry>& out);

// Puts the group `name` and all its images together as an .ico file image (ICONDIR, one
// ICONDIRENTRY per image, then the images), replacing `out`. False with the last error of the
// failed call, or ERROR_INVALID_DATA when the group is malformed.
bool buildIconFile(HINSTANCE module, LPCSTR name, std::vector<BYTE>& out);

} // namespace platform
