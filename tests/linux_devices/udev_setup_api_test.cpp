// The SetupAPI calls over a machine played by umockdev: which block devices are disk and volume
// interfaces, what their properties say, and the Win32 buffer protocol at the boundary.

#include "laptop_fixture.h"
#include "win32_queries.h"

#include "platform/win32_api.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <tuple>
#include <vector>

namespace {

using fixtures::tSeenInterface;
using tRow = std::tuple<std::string, std::string, std::string, std::string>;

std::vector<tRow> rowsOf(const std::vector<tSeenInterface>& interfaces) {
    std::vector<tRow> rows;
    for (const tSeenInterface& found : interfaces)
        rows.emplace_back(found.devicePath, found.enumeratorName.value_or("(none)"),
                          found.description.value_or("(none)"),
                          found.friendlyName.value_or("(none)"));
    return rows;
}

class SetupApiOverUdev : public fixtures::tLaptopTest {};

TEST_F(SetupApiOverUdev, DisksAreWholeDisksWithAMediumInAttachOrder) {
    DWORD error = 0;
    auto disks = fixtures::seenInterfaces(GUID_DEVINTERFACE_DISK, &error);
    EXPECT_EQ(error, DWORD(ERROR_SUCCESS));
    // Not listed: the card reader without a card, the DVD writer, the unused loop device, the
    // zram swap.
    EXPECT_EQ(
        rowsOf(disks),
        (std::vector<tRow>{
            {"/dev/nvme0n1", "NVME", "Samsung SSD 970 EVO Plus 500GB", "/dev/nvme0n1, 465.8 GiB"},
            {"/dev/sda", "SCSI", "Samsung SSD 860 EVO 1TB", "/dev/sda, 931.0 GiB"},
            {"/dev/sdb", "USBSTOR", "SanDisk Cruzer Blade", "/dev/sdb, 14.9 GiB"},
        }));
}

TEST_F(SetupApiOverUdev, VolumesArePartitionsWithFileSystemLabelAndMountPoint) {
    DWORD error = 0;
    auto volumes = fixtures::seenInterfaces(GUID_DEVINTERFACE_VOLUME, &error);
    EXPECT_EQ(error, DWORD(ERROR_SUCCESS));
    EXPECT_EQ(
        rowsOf(volumes),
        (std::vector<tRow>{
            {"/dev/nvme0n1p1", "STORAGE", "/dev/nvme0n1p1 vfat, 512.0 MiB", "EFI on /boot/efi"},
            {"/dev/nvme0n1p2", "STORAGE", "/dev/nvme0n1p2 ext4, 465.3 GiB", "mounted on /"},
            {"/dev/sda1", "STORAGE", "/dev/sda1 ext4, 800.0 GiB", "data disk"},
            {"/dev/sda2", "STORAGE", "/dev/sda2, 100.0 GiB", "(none)"},
            {"/dev/sdb1", "STORAGE", "/dev/sdb1 vfat, 14.9 GiB", "STICK on /media/tech/STICK"},
        }));
}

TEST_F(SetupApiOverUdev, ASetIsASnapshotOfWhenItWasMade) {
    HDEVINFO before = SetupDiGetClassDevsA(&GUID_DEVINTERFACE_DISK, nullptr, nullptr,
                                           DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    ASSERT_NE(before, INVALID_HANDLE_VALUE);
    testbed->remove(fixtures::laptop::stickDisk);

    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof data;
    EXPECT_TRUE(SetupDiEnumDeviceInterfaces(before, nullptr, &GUID_DEVINTERFACE_DISK, 2, &data));
    EXPECT_TRUE(SetupDiDestroyDeviceInfoList(before));

    auto after = fixtures::seenInterfaces(GUID_DEVINTERFACE_DISK);
    EXPECT_EQ(after.size(), 2u);
    EXPECT_EQ(fixtures::findPath(after, "/dev/sdb"), nullptr);
}

// One set with the stick's disk interface fetched, for the protocol checks.
class SetupApiProtocol : public fixtures::tLaptopTest {
protected:
    void SetUp() override {
        tLaptopTest::SetUp();
        set = SetupDiGetClassDevsA(&GUID_DEVINTERFACE_DISK, nullptr, nullptr,
                                   DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        ASSERT_NE(set, INVALID_HANDLE_VALUE);
        interfaceData.cbSize = sizeof interfaceData;
        ASSERT_TRUE(
            SetupDiEnumDeviceInterfaces(set, nullptr, &GUID_DEVINTERFACE_DISK, 2, &interfaceData));
        device.cbSize = sizeof device;
        detail.resize(64);
        detailBlock()->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        ASSERT_TRUE(SetupDiGetDeviceInterfaceDetailA(set, &interfaceData, detailBlock(), 64,
                                                     nullptr, &device));
    }
    void TearDown() override {
        if (set != INVALID_HANDLE_VALUE)
            SetupDiDestroyDeviceInfoList(set);
        tLaptopTest::TearDown();
    }
    SP_DEVICE_INTERFACE_DETAIL_DATA_A* detailBlock() {
        return reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(detail.data());
    }

    HDEVINFO set = INVALID_HANDLE_VALUE;
    SP_DEVICE_INTERFACE_DATA interfaceData{};
    SP_DEVINFO_DATA device{};
    std::vector<BYTE> detail;
};

TEST_F(SetupApiProtocol, DetailAsksForItsSizeFirst) {
    const DWORD needed = static_cast<DWORD>(
        offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + strlen("/dev/sdb") + 1);
    DWORD required = 0;
    EXPECT_FALSE(
        SetupDiGetDeviceInterfaceDetailA(set, &interfaceData, nullptr, 0, &required, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(required, needed);

    std::vector<BYTE> block(needed, 0);
    auto* small = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(block.data());
    small->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    EXPECT_FALSE(SetupDiGetDeviceInterfaceDetailA(set, &interfaceData, small, needed - 1, &required,
                                                  nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_TRUE(
        SetupDiGetDeviceInterfaceDetailA(set, &interfaceData, small, needed, &required, nullptr));
    EXPECT_STREQ(small->DevicePath, "/dev/sdb");

    small->cbSize = 6; // not the size of the fixed part
    EXPECT_FALSE(
        SetupDiGetDeviceInterfaceDetailA(set, &interfaceData, small, needed, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_USER_BUFFER));
}

TEST_F(SetupApiProtocol, PropertyAsksForItsSizeFirst) {
    const std::string expected = "SanDisk Cruzer Blade";
    DWORD required = 0;
    EXPECT_FALSE(SetupDiGetDeviceRegistryPropertyA(set, &device, SPDRP_DEVICEDESC, nullptr, nullptr,
                                                   0, &required));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    ASSERT_EQ(required, expected.size() + 1);

    std::vector<BYTE> buffer(required, 0xEE);
    EXPECT_FALSE(SetupDiGetDeviceRegistryPropertyA(set, &device, SPDRP_DEVICEDESC, nullptr,
                                                   buffer.data(), required - 1, &required));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    DWORD type = 0;
    EXPECT_TRUE(SetupDiGetDeviceRegistryPropertyA(set, &device, SPDRP_DEVICEDESC, &type,
                                                  buffer.data(), required, nullptr));
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data())), expected);
}

TEST_F(SetupApiProtocol, WrongCallsGetTheWin32Codes) {
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof data;
    EXPECT_FALSE(SetupDiEnumDeviceInterfaces(set, nullptr, &GUID_DEVINTERFACE_DISK, 3, &data));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_MORE_ITEMS));
    data.cbSize = 1;
    EXPECT_FALSE(SetupDiEnumDeviceInterfaces(set, nullptr, &GUID_DEVINTERFACE_DISK, 0, &data));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_USER_BUFFER));

    BYTE buffer[64];
    EXPECT_FALSE(SetupDiGetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID, nullptr, buffer,
                                                   sizeof buffer, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_DATA));
    SP_DEVINFO_DATA wrongSize = device;
    wrongSize.cbSize = 4;
    EXPECT_FALSE(SetupDiGetDeviceRegistryPropertyA(set, &wrongSize, SPDRP_DEVICEDESC, nullptr,
                                                   buffer, sizeof buffer, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_USER_BUFFER));

    int notASet = 0;
    EXPECT_FALSE(SetupDiEnumDeviceInterfaces(&notASet, nullptr, &GUID_DEVINTERFACE_DISK, 0, &data));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(SetupDiDestroyDeviceInfoList(&notASet));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

TEST_F(SetupApiOverUdev, ClassQueriesBeyondInterfaceClassesAreRefused) {
    struct tCase {
        const GUID* guid;
        const char* enumerator;
        DWORD flags;
    };
    const tCase refused[] = {
        {nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE},
        {&GUID_DEVINTERFACE_DISK, "USBSTOR", DIGCF_PRESENT | DIGCF_DEVICEINTERFACE},
        {&GUID_DEVINTERFACE_DISK, nullptr, DIGCF_PRESENT},
    };
    for (const tCase& c : refused) {
        EXPECT_EQ(SetupDiGetClassDevsA(c.guid, c.enumerator, nullptr, c.flags),
                  INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    }
    // Another interface class has no members here.
    const GUID other = {0x65e8773d, 0x8f56, 0x11d0, {0xa3, 0xb9, 0, 0xa0, 0xc9, 0x22, 0x31, 0x96}};
    DWORD error = 0;
    EXPECT_TRUE(fixtures::seenInterfaces(other, &error).empty());
    EXPECT_EQ(error, DWORD(ERROR_SUCCESS));
}

} // namespace
