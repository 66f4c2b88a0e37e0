#pragma once

// Resources store their strings as UTF-16; the platform's narrow code page is UTF-8.

#include <string>
#include <string_view>

namespace platform {

// Unpaired surrogates become U+FFFD.
std::string utf8FromUtf16(std::u16string_view text);
// Malformed sequences become U+FFFD.
std::u16string utf16FromUtf8(std::string_view text);

// Resource names compare as the system compares them: ignoring the case of ASCII letters.
bool equalIgnoringCase(std::u16string_view a, std::u16string_view b);

} // namespace platform
