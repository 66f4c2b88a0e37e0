#pragma once

// Builds little-endian binary records by hand, for feeding the resource parsers.

#include "platform/win32_api.h"

#include <cstddef>
#include <cstring>
#include <string_view>
#include <vector>

namespace fixtures {

class tByteBuilder {
public:
    tByteBuilder& byte(BYTE value) {
        bytes.push_back(value);
        return *this;
    }
    tByteBuilder& word(WORD value) { return raw(&value, sizeof value); }
    tByteBuilder& dword(DWORD value) { return raw(&value, sizeof value); }
    tByteBuilder& shortValue(SHORT value) { return raw(&value, sizeof value); }
    // A NUL-terminated UTF-16 string.
    tByteBuilder& string(std::u16string_view text) {
        for (char16_t unit : text)
            word(static_cast<WORD>(unit));
        return word(0);
    }
    // 0xFFFF followed by the ordinal.
    tByteBuilder& ordinal(WORD value) { return word(0xFFFF).word(value); }
    tByteBuilder& align(std::size_t alignment) {
        while (bytes.size() % alignment)
            bytes.push_back(0);
        return *this;
    }
    tByteBuilder& raw(const void* data, std::size_t size) {
        const auto* from = static_cast<const BYTE*>(data);
        bytes.insert(bytes.end(), from, from + size);
        return *this;
    }
    tByteBuilder& append(const std::vector<BYTE>& more) { return raw(more.data(), more.size()); }

    std::size_t size() const { return bytes.size(); }
    const std::vector<BYTE>& data() const { return bytes; }

    // Overwrites bytes already written, for corrupting a record in place.
    template <class T>
    void patch(std::size_t offset, T value) {
        memcpy(bytes.data() + offset, &value, sizeof value);
    }

private:
    std::vector<BYTE> bytes;
};

} // namespace fixtures
