#pragma once

// The disk and volume interfaces of the machine as SetupAPI lists them: a snapshot of the block
// devices, with the properties each shows.

#include "platform/win32_api.h"

#include <optional>
#include <string>
#include <vector>

namespace platform::devices {

struct tInterface {
    std::string devicePath; // the device node
    std::string enumeratorName;
    std::string description;
    std::optional<std::string> friendlyName;
};

// Disks in the order of their diskseq (the order they came), each with its enumerator,
// description and friendly name. False with a Win32 code when sysfs cannot be read.
bool takeDiskSnapshot(std::vector<tInterface>& disks, DWORD& error);

// Volumes in the order of their disk's diskseq and their partition number.
bool takeVolumeSnapshot(std::vector<tInterface>& volumes, DWORD& error);

} // namespace platform::devices
