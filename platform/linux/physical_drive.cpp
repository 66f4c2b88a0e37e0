// "\\.\PhysicalDriveN" on Linux: the whole disk whose diskseq is N right now. The kernel never
// gives a diskseq twice within a boot, so a disk pulled or replaced after the list was built
// resolves to nothing rather than to another disk.

#include "platform/linux/physical_drive.h"

#include "platform/linux/block_device.h"
#include "platform/linux/call_hook.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>

#ifndef BLKGETDISKSEQ
#define BLKGETDISKSEQ _IOR(0x12, 128, __u64)
#endif

namespace {

using namespace platform::devices;

// The listed disk whose diskseq is `number`, or none.
std::optional<tBlockDevice> diskWithSeq(tUdevContext& udev, DWORD number) {
    std::vector<tBlockDevice> devices;
    DWORD error = ERROR_SUCCESS;
    if (!listBlockDevices(udev, devices, error))
        return std::nullopt;
    for (tBlockDevice& device : devices)
        if (isListedDisk(device) && device.diskSeq == number)
            return std::move(device);
    return std::nullopt;
}

bool isNodeOf(const std::string& path, dev_t number) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISBLK(status.st_mode) && status.st_rdev == number;
}

// Whether `path` still leads to the disk with diskseq `number`: the kernel's own answer on the
// node where it can be opened, else the node's device number against sysfs.
bool stillTheDisk(tUdevContext& udev, const std::string& path, const tBlockDevice& disk,
                  DWORD number) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd >= 0) {
        uint64_t seq = 0;
        int answered = ioctl(fd, BLKGETDISKSEQ, &seq);
        close(fd);
        if (answered == 0)
            return seq == number;
    }
    if (!isNodeOf(path, disk.number))
        return false;
    auto now = blockDeviceByNumber(udev, disk.number);
    return now && !now->partition && now->diskSeq == number;
}

} // namespace

namespace platform {

bool resolvePhysicalDrive(DWORD number, std::string& path, DWORD& error) {
    char detail[16];
    snprintf(detail, sizeof detail, "%u", number);
    if (DWORD code = enterCall("resolvePhysicalDrive", [&] { return std::string(detail); })) {
        error = code;
        return false;
    }
    tUdevContext udev;
    auto disk = udev.valid() ? diskWithSeq(udev, number) : std::nullopt;
    if (!disk) {
        error = ERROR_FILE_NOT_FOUND;
        return false;
    }
    std::string candidate = std::string("/dev/disk/by-diskseq/") + detail;
    std::string found = isNodeOf(candidate, disk->number) ? candidate : disk->node;
    if (!stillTheDisk(udev, found, *disk, number)) {
        error = ERROR_FILE_NOT_FOUND;
        return false;
    }
    path = found;
    return true;
}

} // namespace platform
