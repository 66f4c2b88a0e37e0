#include "platform/linux/volume_extents.h"

namespace platform::devices {

namespace {

constexpr int deepestStack = 8;

bool collect(tUdevContext& udev, const tBlockDevice& device, int depth,
             std::vector<tExtent>& extents, DWORD& error) {
    if (depth > deepestStack) {
        error = ERROR_INVALID_FUNCTION;
        return false;
    }
    std::vector<std::string> below = slavesOf(device);
    if (below.empty()) {
        extents.push_back({device.diskSeq, device.startSector * 512, device.bytes()});
        return true;
    }
    for (const std::string& name : below) {
        auto slave = blockDeviceByName(udev, name);
        if (!slave) {
            error = ERROR_DEV_NOT_EXIST;
            return false;
        }
        if (!collect(udev, *slave, depth + 1, extents, error))
            return false;
    }
    return true;
}

} // namespace

bool volumeExtents(tUdevContext& udev, const tBlockDevice& device, std::vector<tExtent>& extents,
                   DWORD& error) {
    std::vector<tExtent> found;
    if (!collect(udev, device, 0, found, error))
        return false;
    extents = std::move(found);
    return true;
}

} // namespace platform::devices
