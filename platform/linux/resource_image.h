#pragma once

// The compiled resources of a module in the RES format, as a resource compiler writes them:
// an empty 32-byte entry, then one entry per resource. Each entry is a header (DataSize,
// HeaderSize, TYPE and NAME each an ordinal or a UTF-16 string, DWORD alignment, DataVersion,
// MemoryFlags, LanguageId, Version, Characteristics) followed by the data, and every entry
// starts on a DWORD boundary.

#include "platform/win32_api.h"

#include <span>
#include <string>
#include <vector>

namespace platform {

// A resource type or name: an integer or a string.
struct tResourceId {
    bool isOrdinal = true;
    WORD ordinal = 0;
    std::u16string name;

    static tResourceId fromOrdinal(WORD value) { return {true, value, {}}; }
    static tResourceId fromName(std::u16string text) { return {false, 0, std::move(text)}; }
};

// The same resource id as the system sees it: integers by value, strings ignoring case.
bool sameResourceId(const tResourceId& a, const tResourceId& b);

struct tResourceEntry {
    tResourceId type;
    tResourceId name;
    WORD language = 0;
    WORD memoryFlags = 0;
    DWORD dataVersion = 0;
    DWORD version = 0;
    DWORD characteristics = 0;
    std::span<const BYTE> data; // inside the image
};

// Appends the image's resources to `out`. False, with `out` as it was, when the image is not a
// well-formed RES file; nothing outside `image` is ever read.
bool parseResourceImage(std::span<const BYTE> image, std::vector<tResourceEntry>& out);

} // namespace platform
