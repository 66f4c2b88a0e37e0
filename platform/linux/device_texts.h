#pragma once

// The texts the device properties and volume names are made of. Linux users know their disks
// by device node, size, file system, label and mount point, so that is what the texts say.

#include <cstdint>
#include <optional>
#include <string>

namespace platform::devices {

// "512 B", "16.0 MiB", "14.9 GiB": binary units, one decimal.
std::string formatSize(uint64_t bytes);

// Undoes the \xNN escapes of udev's *_ENC properties.
std::string decodeUdevText(const std::string& text);

// Without leading and trailing blanks (sysfs pads SCSI vendor and model).
std::string trimmed(const std::string& text);

// "SanDisk Cruzer Blade"; the vendor is left out when the model already begins with it.
std::string joinVendorModel(const std::string& vendor, const std::string& model);

// A disk's friendly name: "/dev/sdb, 14.9 GiB".
std::string diskFriendlyName(const std::string& node, uint64_t bytes);

// A volume's description: "/dev/sdb1 vfat, 7.5 GiB", or without the type when unknown.
std::string volumeDescription(const std::string& node, const std::string& fsType, uint64_t bytes);

// A volume's friendly name: "STICK on /media/tech/STICK", "STICK", "mounted on /mnt"; none
// without label and mount point.
std::optional<std::string> volumeFriendlyName(const std::string& label,
                                              const std::optional<std::string>& mountPoint);

// "\\?\Volume{0000002a-0000-0000-0001-000000000000}\" for partition 1 of the disk whose diskseq
// is 42 (partition 0: a file system on the whole disk). Unique per attachment, as diskseq is.
std::string volumeName(uint64_t diskSeq, unsigned partitionNumber);

} // namespace platform::devices
