#pragma once

// Where a volume lies: the disks under it, with offsets and lengths in bytes.

#include "platform/linux/block_device.h"

#include <cstdint>
#include <vector>

namespace platform::devices {

struct tExtent {
    uint64_t diskSeq; // the disk's number
    uint64_t offset;
    uint64_t length;
};

// A partition lies on its disk; a device built on others (device mapper, md) lies on the disks
// under them, one extent for each device it is built on (its whole length: the mapping inside
// is not looked at); anything else lies on itself. False with a Win32 code in `error` when a
// device below has gone or the stack is deeper than any real one.
bool volumeExtents(tUdevContext& udev, const tBlockDevice& device, std::vector<tExtent>& extents,
                   DWORD& error);

} // namespace platform::devices
