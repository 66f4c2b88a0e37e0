#pragma once

#include "platform/win32_api.h"

#include <string>
#include <vector>

// One present disk interface.
struct tDiskInfo {
    DWORD deviceNumber = 0;
    std::string devicePath;
    std::string enumeratorName;
    std::string friendlyName;
    std::string description;
};

// Appends a record for every present disk interface, in the platform's order. Raises
// tWindowsError; the records appended before a failure stay, the last one possibly partial.
void enumerateDisks(std::vector<tDiskInfo>& disks);

// The storage device number of the device at `devicePath`. Raises tWindowsError.
DWORD getStorageDeviceNumber(const char* devicePath);
