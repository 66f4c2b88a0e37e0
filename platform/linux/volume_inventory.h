#pragma once

// Which block devices are volumes: every partition of a listed disk, and a listed disk that
// carries a file system directly, without partitions.

#include "platform/linux/block_device.h"
#include "platform/linux/file_system.h"
#include "platform/linux/mount_table.h"

#include <optional>
#include <string>

namespace platform::devices {

struct tVolume {
    tFileSystem fileSystem;
    std::optional<std::string> mountPoint;
};

// Whether `device` is a volume; fills `volume`, when given, with its file system and mount
// point. A whole disk counts when a file system was found on it, by udev, by probing or, where
// the device cannot be read, by the kernel having mounted it.
bool identifyVolume(tUdevContext& udev, const tBlockDevice& device, const tMountTable& mounts,
                    tVolume* volume);

// The volume name of a volume device: the same for every path that leads to it.
std::string volumeNameOf(const tBlockDevice& device);

} // namespace platform::devices
