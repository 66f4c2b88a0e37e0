#include "platform/linux/volume_inventory.h"

#include "platform/linux/device_texts.h"

namespace platform::devices {

namespace {

tVolume describe(const tBlockDevice& device, const tMountTable& mounts) {
    tVolume volume;
    volume.fileSystem = identifyFileSystem(device);
    if (auto mount = mounts.firstMountOf(device.number)) {
        volume.mountPoint = mount->target;
        // Where the device cannot be read, the kernel still says what it mounted.
        if (volume.fileSystem.type.empty())
            volume.fileSystem.type = mount->type;
    }
    return volume;
}

} // namespace

bool identifyVolume(tUdevContext& udev, const tBlockDevice& device, const tMountTable& mounts,
                    tVolume* volume) {
    if (device.partition) {
        auto disk = wholeDiskOf(udev, device);
        if (!disk || !isListedDisk(*disk) || device.node.empty())
            return false;
        if (volume)
            *volume = describe(device, mounts);
        return true;
    }
    if (!isListedDisk(device) || hasPartitions(device))
        return false;
    tVolume found = describe(device, mounts);
    if (found.fileSystem.type.empty())
        return false;
    if (volume)
        *volume = std::move(found);
    return true;
}

std::string volumeNameOf(const tBlockDevice& device) {
    return volumeName(device.diskSeq, device.partitionNumber);
}

} // namespace platform::devices
