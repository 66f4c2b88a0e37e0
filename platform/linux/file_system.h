#pragma once

// The file system on a block device, as the udev database knows it or libblkid finds it.

#include "platform/linux/block_device.h"

#include <string>

namespace platform::devices {

struct tFileSystem {
    std::string type;  // "vfat", "ext4"; empty when none was found
    std::string label; // may be empty
};

// udev's ID_FS_TYPE and label when the database has them; otherwise a libblkid probe of the
// node, which needs read access: without it the device shows no file system.
tFileSystem identifyFileSystem(const tBlockDevice& device);

} // namespace platform::devices
