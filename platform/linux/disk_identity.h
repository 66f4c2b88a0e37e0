#pragma once

// How a disk presents itself: the bus that found it and the name its maker gave it.

#include "platform/linux/block_device.h"

#include <string>

namespace platform::devices {

// "USBSTOR" for a disk behind the usb-storage or uas driver, as Windows files USB mass storage;
// otherwise the bus of its controller in upper case ("SCSI", "NVME", "VIRTIO", "MMC"), and for a
// virtual disk its kind ("LOOP", "DM", "MD").
std::string enumeratorName(const tBlockDevice& disk);

// Vendor and model ("SanDisk Cruzer Blade"), from sysfs or the udev database; for virtual disks
// what they stand for; "Disk drive" when nothing says more.
std::string diskDescription(const tBlockDevice& disk);

} // namespace platform::devices
