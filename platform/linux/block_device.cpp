#include "platform/linux/block_device.h"

#include "platform/linux/errno_error.h"

#include <dirent.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace platform::devices {

namespace {

struct tDirectoryClose {
    void operator()(DIR* directory) const { closedir(directory); }
};

// The names in a sysfs directory, without "." and "..".
std::vector<std::string> entriesOf(const std::string& path) {
    std::vector<std::string> names;
    std::unique_ptr<DIR, tDirectoryClose> directory(opendir(path.c_str()));
    if (!directory)
        return names;
    while (dirent* entry = readdir(directory.get()))
        if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    std::sort(names.begin(), names.end());
    return names;
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.compare(0, strlen(prefix), prefix) == 0;
}

bool isRamDisk(const std::string& name) {
    auto digitAfter = [&](std::size_t at) {
        return name.size() > at && name[at] >= '0' && name[at] <= '9';
    };
    return (startsWith(name, "ram") && digitAfter(3)) ||
           (startsWith(name, "zram") && digitAfter(4));
}

std::optional<tBlockDevice> readBlockDevice(tUdevDevicePtr device) {
    if (!device)
        return std::nullopt;
    const char* subsystem = udev_device_get_subsystem(device.get());
    if (!subsystem || strcmp(subsystem, "block") != 0)
        return std::nullopt;
    tBlockDevice block;
    const char* name = udev_device_get_sysname(device.get());
    const char* node = udev_device_get_devnode(device.get());
    const char* type = udev_device_get_devtype(device.get());
    block.sysName = name ? name : "";
    block.node = node ? node : "";
    block.number = udev_device_get_devnum(device.get());
    block.partition = type && strcmp(type, "partition") == 0;
    block.sectors = numberAttribute(device.get(), "size");
    if (block.partition) {
        block.partitionNumber = static_cast<unsigned>(numberAttribute(device.get(), "partition"));
        block.startSector = numberAttribute(device.get(), "start");
        block.disk = udev_device_get_parent_with_subsystem_devtype(device.get(), "block", "disk");
    } else {
        block.disk = device.get();
    }
    block.diskSeq = block.disk ? numberAttribute(block.disk, "diskseq") : 0;
    block.device = std::move(device);
    return block;
}

} // namespace

std::string attribute(udev_device* device, const char* name) {
    const char* value = device ? udev_device_get_sysattr_value(device, name) : nullptr;
    return value ? value : "";
}

std::string property(udev_device* device, const char* name) {
    const char* value = device ? udev_device_get_property_value(device, name) : nullptr;
    return value ? value : "";
}

uint64_t numberAttribute(udev_device* device, const char* name) {
    std::string text = attribute(device, name);
    return text.empty() ? 0 : strtoull(text.c_str(), nullptr, 10);
}

bool listBlockDevices(tUdevContext& udev, std::vector<tBlockDevice>& devices, DWORD& error) {
    std::unique_ptr<udev_enumerate, tUdevRelease> enumeration(udev_enumerate_new(udev.get()));
    if (!enumeration) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        return false;
    }
    int result = udev_enumerate_add_match_subsystem(enumeration.get(), "block");
    if (result >= 0)
        result = udev_enumerate_scan_devices(enumeration.get());
    if (result < 0) {
        error = platform::errorFromErrno(-result);
        return false;
    }
    udev_list_entry* entry;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumeration.get())) {
        tUdevDevicePtr device(
            udev_device_new_from_syspath(udev.get(), udev_list_entry_get_name(entry)));
        // A device that went away since the scan is simply not there.
        if (auto block = readBlockDevice(std::move(device)))
            devices.push_back(std::move(*block));
    }
    return true;
}

std::optional<tBlockDevice> blockDeviceByNumber(tUdevContext& udev, dev_t number) {
    return readBlockDevice(tUdevDevicePtr(udev_device_new_from_devnum(udev.get(), 'b', number)));
}

std::optional<tBlockDevice> blockDeviceByName(tUdevContext& udev, const std::string& sysName) {
    return readBlockDevice(tUdevDevicePtr(
        udev_device_new_from_subsystem_sysname(udev.get(), "block", sysName.c_str())));
}

std::optional<tBlockDevice> wholeDiskOf(tUdevContext& udev, const tBlockDevice& device) {
    if (!device.disk)
        return std::nullopt;
    const char* path = udev_device_get_syspath(device.disk);
    return readBlockDevice(tUdevDevicePtr(udev_device_new_from_syspath(udev.get(), path)));
}

bool isListedDisk(const tBlockDevice& device) {
    if (device.partition || device.node.empty() || device.sectors == 0 || device.diskSeq == 0)
        return false;
    // Optical and floppy drives are other device classes on Windows too.
    constexpr unsigned floppyMajor = 2, cdromMajor = 11;
    if (major(device.number) == floppyMajor || major(device.number) == cdromMajor)
        return false;
    if (isRamDisk(device.sysName) || attribute(device.device.get(), "hidden") == "1")
        return false;
    if (startsWith(device.sysName, "loop") &&
        attribute(device.device.get(), "loop/backing_file").empty())
        return false;
    return true;
}

bool hasPartitions(const tBlockDevice& device) {
    std::string path = udev_device_get_syspath(device.device.get());
    for (const std::string& name : entriesOf(path))
        if (access((path + "/" + name + "/partition").c_str(), F_OK) == 0)
            return true;
    return false;
}

std::vector<std::string> slavesOf(const tBlockDevice& device) {
    return entriesOf(std::string(udev_device_get_syspath(device.device.get())) + "/slaves");
}

} // namespace platform::devices
