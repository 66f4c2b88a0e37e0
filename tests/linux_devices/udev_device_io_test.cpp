// CreateFileA and DeviceIoControl on block devices played by umockdev: which paths open, the
// device numbers (diskseq and partition), the extents with the Win32 buffer protocol, and the
// answers once a disk has gone or been replaced.

#include "laptop_fixture.h"
#include "open_resources.h"
#include "win32_queries.h"

#include "platform/win32_api.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

using namespace fixtures::laptop;

class DeviceFilesOverUdev : public fixtures::tLaptopTest {};

TEST_F(DeviceFilesOverUdev, OnlyBlockDeviceNodesOpenAndFailuresLeaveNothingOpen) {
    testbed->addStaleNode("sdz", "8:208");
    struct tCase {
        const char* path;
        DWORD access;
        DWORD disposition;
        DWORD error;
    };
    const tCase cases[] = {
        {"/dev/sdb", 0, OPEN_EXISTING, ERROR_SUCCESS},
        {"/dev/sdb1", 0, OPEN_EXISTING, ERROR_SUCCESS},
        {"/dev/nvme0n1p2", 0, OPEN_EXISTING, ERROR_SUCCESS},
        {"/dev/no-such-disk", 0, OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
        {"/dev/null/sdb", 0, OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
        {"/dev/null", 0, OPEN_EXISTING, ERROR_INVALID_FUNCTION},
        {"/", 0, OPEN_EXISTING, ERROR_INVALID_FUNCTION},
        {"/dev/sdz", 0, OPEN_EXISTING, ERROR_FILE_NOT_FOUND}, // a node without a device
        {"/dev/sdb", GENERIC_READ, OPEN_EXISTING, ERROR_ACCESS_DENIED},
        {"/dev/sdb", 0, OPEN_ALWAYS, ERROR_ACCESS_DENIED},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.path);
        fixtures::tOpenResources before;
        HANDLE device = CreateFileA(c.path, c.access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    c.disposition, 0, nullptr);
        if (c.error == ERROR_SUCCESS) {
            ASSERT_NE(device, INVALID_HANDLE_VALUE) << GetLastError();
            EXPECT_TRUE(CloseHandle(device));
        } else {
            EXPECT_EQ(device, INVALID_HANDLE_VALUE);
            EXPECT_EQ(GetLastError(), c.error);
        }
        EXPECT_EQ(fixtures::tOpenResources(), before);
    }
    EXPECT_EQ(CreateFileA(nullptr, 0, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(DeviceFilesOverUdev, DeviceNumberIsTheDiskseqOfTheWholeDiskAndThePartition) {
    testbed->addNodeLink("disk/by-diskseq/42", "../../sdb", "8:16");
    const std::tuple<const char*, DWORD, DWORD> cases[] = {
        {"/dev/sdb", stickSeq, 0},
        {"/dev/sdb1", stickSeq, 1},
        {"/dev/disk/by-diskseq/42", stickSeq, 0},
        {"/dev/nvme0n1", systemSeq, 0},
        {"/dev/nvme0n1p2", systemSeq, 2},
        {"/dev/sda1", dataSeq, 1},
    };
    for (const auto& [path, disk, partition] : cases) {
        SCOPED_TRACE(path);
        STORAGE_DEVICE_NUMBER number{99, 99, 99};
        auto answer = fixtures::deviceNumberOf(path, number);
        ASSERT_TRUE(answer.answered) << answer.error;
        EXPECT_EQ(answer.returned, DWORD(sizeof number));
        EXPECT_EQ(number.DeviceType, DWORD(FILE_DEVICE_DISK));
        EXPECT_EQ(number.DeviceNumber, disk);
        EXPECT_EQ(number.PartitionNumber, partition);
    }
}

TEST_F(DeviceFilesOverUdev, APartitionLiesOnItsDiskAndADiskAnswersNoExtents) {
    auto extents = fixtures::extentsOf("/dev/sdb1", sizeof(VOLUME_DISK_EXTENTS));
    ASSERT_TRUE(extents.answered) << extents.error;
    EXPECT_EQ(extents.count, 1u);
    EXPECT_EQ(extents.returned, DWORD(sizeof(VOLUME_DISK_EXTENTS)));
    ASSERT_EQ(extents.extents.size(), 1u);
    EXPECT_EQ(extents.extents[0].DiskNumber, stickSeq);
    EXPECT_EQ(extents.extents[0].StartingOffset.QuadPart, LONGLONG(stickPartitionStart * 512));
    EXPECT_EQ(extents.extents[0].ExtentLength.QuadPart, LONGLONG(stickPartitionSectors * 512));

    auto onDisk = fixtures::extentsOf("/dev/sdb", sizeof(VOLUME_DISK_EXTENTS));
    EXPECT_FALSE(onDisk.answered);
    EXPECT_EQ(onDisk.error, DWORD(ERROR_INVALID_FUNCTION));

    auto small = fixtures::extentsOf("/dev/sdb1", sizeof(VOLUME_DISK_EXTENTS) - 1);
    EXPECT_FALSE(small.answered);
    EXPECT_EQ(small.error, DWORD(ERROR_INSUFFICIENT_BUFFER));
}

TEST_F(DeviceFilesOverUdev, RequestsOtherThanTheTwoQueriesAreInvalidFunctions) {
    HANDLE device = fixtures::openForQuery("/dev/sdb1");
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    BYTE buffer[64];
    DWORD returned = 0;
    EXPECT_FALSE(DeviceIoControl(device, 0x00070000 /* IOCTL_DISK_GET_DRIVE_GEOMETRY */, nullptr, 0,
                                 buffer, sizeof buffer, &returned, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FUNCTION));
    STORAGE_DEVICE_NUMBER number;
    EXPECT_FALSE(DeviceIoControl(device, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number,
                                 sizeof number - 1, &returned, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_TRUE(CloseHandle(device));
    EXPECT_FALSE(DeviceIoControl(device, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number,
                                 sizeof number, &returned, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

// A handle names the attachment it was opened on: once the disk is pulled, or another disk has
// taken its device number, the handle answers nothing any more.
TEST_F(DeviceFilesOverUdev, AHandleOutlivingItsDiskAnswersNoMore) {
    HANDLE replaced = fixtures::openForQuery("/dev/sdb");
    HANDLE pulled = fixtures::openForQuery("/dev/sda1");
    ASSERT_NE(replaced, INVALID_HANDLE_VALUE);
    ASSERT_NE(pulled, INVALID_HANDLE_VALUE);
    testbed->setAttribute(stickDisk, "diskseq", "77");
    testbed->remove("/devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0/block/sda");

    STORAGE_DEVICE_NUMBER number;
    DWORD returned = 0;
    EXPECT_FALSE(DeviceIoControl(replaced, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number,
                                 sizeof number, &returned, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DEV_NOT_EXIST));
    EXPECT_FALSE(DeviceIoControl(pulled, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number,
                                 sizeof number, &returned, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DEV_NOT_EXIST));
    CloseHandle(replaced);
    CloseHandle(pulled);

    // A new handle sees the disk as it is now.
    auto answer = fixtures::deviceNumberOf("/dev/sdb", number);
    ASSERT_TRUE(answer.answered);
    EXPECT_EQ(number.DeviceNumber, 77u);
}

class StackedVolumes : public fixtures::tFakeMachineTest {
protected:
    void SetUp() override {
        machine = fixtures::laptopWithStackedVolumes();
        start();
    }
};

TEST_F(StackedVolumes, ADeviceOnOthersLiesOnTheirDisksWithTheBufferProtocol) {
    using fixtures::gib;
    auto first = fixtures::extentsOf("/dev/dm-0", sizeof(VOLUME_DISK_EXTENTS));
    EXPECT_FALSE(first.answered);
    EXPECT_EQ(first.error, DWORD(ERROR_MORE_DATA));
    EXPECT_EQ(first.count, 2u);

    const DWORD full = offsetof(VOLUME_DISK_EXTENTS, Extents) + 2 * sizeof(DISK_EXTENT);
    auto all = fixtures::extentsOf("/dev/dm-0", full);
    ASSERT_TRUE(all.answered) << all.error;
    EXPECT_EQ(all.returned, full);
    ASSERT_EQ(all.extents.size(), 2u);
    EXPECT_EQ(all.extents[0].DiskNumber, 60u);
    EXPECT_EQ(all.extents[0].StartingOffset.QuadPart, LONGLONG(2048 * 512));
    EXPECT_EQ(all.extents[0].ExtentLength.QuadPart, LONGLONG(gib(4) * 512));
    EXPECT_EQ(all.extents[1].DiskNumber, 61u);
    EXPECT_EQ(all.extents[1].StartingOffset.QuadPart, LONGLONG(4096 * 512));

    auto encrypted = fixtures::extentsOf("/dev/dm-1", full);
    ASSERT_TRUE(encrypted.answered) << encrypted.error;
    ASSERT_EQ(encrypted.extents.size(), 1u);
    EXPECT_EQ(encrypted.extents[0].DiskNumber, 62u);
}

class VolumeNames : public fixtures::tLaptopTest {};

TEST_F(VolumeNames, EveryPathToAVolumeGivesItsOneName) {
    testbed->addNodeLink("disk/by-label/STICK", "../../sdb1", "8:17");
    auto byNode = fixtures::volumeNameAt("/dev/sdb1\\");
    ASSERT_TRUE(byNode.answered) << byNode.error;
    EXPECT_EQ(byNode.name, "\\\\?\\Volume{0000002a-0000-0000-0001-000000000000}\\");
    EXPECT_EQ(fixtures::volumeNameAt("/dev/disk/by-label/STICK\\").name, byNode.name);

    auto root = fixtures::volumeNameAt("Z:\\");
    ASSERT_TRUE(root.answered) << root.error;
    EXPECT_EQ(root.name, fixtures::volumeNameAt("/dev/nvme0n1p2\\").name);
    EXPECT_EQ(fixtures::volumeNameAt("z:\\").name, root.name);
    EXPECT_EQ(fixtures::volumeNameAt("/\\").name, root.name);
    EXPECT_NE(root.name, byNode.name);
    EXPECT_NE(fixtures::volumeNameAt("/dev/nvme0n1p1\\").name, root.name);
}

TEST_F(VolumeNames, TheOneDriveLetterIsTheRoot) {
    EXPECT_EQ(GetLogicalDrives(), DWORD(1) << ('Z' - 'A'));
}

TEST_F(VolumeNames, PathsThatAreNoVolumesGetTheWin32Codes) {
    const std::tuple<const char*, DWORD> cases[] = {
        {"/dev/sdb1", ERROR_INVALID_PARAMETER}, // no trailing backslash
        {"\\", ERROR_INVALID_PARAMETER},
        {"/dev/no-such-disk\\", ERROR_FILE_NOT_FOUND},
        {"/dev/sdb\\", ERROR_INVALID_PARAMETER}, // a disk with partitions
        {"/dev/null\\", ERROR_INVALID_PARAMETER},
        {"/dev\\", ERROR_INVALID_PARAMETER}, // a directory where nothing is mounted
        {"C:\\", ERROR_PATH_NOT_FOUND},
    };
    for (const auto& [path, error] : cases) {
        SCOPED_TRACE(path);
        auto answer = fixtures::volumeNameAt(path);
        EXPECT_FALSE(answer.answered);
        EXPECT_EQ(answer.error, error);
    }
}

TEST_F(VolumeNames, ANameNeedsRoomForItsNul) {
    const std::string name = fixtures::volumeNameAt("/dev/sdb1\\").name;
    ASSERT_FALSE(name.empty());
    auto tight = fixtures::volumeNameAt("/dev/sdb1\\", static_cast<DWORD>(name.size()));
    EXPECT_FALSE(tight.answered);
    EXPECT_EQ(tight.error, DWORD(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_EQ(fixtures::volumeNameAt("/dev/sdb1\\", static_cast<DWORD>(name.size() + 1)).name,
              name);
}

TEST_F(VolumeNames, ARootThatIsNoVolumeOfOursIsAnInvalidFunction) {
    testbed->setMounts("1 0 0:31 / / rw,relatime - overlay overlay rw,lowerdir=/l\n");
    auto root = fixtures::volumeNameAt("Z:\\");
    EXPECT_FALSE(root.answered);
    EXPECT_EQ(root.error, DWORD(ERROR_INVALID_FUNCTION));
}

} // namespace
