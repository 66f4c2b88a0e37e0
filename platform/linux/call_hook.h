#pragma once

// Every stand-in of a Win32 call announces itself here before it does anything. A harness
// (the simulated platform) may record the call and demand that it fail with a given code;
// without a harness this costs one load and a branch.

#include "platform/win32_api.h"

#include <string>

namespace platform {

class tCallHook {
public:
    virtual ~tCallHook() = default;
    // Returns the error code the call must fail with, or 0 to let it proceed.
    virtual DWORD onCall(const char* operation, const std::string& detail) = 0;
};

// Installs `hook` (null removes it) and returns the one it replaces.
tCallHook* setCallHook(tCallHook* hook);
tCallHook* callHook();

// The code the call `operation` must fail with, or 0. `describe` yields the call's arguments
// for the record; it runs only when a hook listens.
template <class Describe>
DWORD enterCall(const char* operation, Describe&& describe) {
    tCallHook* hook = callHook();
    return hook ? hook->onCall(operation, describe()) : 0;
}

inline DWORD enterCall(const char* operation) {
    tCallHook* hook = callHook();
    return hook ? hook->onCall(operation, std::string()) : 0;
}

} // namespace platform
