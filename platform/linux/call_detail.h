#pragma once

// The argument text a device call hands to the call hook.

#include <cstdarg>
#include <cstdio>
#include <string>

namespace platform {

inline std::string callDetail(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
inline std::string callDetail(const char* pattern, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, pattern);
    vsnprintf(text, sizeof text, pattern, arguments);
    va_end(arguments);
    return text;
}

} // namespace platform
