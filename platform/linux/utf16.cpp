#include "platform/linux/utf16.h"

#include <algorithm>

namespace platform {

namespace {

constexpr char32_t replacement = 0xFFFD;

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void appendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
    } else {
        c -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 | (c >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
    }
}

bool isHigh(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLow(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

char16_t upperAscii(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

} // namespace

std::string utf8FromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (isHigh(c) && i + 1 < text.size() && isLow(text[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (isHigh(c) || isLow(c)) {
            c = replacement;
        }
        appendUtf8(out, c);
    }
    return out;
}

std::u16string utf16FromUtf8(std::string_view text) {
    constexpr char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        auto lead = static_cast<unsigned char>(text[i]);
        std::size_t extra = lead < 0x80             ? 0
                            : (lead & 0xE0) == 0xC0 ? 1
                            : (lead & 0xF0) == 0xE0 ? 2
                            : (lead & 0xF8) == 0xF0 ? 3
                                                    : 4; // a stray continuation byte or worse
        bool valid = extra < 4 && extra < text.size() - i;
        char32_t c = valid ? lead & (0x7F >> extra) : 0;
        for (std::size_t k = 1; valid && k <= extra; ++k) {
            auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        if (!valid || c < smallest[extra] || c > 0x10FFFF || isHigh(c) || isLow(c)) {
            out.push_back(static_cast<char16_t>(replacement));
            ++i;
            continue;
        }
        appendUtf16(out, c);
        i += extra + 1;
    }
    return out;
}

bool equalIgnoringCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return upperAscii(x) == upperAscii(y); });
}

} // namespace platform
