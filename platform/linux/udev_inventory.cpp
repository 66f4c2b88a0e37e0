#include "platform/linux/udev_inventory.h"

#include "platform/linux/block_device.h"
#include "platform/linux/device_texts.h"
#include "platform/linux/disk_identity.h"
#include "platform/linux/mount_table.h"
#include "platform/linux/volume_inventory.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace platform::devices {

namespace {

using tOrdered = std::pair<std::pair<uint64_t, unsigned>, tInterface>;

void putInOrder(std::vector<tOrdered>& found, std::vector<tInterface>& interfaces) {
    std::stable_sort(found.begin(), found.end(),
                     [](const tOrdered& a, const tOrdered& b) { return a.first < b.first; });
    for (tOrdered& entry : found)
        interfaces.push_back(std::move(entry.second));
}

// Every block device the machine has now.
bool listDevices(tUdevContext& udev, std::vector<tBlockDevice>& devices, DWORD& error) {
    if (!udev.valid()) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        return false;
    }
    return listBlockDevices(udev, devices, error);
}

} // namespace

bool takeDiskSnapshot(std::vector<tInterface>& disks, DWORD& error) {
    tUdevContext udev;
    std::vector<tBlockDevice> devices;
    if (!listDevices(udev, devices, error))
        return false;
    std::vector<tOrdered> found;
    for (const tBlockDevice& device : devices) {
        if (!isListedDisk(device))
            continue;
        tInterface disk{device.node, enumeratorName(device), diskDescription(device),
                        diskFriendlyName(device.node, device.bytes())};
        found.push_back({{device.diskSeq, 0}, std::move(disk)});
    }
    putInOrder(found, disks);
    return true;
}

bool takeVolumeSnapshot(std::vector<tInterface>& volumes, DWORD& error) {
    tUdevContext udev;
    std::vector<tBlockDevice> devices;
    if (!listDevices(udev, devices, error))
        return false;
    tMountTable mounts = tMountTable::read();
    std::vector<tOrdered> found;
    for (const tBlockDevice& device : devices) {
        tVolume facts;
        if (!identifyVolume(udev, device, mounts, &facts))
            continue;
        tInterface volume{device.node, "STORAGE",
                          volumeDescription(device.node, facts.fileSystem.type, device.bytes()),
                          volumeFriendlyName(facts.fileSystem.label, facts.mountPoint)};
        found.push_back({{device.diskSeq, device.partitionNumber}, std::move(volume)});
    }
    putInOrder(found, volumes);
    return true;
}

} // namespace platform::devices

namespace platform {

bool listDeviceInterfaces(bool volumes, std::vector<tDeviceInterface>& interfaces, DWORD& error) {
    return volumes ? devices::takeVolumeSnapshot(interfaces, error)
                   : devices::takeDiskSnapshot(interfaces, error);
}

} // namespace platform
