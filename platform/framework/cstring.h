#pragma once

// The framework's narrow string: a value type over std::string with the operations dialog code
// uses.

#include "platform/win32_api.h"

#include <string>

class CString {
public:
    CString() = default;
    CString(const char* text) : value(text ? text : "") {}
    CString(const std::string& text) : value(text) {}
    CString(const char* text, int length) : value(text, static_cast<std::size_t>(length)) {}

    operator LPCSTR() const { return value.c_str(); }
    LPCSTR GetString() const { return value.c_str(); }
    int GetLength() const { return static_cast<int>(value.size()); }
    bool IsEmpty() const { return value.empty(); }
    void Empty() { value.clear(); }
    const std::string& str() const { return value; }

    // printf-style formatting into this string.
    void Format(const char* pattern, ...) __attribute__((format(printf, 2, 3)));

    CString& operator=(const char* text) {
        value = text ? text : "";
        return *this;
    }
    CString& operator+=(const CString& other) {
        value += other.value;
        return *this;
    }
    CString& operator+=(const char* text) {
        value += text ? text : "";
        return *this;
    }
    CString& operator+=(char c) {
        value += c;
        return *this;
    }
    friend CString operator+(CString left, const CString& right) { return left += right; }
    friend CString operator+(CString left, const char* right) { return left += right; }
    friend CString operator+(const char* left, const CString& right) {
        return CString(left) += right;
    }
    friend bool operator==(const CString& a, const CString& b) { return a.value == b.value; }
    friend bool operator==(const CString& a, const char* b) { return a.value == (b ? b : ""); }

private:
    std::string value;
};
