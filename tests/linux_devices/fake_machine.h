#pragma once

// Fake machines for umockdev, written as a Linux kernel shows them in sysfs: USB mass storage
// below its usb-storage or uas interface and SCSI host, NVMe namespaces below their controller,
// virtual disks below /devices/virtual, partitions inside their disk.

#include <cstdint>
#include <string>
#include <vector>

namespace fixtures {

class tFakeMachine {
public:
    // A USB device on root port `port` whose interface is bound to `driver` ("usb-storage" or
    // "uas"), with the SCSI host, target and device the kernel makes for it. Returns the
    // directory its block devices go into.
    std::string usbStorage(int port, const std::string& driver, const std::string& vendor,
                           const std::string& model);
    // A SATA disk's SCSI device on AHCI port `port`, the same way.
    std::string sataStorage(int port, const std::string& model);
    // An NVMe controller; its namespaces go directly into it.
    std::string nvmeController(int index, const std::string& model);
    static std::string virtualBlock() { return "/devices/virtual/block"; }

    // A whole disk (number as "8:16") in `directory`; `extra` are further lines of
    // umockdev-record's form ("E: ID_FS_TYPE=vfat", "A: loop/backing_file=...").
    std::string disk(const std::string& directory, const std::string& name,
                     const std::string& number, uint64_t sectors, uint64_t diskSeq,
                     const std::vector<std::string>& extra = {});
    std::string partition(const std::string& diskPath, const std::string& name,
                          const std::string& number, unsigned index, uint64_t startSector,
                          uint64_t sectors, const std::vector<std::string>& extra = {});
    // The line that makes `path` (a block device's sysfs path) a device that a device mapper
    // device in /devices/virtual/block is built on.
    static std::string slaveLink(const std::string& name, const std::string& path);
    void mount(const std::string& number, const std::string& source, const std::string& target,
               const std::string& type);

    const std::string& description() const { return text; }
    const std::string& mountInfo() const { return mounts; }

private:
    void paragraph(const std::string& path, const std::vector<std::string>& lines);
    std::string text;
    std::string mounts;
    int nextMountId = 100;
};

// Sizes in 512-byte sectors.
constexpr uint64_t gib(uint64_t n) {
    return n * 2 * 1024 * 1024;
}
constexpr uint64_t mib(uint64_t n) {
    return n * 2 * 1024;
}

// A technician's laptop: an NVMe system disk (EFI partition and root file system), a SATA data
// disk with a labelled and an empty partition, a SanDisk stick with one FAT partition mounted under
// /media, an empty card reader, a USB DVD writer with a disc, an unused loop device and a zram
// swap device.
namespace laptop {
inline const std::string stickDisk =
    "/devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.0/host6/target6:0:0/6:0:0:0/block/sdb";
inline const std::string stickPartition = stickDisk + "/sdb1";
constexpr uint64_t stickSeq = 42;
constexpr uint64_t systemSeq = 1;
constexpr uint64_t dataSeq = 2;
constexpr uint64_t stickSectors = 31250000;                          // 14.9 GiB
constexpr uint64_t stickPartitionStart = 2048;                       // 1 MiB in
constexpr uint64_t stickPartitionSectors = stickSectors - 2048 - 48; // 14.9 GiB
} // namespace laptop

tFakeMachine technicianLaptop();

// The laptop with volumes on volumes: a volume group "pool" (dm-0, diskseq 70) spanning
// partitions of a Kingston stick (sdd, 60) and a Samsung stick on uas (sde, 61), and an opened
// encrypted partition "SECRET" (dm-1, 71) of an Intenso stick (sdf, 62).
tFakeMachine laptopWithStackedVolumes();

} // namespace fixtures
