#include "discovery/disk_enumeration.h"
#include "discovery/windows_error.h"

#include "fixtures/inventories.h"
#include "fixtures/resource_counts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> callsOf(const sim::tSimulatedPlatform& platform,
                                 const std::string& operation) {
    std::vector<std::string> calls;
    for (const std::string& call : platform.callLog())
        if (call.rfind(operation + "(", 0) == 0)
            calls.push_back(call);
    return calls;
}

DWORD raisedCode(std::vector<tDiskInfo>& disks) {
    try {
        enumerateDisks(disks);
    } catch (const tWindowsError& error) {
        return error.code;
    }
    return ERROR_SUCCESS;
}

TEST(EnumerateDisks, AppendsEveryDiskInIndexOrderBehindExistingRecords) {
    sim::tInventory inventory;
    inventory.disks.push_back(fixtures::disk(7, "First", "SCSI"));
    inventory.disks.push_back(fixtures::disk(2, "Second"));
    inventory.disks.back().description = "USB Mass Storage";
    inventory.disks.push_back(fixtures::disk(4, "Third", "usbstor"));
    sim::tSimulatedPlatform platform(inventory);
    fixtures::tResourceCounts before;

    std::vector<tDiskInfo> disks(1);
    disks[0].devicePath = "kept";
    enumerateDisks(disks);

    ASSERT_EQ(disks.size(), 4u);
    EXPECT_EQ(disks[0].devicePath, "kept");
    const DWORD numbers[] = {7, 2, 4};
    const char* enumerators[] = {"SCSI", "USBSTOR", "usbstor"};
    const char* names[] = {"First", "Second", "Third"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const tDiskInfo& disk = disks[i + 1];
        EXPECT_EQ(disk.deviceNumber, numbers[i]);
        EXPECT_EQ(disk.devicePath, inventory.disks[i].devicePath);
        EXPECT_EQ(disk.enumeratorName, enumerators[i]);
        EXPECT_EQ(disk.friendlyName, names[i]);
        EXPECT_EQ(disk.description, i == 1 ? "USB Mass Storage" : "Disk drive");
    }
    EXPECT_EQ(fixtures::tResourceCounts(), before);
}

TEST(EnumerateDisks, NoDiskLeavesTheVectorAsItWasAndReleasesTheSet) {
    sim::tSimulatedPlatform platform({});
    fixtures::tResourceCounts before;
    std::vector<tDiskInfo> disks;
    EXPECT_EQ(raisedCode(disks), DWORD(ERROR_SUCCESS));
    EXPECT_TRUE(disks.empty());
    EXPECT_EQ(callsOf(platform, "SetupDiEnumDeviceInterfaces").size(), 1u);
    EXPECT_EQ(fixtures::tResourceCounts(), before);
}

TEST(EnumerateDisks, ReadsPropertiesInOrderAndGrowsBuffersOnlyForLongerValues) {
    sim::tInventory inventory;
    inventory.disks.push_back(fixtures::disk(1, "Stick one"));
    inventory.disks.push_back(fixtures::disk(2, "Stick two"));
    inventory.disks[1].devicePath += "-with-a-longer-path";
    inventory.disks.push_back(fixtures::disk(3, "Stick 3"));
    sim::tSimulatedPlatform platform(inventory);

    std::vector<tDiskInfo> disks;
    enumerateDisks(disks);

    // The detail block starts at its fixed part and grows once per longer path.
    const std::string first = inventory.disks[0].devicePath;
    const DWORD firstSize = DWORD(4 + first.size() + 1);
    const DWORD secondSize = DWORD(4 + inventory.disks[1].devicePath.size() + 1);
    EXPECT_EQ(
        callsOf(platform, "SetupDiGetDeviceInterfaceDetailA"),
        (std::vector<std::string>{
            "SetupDiGetDeviceInterfaceDetailA(size=5 cbSize=5)",
            "SetupDiGetDeviceInterfaceDetailA(size=" + std::to_string(firstSize) + " cbSize=5)",
            "SetupDiGetDeviceInterfaceDetailA(size=" + std::to_string(firstSize) + " cbSize=5)",
            "SetupDiGetDeviceInterfaceDetailA(size=" + std::to_string(secondSize) + " cbSize=5)",
            "SetupDiGetDeviceInterfaceDetailA(size=" + std::to_string(secondSize) + " cbSize=5)"}));

    // Enumerator, description, friendly name; only the first read and longer values take two.
    EXPECT_EQ(callsOf(platform, "SetupDiGetDeviceRegistryPropertyA"),
              (std::vector<std::string>{
                  "SetupDiGetDeviceRegistryPropertyA(property=22 buffer=null size=0)",
                  "SetupDiGetDeviceRegistryPropertyA(property=22 buffer=zeroed size=8)",
                  "SetupDiGetDeviceRegistryPropertyA(property=0 buffer=used size=8)",
                  "SetupDiGetDeviceRegistryPropertyA(property=0 buffer=used size=11)",
                  "SetupDiGetDeviceRegistryPropertyA(property=12 buffer=used size=11)",
                  "SetupDiGetDeviceRegistryPropertyA(property=22 buffer=used size=11)",
                  "SetupDiGetDeviceRegistryPropertyA(property=0 buffer=used size=11)",
                  "SetupDiGetDeviceRegistryPropertyA(property=12 buffer=used size=11)",
                  "SetupDiGetDeviceRegistryPropertyA(property=22 buffer=used size=11)",
                  "SetupDiGetDeviceRegistryPropertyA(property=0 buffer=used size=11)",
                  "SetupDiGetDeviceRegistryPropertyA(property=12 buffer=used size=11)"}));

    // One open and one device-number request per disk, each handle closed.
    EXPECT_EQ(callsOf(platform, "CreateFileA").size(), 3u);
    EXPECT_EQ(callsOf(platform, "CreateFileA")[0],
              "CreateFileA(" + first + " access=0x0 share=3 disposition=3)");
    EXPECT_EQ(callsOf(platform, "DeviceIoControl"),
              std::vector<std::string>(3, "DeviceIoControl(code=0x2d1080 size=12)"));
    EXPECT_EQ(callsOf(platform, "CloseHandle").size(), 3u);
}

struct tDiskFailure {
    const char* what;
    void (*breakSecondDisk)(sim::tSimDisk&);
    DWORD code;
    // What the partial record of the failing disk holds: path, enumerator, description, name.
    bool path, enumerator, description, friendlyName;
};

void PrintTo(const tDiskFailure& c, std::ostream* out) {
    *out << c.what;
}

class EnumerateDisksFailure : public ::testing::TestWithParam<tDiskFailure> {};

TEST_P(EnumerateDisksFailure, RaisesTheCodeAndKeepsEarlierAndPartialRecords) {
    const tDiskFailure& failure = GetParam();
    sim::tInventory inventory;
    inventory.disks.push_back(fixtures::disk(1, "Good"));
    inventory.disks.push_back(fixtures::disk(2, "Broken"));
    failure.breakSecondDisk(inventory.disks[1]);
    inventory.disks.push_back(fixtures::disk(3, "Never reached"));
    sim::tSimulatedPlatform platform(inventory);
    fixtures::tResourceCounts before;

    std::vector<tDiskInfo> disks;
    EXPECT_EQ(raisedCode(disks), failure.code);
    ASSERT_EQ(disks.size(), 2u);
    EXPECT_EQ(disks[0].friendlyName, "Good");
    EXPECT_EQ(disks[0].deviceNumber, 1u);
    const tDiskInfo& partial = disks[1];
    EXPECT_EQ(!partial.devicePath.empty(), failure.path);
    EXPECT_EQ(!partial.enumeratorName.empty(), failure.enumerator);
    EXPECT_EQ(!partial.description.empty(), failure.description);
    EXPECT_EQ(!partial.friendlyName.empty(), failure.friendlyName);
    EXPECT_EQ(fixtures::tResourceCounts(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EnumerateDisksFailure,
    ::testing::Values(
        tDiskFailure{"no friendly name", [](sim::tSimDisk& d) { d.friendlyName.reset(); },
                     ERROR_INVALID_DATA, true, true, true, false},
        tDiskFailure{"no description", [](sim::tSimDisk& d) { d.description.reset(); },
                     ERROR_INVALID_DATA, true, true, false, false},
        tDiskFailure{"cannot be opened",
                     [](sim::tSimDisk& d) { d.openError = ERROR_ACCESS_DENIED; },
                     ERROR_ACCESS_DENIED, true, true, true, true},
        tDiskFailure{"no device number", [](sim::tSimDisk& d) { d.numberError = ERROR_NOT_READY; },
                     ERROR_NOT_READY, true, true, true, true}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (c == ' ')
                c = '_';
        return name;
    });

TEST(EnumerateDisks, FailedDetailLeavesNoRecordForThatInterface) {
    sim::tInventory inventory;
    inventory.disks.push_back(fixtures::disk(1, "Good"));
    inventory.disks.push_back(fixtures::disk(2, "Other"));
    sim::tSimulatedPlatform platform(inventory);
    // Disk 1 takes two detail calls (the size, then the path); disk 2 one.
    platform.failCall("SetupDiGetDeviceInterfaceDetailA", 3, ERROR_GEN_FAILURE);
    fixtures::tResourceCounts before;
    std::vector<tDiskInfo> disks;
    EXPECT_EQ(raisedCode(disks), DWORD(ERROR_GEN_FAILURE));
    EXPECT_EQ(disks.size(), 1u);
    EXPECT_EQ(fixtures::tResourceCounts(), before);
}

TEST(EnumerateDisks, FailedClassQueryRaisesBeforeAnythingIsAllocated) {
    sim::tInventory inventory;
    inventory.disks.push_back(fixtures::disk(1, "Good"));
    sim::tSimulatedPlatform platform(inventory);
    platform.failCall("SetupDiGetClassDevsA", 1, ERROR_ACCESS_DENIED);
    std::vector<tDiskInfo> disks;
    EXPECT_EQ(raisedCode(disks), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(disks.empty());
    EXPECT_EQ(platform.callCount("HeapAlloc"), 0);
}

TEST(GetStorageDeviceNumber, ReturnsTheSecondOfTheThreeWords) {
    sim::tInventory inventory;
    inventory.disks.push_back(fixtures::disk(0x1234567, "Stick"));
    sim::tSimulatedPlatform platform(inventory);
    fixtures::tResourceCounts before;
    EXPECT_EQ(getStorageDeviceNumber(inventory.disks[0].devicePath.c_str()), 0x1234567u);
    EXPECT_EQ(fixtures::tResourceCounts(), before);
}

} // namespace
