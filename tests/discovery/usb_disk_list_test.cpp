#include "discovery/usb_disk_list.h"

#include "fixtures/inventories.h"
#include "fixtures/resource_counts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using fixtures::disk;
using fixtures::volume;

struct tEntry {
    DWORD diskNumber;
    std::string label;
    bool operator==(const tEntry&) const = default;
};

void PrintTo(const tEntry& entry, std::ostream* out) {
    *out << "{" << entry.diskNumber << ", \"" << entry.label << "\"}";
}

struct tListCase {
    const char* name;
    sim::tInventory inventory;
    std::vector<tEntry> expected;
};

sim::tInventory machine(std::vector<sim::tSimDisk> disks, std::vector<sim::tSimVolume> volumes) {
    sim::tInventory inventory;
    inventory.disks = std::move(disks);
    inventory.volumes = std::move(volumes);
    inventory.volumes.insert(inventory.volumes.begin(),
                             volume("system", {0}, "C", "Generic volume", "System"));
    return inventory;
}

sim::tSimDisk describedDisk(DWORD number, std::string description, std::string friendlyName,
                            std::string enumerator = "USBSTOR") {
    sim::tSimDisk d = disk(number, std::move(friendlyName), std::move(enumerator));
    d.description = std::move(description);
    return d;
}

std::vector<tListCase> listCases() {
    return {
        {"disk_without_volume", machine({describedDisk(1, "D", "F")}, {}), {{1, "D - F"}}},
        {"last_volume_outermost",
         machine({describedDisk(1, "D", "F")},
                 {volume("e", {1}, "E", "V"), volume("g", {1}, "G", "X", "Y")}),
         {{1, "G: X - Y (E: V (D - F))"}}},
        {"empty_disk_friendly_name", machine({describedDisk(1, "D", "")}, {}), {{1, "D - "}}},
        {"empty_volume_friendly_name",
         machine({describedDisk(1, "D", "F")}, {volume("e", {1}, "E", "V", "")}),
         {{1, "E: V (D - F)"}}},
        {"volume_spanning_two_usb_disks",
         machine({describedDisk(1, "D1", "F1"), describedDisk(3, "D3", "F3")},
                 {volume("s", {1, 3}, "S", "Spanned", "Both")}),
         {{1, "S: Spanned - Both (D1 - F1)"}, {3, "S: Spanned - Both (D3 - F3)"}}},
        {"volume_spanning_usb_and_internal_disk",
         machine({describedDisk(5, "Internal", "HDD", "SCSI"), describedDisk(6, "D", "F")},
                 {volume("s", {5, 6}, "S", "Spanned")}),
         {{6, "S: Spanned (D - F)"}}},
        {"volume_listing_its_disk_twice",
         machine({describedDisk(1, "D", "F")}, {volume("t", {1, 1}, "T", "Twice")}),
         {{1, "T: Twice (D - F)"}}},
        {"other_enumerators_skipped",
         machine({describedDisk(1, "Lower", "case", "usbstor"),
                  describedDisk(2, "Sata", "disk", "SCSI"), describedDisk(3, "D", "F"),
                  describedDisk(4, "Longer", "name", "USBSTOR2")},
                 {}),
         {{3, "D - F"}}},
        {"volume_at_e_and_k_gets_k",
         machine({describedDisk(1, "D", "F")}, {volume("ek", {1}, "EK", "V")}),
         {{1, "K: V (D - F)"}}},
        {"volume_without_letter",
         machine({describedDisk(1, "D", "F")},
                 {volume("n", {1}, "", "V", "W"), volume("m", {1}, "", "Bare")}),
         {{1, "Bare (V - W (D - F))"}}},
        {"numbers_and_order_follow_the_platform",
         machine({describedDisk(9, "D9", "F9"), describedDisk(2, "D2", "F2"),
                  describedDisk(0, "System", "SSD", "SCSI"), describedDisk(14, "D14", "F14")},
                 {volume("a", {14}, "A", "Va"), volume("b", {9}, "B", "Vb")}),
         {{9, "B: Vb (D9 - F9)"}, {2, "D2 - F2"}, {14, "A: Va (D14 - F14)"}}},
        {"no_usb_disk", machine({describedDisk(0, "System", "SSD", "SCSI")}, {}), {}},
    };
}

void PrintTo(const tListCase& c, std::ostream* out) {
    *out << c.name;
}

class UsbDiskList : public ::testing::TestWithParam<tListCase> {};

TEST_P(UsbDiskList, LabelsAndNumbersEachUsbDisk) {
    sim::tSimulatedPlatform platform(GetParam().inventory);
    fixtures::tResourceCounts before;
    std::vector<tUsbDiskEntry> list;
    EXPECT_EQ(buildUsbDiskList(list), S_OK);
    std::vector<tEntry> got;
    for (const tUsbDiskEntry& entry : list)
        got.push_back({entry.diskNumber, entry.label});
    EXPECT_EQ(got, GetParam().expected);
    EXPECT_EQ(fixtures::tResourceCounts(), before);
}

INSTANTIATE_TEST_SUITE_P(Inventories, UsbDiskList, ::testing::ValuesIn(listCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(UsbDiskList, VolumesAreEnumeratedBeforeDisks) {
    sim::tSimulatedPlatform platform(fixtures::realisticMachine());
    std::vector<tUsbDiskEntry> list;
    EXPECT_EQ(buildUsbDiskList(list), S_OK);
    std::vector<std::string> classQueries;
    for (const std::string& call : platform.callLog())
        if (call.rfind("SetupDiGetClassDevsA", 0) == 0)
            classQueries.push_back(call);
    EXPECT_EQ(classQueries, (std::vector<std::string>{"SetupDiGetClassDevsA(volume flags=0x12)",
                                                      "SetupDiGetClassDevsA(disk flags=0x12)"}));
    EXPECT_EQ(list.size(), 2u);
}

TEST(UsbDiskList, FailureOfEitherEnumerationLeavesTheCallersListAsItWas) {
    // The letter map and the volume set belong to the volume enumeration, the second set to
    // the disk enumeration.
    const std::pair<const char*, int> failures[] = {
        {"GetLogicalDrives", 1}, {"SetupDiGetClassDevsA", 1}, {"SetupDiGetClassDevsA", 2}};
    for (const auto& [operation, nth] : failures) {
        SCOPED_TRACE(std::string(operation) + " #" + std::to_string(nth));
        sim::tSimulatedPlatform platform(fixtures::realisticMachine());
        platform.failCall(operation, nth, ERROR_ACCESS_DENIED);
        fixtures::tResourceCounts before;
        std::vector<tUsbDiskEntry> list{{42, "already there"}};
        EXPECT_EQ(buildUsbDiskList(list), E_FAIL);
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list[0].diskNumber, 42u);
        EXPECT_EQ(list[0].label, "already there");
        EXPECT_EQ(fixtures::tResourceCounts(), before);
    }
}

} // namespace
