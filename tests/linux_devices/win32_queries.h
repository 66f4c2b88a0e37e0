#pragma once

// What the device calls answer, read straight through the Win32 interface (without discovery),
// so that tests see the boundary itself.

#include "platform/win32_api.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace fixtures {

struct tSeenInterface {
    std::string devicePath;
    std::optional<std::string> enumeratorName;
    std::optional<std::string> description;
    std::optional<std::string> friendlyName;
};

// Every interface of the class, with its three properties (none where the property read fails
// with ERROR_INVALID_DATA). Any other failure is reported through `error`.
std::vector<tSeenInterface> seenInterfaces(const GUID& interfaceClass, DWORD* error = nullptr);

const tSeenInterface* findPath(const std::vector<tSeenInterface>& interfaces,
                               const std::string& path);

struct tDeviceAnswer {
    BOOL answered = FALSE;
    DWORD error = 0; // GetLastError when not answered
    DWORD returned = 0;
};

struct tExtentsAnswer : tDeviceAnswer {
    DWORD count = 0; // NumberOfDiskExtents as written
    std::vector<DISK_EXTENT> extents;
};

// CreateFileA as discovery calls it; INVALID_HANDLE_VALUE with `error` set on failure.
HANDLE openForQuery(const std::string& path, DWORD* error = nullptr);

// IOCTL_STORAGE_GET_DEVICE_NUMBER on a fresh handle to `path`.
tDeviceAnswer deviceNumberOf(const std::string& path, STORAGE_DEVICE_NUMBER& number);

// IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS on a fresh handle to `path`, with a block of `size`
// bytes.
tExtentsAnswer extentsOf(const std::string& path, DWORD size);

// GetVolumeNameForVolumeMountPointA with a buffer of `size` bytes.
struct tNameAnswer {
    BOOL answered = FALSE;
    DWORD error = 0;
    std::string name;
};
tNameAnswer volumeNameAt(const std::string& mountPoint, DWORD size = MAX_PATH);

} // namespace fixtures
