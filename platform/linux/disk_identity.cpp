#include "platform/linux/disk_identity.h"

#include "platform/linux/device_texts.h"

#include <cctype>
#include <cstring>

namespace platform::devices {

namespace {

std::string upperCase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return text;
}

bool equals(const char* text, const char* expected) {
    return text && strcmp(text, expected) == 0;
}

// udev's *_ENC value decoded, else the plain one with its underscores read as blanks.
std::string udevText(udev_device* device, const char* encoded, const char* plain) {
    std::string text = decodeUdevText(property(device, encoded));
    if (text.empty()) {
        text = property(device, plain);
        for (char& c : text)
            if (c == '_')
                c = ' ';
    }
    return trimmed(text);
}

std::string baseName(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

std::string enumeratorName(const tBlockDevice& disk) {
    udev_device* device = disk.device.get();
    for (udev_device* p = udev_device_get_parent(device); p; p = udev_device_get_parent(p)) {
        const char* driver = udev_device_get_driver(p);
        if (equals(driver, "usb-storage") || equals(driver, "uas"))
            return "USBSTOR";
    }
    for (udev_device* p = udev_device_get_parent(device); p; p = udev_device_get_parent(p)) {
        const char* subsystem = udev_device_get_subsystem(p);
        if (!subsystem)
            continue;
        // Multipath NVMe namespaces hang below "nvme-subsystem".
        if (strncmp(subsystem, "nvme", 4) == 0)
            return "NVME";
        return upperCase(subsystem);
    }
    // A virtual disk: its kind is the name without the number ("loop0", "dm-1", "md127").
    std::string kind;
    for (char c : disk.sysName) {
        if (isdigit(static_cast<unsigned char>(c)))
            break;
        kind += c;
    }
    while (!kind.empty() && kind.back() == '-')
        kind.pop_back();
    return kind.empty() ? "VIRTUAL" : upperCase(kind);
}

std::string diskDescription(const tBlockDevice& disk) {
    udev_device* device = disk.device.get();
    for (udev_device* p = udev_device_get_parent(device); p; p = udev_device_get_parent(p)) {
        std::string model = trimmed(attribute(p, "model"));
        if (model.empty() && equals(udev_device_get_subsystem(p), "mmc"))
            model = trimmed(attribute(p, "name"));
        if (model.empty())
            continue;
        std::string vendor = trimmed(attribute(p, "vendor"));
        // PCI-style numeric vendors and the SATA translation layer's "ATA" name nobody.
        if (vendor.rfind("0x", 0) == 0 || vendor == "ATA")
            vendor.clear();
        return joinVendorModel(vendor, model);
    }
    std::string model = udevText(device, "ID_MODEL_ENC", "ID_MODEL");
    if (!model.empty())
        return joinVendorModel(udevText(device, "ID_VENDOR_ENC", "ID_VENDOR"), model);

    std::string backingFile = trimmed(attribute(device, "loop/backing_file"));
    if (!backingFile.empty())
        return "Loop device (" + baseName(backingFile) + ")";
    std::string mapped = trimmed(attribute(device, "dm/name"));
    if (!mapped.empty())
        return "Mapped device " + mapped;
    std::string level = trimmed(attribute(device, "md/level"));
    if (!level.empty())
        return "Software RAID (" + level + ")";
    return "Disk drive";
}

} // namespace platform::devices
