// Discovery (the program's own code) over machines played by umockdev: which USB flash disks the
// list offers, with which number, and how their labels read.

#include "laptop_fixture.h"

#include "discovery/disk_enumeration.h"
#include "discovery/usb_disk_list.h"
#include "discovery/volume_enumeration.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace {

using fixtures::gib;
using tEntries = std::vector<std::pair<DWORD, std::string>>;

tEntries entriesOf(const std::vector<tUsbDiskEntry>& list) {
    tEntries entries;
    for (const tUsbDiskEntry& entry : list)
        entries.emplace_back(entry.diskNumber, entry.label);
    return entries;
}

const std::string stickLabel = "/dev/sdb1 vfat, 14.9 GiB - STICK on /media/tech/STICK "
                               "(SanDisk Cruzer Blade - /dev/sdb, 14.9 GiB)";

class UsbDiskListOverUdev : public fixtures::tLaptopTest {};

TEST_F(UsbDiskListOverUdev, OffersTheStickWithItsVolumeAndNotTheFixedDisks) {
    std::vector<tUsbDiskEntry> list;
    EXPECT_EQ(buildUsbDiskList(list), S_OK);
    EXPECT_EQ(entriesOf(list), (tEntries{{fixtures::laptop::stickSeq, stickLabel}}));
}

TEST_F(UsbDiskListOverUdev, VolumesKnowTheirDisksAndTheRootHasTheDriveLetter) {
    std::vector<tVolumeInfo> volumes;
    ASSERT_NO_THROW(enumerateVolumes(volumes));
    ASSERT_EQ(volumes.size(), 5u);
    const std::vector<std::vector<DWORD>> disks = {{1}, {1}, {2}, {2}, {42}};
    const char letters[] = {0, 'Z', 0, 0, 0};
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        SCOPED_TRACE(volumes[i].description);
        EXPECT_EQ(volumes[i].diskNumbers, disks[i]);
        EXPECT_EQ(volumes[i].driveLetter, letters[i]);
    }
    EXPECT_EQ(volumes[3].friendlyName, ""); // sda2: neither label nor mount point

    std::vector<tDiskInfo> disksFound;
    ASSERT_NO_THROW(enumerateDisks(disksFound));
    ASSERT_EQ(disksFound.size(), 3u);
    EXPECT_EQ(disksFound[2].devicePath, "/dev/sdb");
    EXPECT_EQ(disksFound[2].deviceNumber, fixtures::laptop::stickSeq);
}

class StackedUsbDiskList : public fixtures::tFakeMachineTest {};

TEST_F(StackedUsbDiskList, AVolumeOnSeveralSticksJoinsEachOfThem) {
    machine = fixtures::laptopWithStackedVolumes();
    start();
    std::vector<tUsbDiskEntry> list;
    EXPECT_EQ(buildUsbDiskList(list), S_OK);
    EXPECT_EQ(entriesOf(list),
              (tEntries{
                  {42, stickLabel},
                  {60, "/dev/dm-0 ext4, 6.0 GiB - pool (/dev/sdd1 LVM2_member, 4.0 GiB "
                       "(Kingston DT - /dev/sdd, 8.0 GiB))"},
                  {61, "/dev/dm-0 ext4, 6.0 GiB - pool (/dev/sde1 LVM2_member, 2.0 GiB "
                       "(Samsung FIT - /dev/sde, 16.0 GiB))"},
                  {62, "/dev/dm-1 vfat, 31.0 GiB - SECRET (/dev/sdf1 crypto_LUKS, 31.0 GiB "
                       "(Intenso Rainbow - /dev/sdf, 32.0 GiB))"},
              }));
}

// One more stick (diskseq 60) on the laptop, and the label it gets.
struct tStickCase {
    const char* name;
    std::function<void(fixtures::tFakeMachine&)> add;
    std::string label;
};

void PrintTo(const tStickCase& stick, std::ostream* out) {
    *out << stick.name;
}

class OneMoreStick : public fixtures::tFakeMachineTest,
                     public ::testing::WithParamInterface<tStickCase> {};

TEST_P(OneMoreStick, IsListedAfterTheFirstWithItsLabel) {
    machine = fixtures::technicianLaptop();
    GetParam().add(machine);
    start();
    std::vector<tUsbDiskEntry> list;
    EXPECT_EQ(buildUsbDiskList(list), S_OK);
    EXPECT_EQ(entriesOf(list), (tEntries{{42, stickLabel}, {60, GetParam().label}}));
}

INSTANTIATE_TEST_SUITE_P(
    Sticks, OneMoreStick,
    ::testing::Values(
        tStickCase{"FileSystemOnTheWholeDiskOverUas",
                   [](fixtures::tFakeMachine& m) {
                       m.disk(m.usbStorage(3, "uas", "Samsung", "Flash Drive FIT"), "sdd", "8:48",
                              gib(64), 60, {"E: ID_FS_TYPE=exfat", "E: ID_FS_LABEL=BACKUP"});
                   },
                   "/dev/sdd exfat, 64.0 GiB - BACKUP (Samsung Flash Drive FIT - /dev/sdd, "
                   "64.0 GiB)"},
        tStickCase{"NothingOnIt",
                   [](fixtures::tFakeMachine& m) {
                       m.disk(m.usbStorage(3, "usb-storage", "Kingston", "DataTraveler 3.0"), "sdd",
                              "8:48", gib(29), 60);
                   },
                   "Kingston DataTraveler 3.0 - /dev/sdd, 29.0 GiB"},
        tStickCase{"MountedWhereTheDatabaseKnowsNothing",
                   [](fixtures::tFakeMachine& m) {
                       std::string d = m.disk(m.usbStorage(3, "usb-storage", "Verbatim", "STORE"),
                                              "sdd", "8:48", gib(8), 60);
                       m.partition(d, "sdd1", "8:49", 1, 2048, gib(8) - 2048);
                       m.mount("8:49", "/dev/sdd1", "/mnt/usb", "vfat");
                   },
                   "/dev/sdd1 vfat, 8.0 GiB - mounted on /mnt/usb (Verbatim STORE - /dev/sdd, "
                   "8.0 GiB)"},
        tStickCase{"TwoPartitionsTheSecondOutermost",
                   [](fixtures::tFakeMachine& m) {
                       std::string d = m.disk(m.usbStorage(3, "usb-storage", "SanDisk", "Ultra"),
                                              "sdd", "8:48", gib(16), 60);
                       m.partition(d, "sdd1", "8:49", 1, 2048, gib(4),
                                   {"E: ID_FS_TYPE=vfat", "E: ID_FS_LABEL=BOOT"});
                       m.partition(d, "sdd2", "8:50", 2, 2048 + gib(4), gib(12) - 4096,
                                   {"E: ID_FS_TYPE=ext4"});
                   },
                   "/dev/sdd2 ext4, 12.0 GiB (/dev/sdd1 vfat, 4.0 GiB - BOOT (SanDisk Ultra - "
                   "/dev/sdd, 16.0 GiB))"}),
    [](const ::testing::TestParamInfo<tStickCase>& info) { return info.param.name; });

} // namespace
