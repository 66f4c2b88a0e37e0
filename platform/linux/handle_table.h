#pragma once

// Kernel objects behind HANDLE values. A handle is a small multiple of 4, as on Windows; each
// names one reference to an object, which lives as long as any handle to it.

#include "platform/win32_api.h"

#include <cstddef>
#include <memory>

namespace platform {

class tKernelObject {
public:
    virtual ~tKernelObject() = default;
};

// A new handle to `object`.
HANDLE insertHandle(std::shared_ptr<tKernelObject> object, bool inheritable = false);

// The object behind a live handle, or null.
std::shared_ptr<tKernelObject> lookupHandle(HANDLE handle);

template <class T>
std::shared_ptr<T> lookupHandleAs(HANDLE handle) {
    return std::dynamic_pointer_cast<T>(lookupHandle(handle));
}

bool isHandleInheritable(HANDLE handle);

// Removes the handle; false when it was not live. CloseHandle, without the error reporting.
bool removeHandle(HANDLE handle);

// How many handles are open.
std::size_t liveHandleCount();

} // namespace platform
