#pragma once

// What is open in the process: heap blocks, handles, device information sets and file
// descriptors. Tests take a snapshot before and compare after, so that a leak on any path
// shows, inside the device backend as well as above it.

#include "platform/linux/device_info_sets.h"
#include "platform/linux/handle_table.h"
#include "platform/linux/heap.h"

#include <dirent.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <ostream>
#include <string>

namespace fixtures {

// Open file descriptors other than sockets: umockdev's preload library keeps a socket for every
// failed open of a device path, and the device backend opens no sockets.
inline std::size_t openDescriptors() {
    std::size_t count = 0;
    if (DIR* directory = opendir("/proc/self/fd")) {
        while (dirent* entry = readdir(directory)) {
            char target[64] = {};
            std::string link = std::string("/proc/self/fd/") + entry->d_name;
            if (entry->d_name[0] != '.' && readlink(link.c_str(), target, sizeof target - 1) > 0 &&
                strncmp(target, "socket:", 7) != 0)
                ++count;
        }
        closedir(directory);
    }
    return count;
}

struct tOpenResources {
    std::size_t heapBlocks = platform::liveHeapBlocks();
    std::size_t handles = platform::liveHandleCount();
    std::size_t deviceInfoSets = platform::liveDeviceInfoSets();
    std::size_t descriptors = openDescriptors();

    bool operator==(const tOpenResources&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const tOpenResources& open) {
    return out << "{heap blocks " << open.heapBlocks << ", handles " << open.handles
               << ", device information sets " << open.deviceInfoSets << ", descriptors "
               << open.descriptors << "}";
}

} // namespace fixtures
