#pragma once

// Where block devices are mounted, from this process's mount table (libmount).

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace platform::devices {

class tMountTable {
public:
    struct tMount {
        dev_t device;
        std::string target;
        std::string type; // the file system type the kernel mounted it as
    };

    // The mounts of this process; empty when the table cannot be read.
    static tMountTable read();

    // The first mount of the block device `number`, or none.
    std::optional<tMount> firstMountOf(dev_t number) const;
    // The block device mounted at `target` as seen now (the last mount there), or 0.
    dev_t deviceAt(const std::string& target) const;

private:
    std::vector<tMount> mounts;
};

} // namespace platform::devices
