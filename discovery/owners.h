#pragma once

#include "platform/win32_api.h"

// A zero-filled block on the process heap that only grows, keeping its contents.
class tHeapBuffer {
public:
    tHeapBuffer();
    ~tHeapBuffer();
    tHeapBuffer(const tHeapBuffer&) = delete;
    tHeapBuffer& operator=(const tHeapBuffer&) = delete;

    // Makes the block `bytes` long; the added bytes are zero. Raises tWindowsError and keeps
    // the old block when the heap refuses.
    void grow(DWORD bytes);
    // The block's size as the heap reports it; 0 without a block.
    DWORD size() const;
    BYTE* data() const { return block; }

private:
    HANDLE heap;
    BYTE* block = nullptr;
};

// Owns a valid kernel handle and closes it.
class tHandle {
public:
    explicit tHandle(HANDLE owned) : handle(owned) {}
    virtual ~tHandle() { CloseHandle(handle); }
    tHandle(const tHandle&) = delete;
    tHandle& operator=(const tHandle&) = delete;

    HANDLE get() const { return handle; }

private:
    HANDLE handle;
};

// Owns a valid device information set and releases it.
class tDeviceInfoSet {
public:
    explicit tDeviceInfoSet(HDEVINFO owned) : set(owned) {}
    virtual ~tDeviceInfoSet() { SetupDiDestroyDeviceInfoList(set); }
    tDeviceInfoSet(const tDeviceInfoSet&) = delete;
    tDeviceInfoSet& operator=(const tDeviceInfoSet&) = delete;

    HDEVINFO get() const { return set; }

private:
    HDEVINFO set;
};
