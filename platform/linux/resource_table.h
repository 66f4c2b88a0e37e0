#pragma once

// Looks resources up by type and name the way FindResourceA does, over one RES image.

#include "platform/linux/resource_image.h"

#include <span>
#include <vector>

namespace platform {

// What FindResourceA means by a type or name argument: MAKEINTRESOURCE(n), "#n" for the
// integer n, or a name. False for "#" followed by anything but a decimal number up to 65535.
bool resourceIdFromArgument(LPCSTR argument, tResourceId& id);

class tResourceTable {
public:
    // A malformed image gives a table without resources that is not valid().
    explicit tResourceTable(std::span<const BYTE> image);

    bool valid() const { return wellFormed; }
    const std::vector<tResourceEntry>& entries() const { return all; }

    // The resource, or null with `error` set to the Win32 code FindResourceA reports. Of several
    // languages, English (United States) is preferred, then neutral, then the first one.
    const tResourceEntry* find(LPCSTR type, LPCSTR name, DWORD& error) const;

    // Whether `entry` points at one of this table's entries.
    bool owns(const void* entry) const;

private:
    std::vector<tResourceEntry> all;
    bool wellFormed = false;
};

} // namespace platform
