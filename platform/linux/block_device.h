#pragma once

// Block devices as libudev shows them: from sysfs alone, with what the udev database adds when
// a udev daemon keeps one.

#include "platform/win32_api.h"

#include <libudev.h>
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform::devices {

struct tUdevRelease {
    void operator()(struct udev* context) const { udev_unref(context); }
    void operator()(udev_device* device) const { udev_device_unref(device); }
    void operator()(udev_enumerate* enumeration) const { udev_enumerate_unref(enumeration); }
};
using tUdevDevicePtr = std::unique_ptr<udev_device, tUdevRelease>;

// One libudev context; every device read through it must be gone before it is.
class tUdevContext {
public:
    tUdevContext() : context(udev_new()) {}
    bool valid() const { return context != nullptr; }
    struct udev* get() const {
        return context.get();
    }

private:
    std::unique_ptr<struct udev, tUdevRelease> context;
};

// What sysfs says about one block device, read once.
struct tBlockDevice {
    tUdevDevicePtr device;
    std::string sysName; // "sdb1"
    std::string node;    // "/dev/sdb1"; empty for a device without a node
    dev_t number = 0;
    bool partition = false;
    unsigned partitionNumber = 0; // 0 for a whole disk
    uint64_t sectors = 0;         // size in 512-byte units, as sysfs counts
    uint64_t startSector = 0;     // where a partition begins on its disk
    uint64_t diskSeq = 0;         // of the whole disk; 0 when the kernel gives none
    udev_device* disk = nullptr;  // the whole disk: the device itself, or a partition's parent

    uint64_t bytes() const { return sectors * 512; }
};

// The text of a sysfs attribute, or empty.
std::string attribute(udev_device* device, const char* name);
// The text of a udev property, or empty.
std::string property(udev_device* device, const char* name);
uint64_t numberAttribute(udev_device* device, const char* name);

// Every block device, disks and partitions, in sysfs order. False with a Win32 code in `error`
// when sysfs cannot be read.
bool listBlockDevices(tUdevContext& udev, std::vector<tBlockDevice>& devices, DWORD& error);

// The block device with this device number, or the one with this kernel name, or none.
std::optional<tBlockDevice> blockDeviceByNumber(tUdevContext& udev, dev_t number);
std::optional<tBlockDevice> blockDeviceByName(tUdevContext& udev, const std::string& sysName);

// The whole disk a partition lies on (a disk is its own).
std::optional<tBlockDevice> wholeDiskOf(tUdevContext& udev, const tBlockDevice& device);

// Whether the disk list shows this device: a whole disk with a node, a size and a diskseq,
// that is neither a RAM disk, an optical or floppy drive, nor a loop device without a backing
// file.
bool isListedDisk(const tBlockDevice& device);

// Whether partitions of this disk are present.
bool hasPartitions(const tBlockDevice& device);

// The kernel names of the devices this one is built on (device mapper, md), in sysfs order.
std::vector<std::string> slavesOf(const tBlockDevice& device);

} // namespace platform::devices
