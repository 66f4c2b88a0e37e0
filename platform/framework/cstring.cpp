#include "platform/framework/cstring.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

void CString::Format(const char* pattern, ...) {
    va_list args;
    va_start(args, pattern);
    va_list copy;
    va_copy(copy, args);
    int length = vsnprintf(nullptr, 0, pattern, copy);
    va_end(copy);
    if (length < 0) {
        va_end(args);
        value.clear();
        return;
    }
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    vsnprintf(text.data(), text.size(), pattern, args);
    va_end(args);
    value.assign(text.data(), static_cast<std::size_t>(length));
}
