#pragma once

// The disk and volume interfaces of the machine as SetupAPI lists them: a snapshot of the block
// devices, with the properties each shows.

#include "platform/linux/device_info_sets.h"

#include <vector>

namespace platform::devices {

// Device paths are the device nodes; disks and volumes always have an enumerator name and a
// description, and disks a friendly name.
using tInterface = tDeviceInterface;

// Disks in the order of their diskseq (the order they came), each with its enumerator,
// description and friendly name. False with a Win32 code when sysfs cannot be read.
bool takeDiskSnapshot(std::vector<tInterface>& disks, DWORD& error);

// Volumes in the order of their disk's diskseq and their partition number.
bool takeVolumeSnapshot(std::vector<tInterface>& volumes, DWORD& error);

} // namespace platform::devices
