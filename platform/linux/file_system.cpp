#include "platform/linux/file_system.h"

#include "platform/linux/device_texts.h"

#include <blkid.h>

#include <memory>

namespace platform::devices {

namespace {

struct tProbeRelease {
    void operator()(blkid_struct_probe* probe) const { blkid_free_probe(probe); }
};

std::string probeValue(blkid_probe probe, const char* name) {
    const char* value = nullptr;
    if (blkid_probe_lookup_value(probe, name, &value, nullptr) != 0 || !value)
        return {};
    return value;
}

tFileSystem probe(const std::string& node) {
    std::unique_ptr<blkid_struct_probe, tProbeRelease> probe(
        blkid_new_probe_from_filename(node.c_str()));
    if (!probe)
        return {};
    blkid_probe_enable_superblocks(probe.get(), 1);
    blkid_probe_set_superblocks_flags(probe.get(), BLKID_SUBLKS_TYPE | BLKID_SUBLKS_LABEL);
    // Ambiguous or failed probes say nothing, as udev's own blkid run would.
    if (blkid_do_safeprobe(probe.get()) != 0)
        return {};
    return {probeValue(probe.get(), "TYPE"), probeValue(probe.get(), "LABEL")};
}

} // namespace

tFileSystem identifyFileSystem(const tBlockDevice& device) {
    udev_device* known = device.device.get();
    std::string type = property(known, "ID_FS_TYPE");
    if (!type.empty()) {
        std::string label = decodeUdevText(property(known, "ID_FS_LABEL_ENC"));
        if (label.empty())
            label = property(known, "ID_FS_LABEL");
        return {type, label};
    }
    if (device.node.empty())
        return {};
    return probe(device.node);
}

} // namespace platform::devices
