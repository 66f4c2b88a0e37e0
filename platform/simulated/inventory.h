#pragma once

// A device inventory described as data, served through the SetupAPI and kernel32 device calls.

#include "platform/win32_api.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace sim {

struct tSimDisk {
    std::string devicePath;
    std::optional<std::string> enumeratorName = std::string("USBSTOR");
    std::optional<std::string> description = std::string("Disk drive");
    std::optional<std::string> friendlyName;
    DWORD deviceNumber = 0;
    DWORD openError = 0;   // CreateFileA on devicePath fails with this code
    DWORD numberError = 0; // IOCTL_STORAGE_GET_DEVICE_NUMBER fails with this code
    // The file that \\.\PhysicalDriveN stands for when a program is started on it; empty when
    // the disk cannot be written.
    std::string backingFile;
};

struct tSimVolume {
    std::string devicePath;
    std::string volumeName; // "\\?\Volume{...}\"; every path to the volume leads to it
    std::optional<std::string> description = std::string("Generic volume");
    std::optional<std::string> friendlyName;
    std::vector<DWORD> extents; // disk number of each extent, in order
    // 0: the extents request is answered; otherwise it fails with this code
    // (ERROR_NOT_SUPPORTED and ERROR_INVALID_FUNCTION are what real drivers say).
    DWORD extentsError = 0;
    DWORD deviceNumber = 0;   // what IOCTL_STORAGE_GET_DEVICE_NUMBER answers on the volume
    DWORD openError = 0;      // CreateFileA on devicePath fails with this code
    DWORD nameError = 0;      // the volume name of devicePath + "\" fails with this code
    std::string driveLetters; // upper-case letters that lead to the volume
};

struct tInventory {
    std::vector<tSimDisk> disks;
    std::vector<tSimVolume> volumes;
    // Drive letters in use without a volume of their own, and the code their root lookup
    // fails with (for example a network drive, or a drive without media).
    std::map<char, DWORD> lettersWithoutVolume;
};

} // namespace sim
