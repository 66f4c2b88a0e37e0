#pragma once

// Reads little-endian fields from untrusted bytes. Every read is bounds-checked: a read past
// the end fails, leaves the value untouched and fails every later read as well, so a parser
// may read a whole record and check once.

#include "platform/win32_api.h"

#include <cstddef>
#include <cstring>
#include <optional>
#include <string>

namespace platform {

class tByteReader {
public:
    tByteReader(const void* data, std::size_t size)
        : base(static_cast<const BYTE*>(data)), length(data ? size : 0) {}

    bool ok() const { return good; }
    std::size_t offset() const { return position; }
    std::size_t remaining() const { return good ? length - position : 0; }
    const BYTE* here() const { return base + position; }

    bool skip(std::size_t count) {
        if (!good || count > length - position)
            return good = false;
        position += count;
        return true;
    }

    // Moves on to the next multiple of `alignment` counted from the start of the data.
    bool align(std::size_t alignment) {
        std::size_t over = position % alignment;
        return over == 0 || skip(alignment - over);
    }

    bool seek(std::size_t to) {
        if (!good || to > length)
            return good = false;
        position = to;
        return true;
    }

    bool read(BYTE& value) { return copy(&value, sizeof value); }
    bool read(WORD& value) { return copy(&value, sizeof value); }
    bool read(DWORD& value) { return copy(&value, sizeof value); }
    bool read(SHORT& value) { return copy(&value, sizeof value); }

    // A NUL-terminated UTF-16 string; the terminator is consumed but not stored.
    bool readString(std::u16string& text) {
        std::u16string result;
        for (;;) {
            WORD unit = 0;
            if (!read(unit))
                return false;
            if (unit == 0)
                break;
            result.push_back(static_cast<char16_t>(unit));
        }
        text = std::move(result);
        return true;
    }

    // A field of resource headers and dialog templates: an ordinal (0xFFFF, n), or else a
    // NUL-terminated UTF-16 string, which is empty when the field holds nothing (0x0000).
    bool readNameOrOrdinal(std::optional<WORD>& ordinal, std::u16string& text) {
        WORD first = 0;
        if (!read(first))
            return false;
        ordinal.reset();
        text.clear();
        if (first == 0xFFFF) {
            WORD value = 0;
            if (!read(value))
                return false;
            ordinal = value;
            return true;
        }
        if (first == 0)
            return true;
        if (!readString(text))
            return false;
        text.insert(text.begin(), static_cast<char16_t>(first));
        return true;
    }

private:
    // The host is little-endian, as the formats are.
    bool copy(void* to, std::size_t count) {
        if (!good || count > length - position)
            return good = false;
        memcpy(to, base + position, count);
        position += count;
        return true;
    }

    const BYTE* base;
    std::size_t length;
    std::size_t position = 0;
    bool good = true;
};

} // namespace platform
