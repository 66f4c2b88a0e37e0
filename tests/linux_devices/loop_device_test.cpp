// The device backend on the real kernel: a FAT image attached to a loop device is a disk and a
// volume, and its diskseq names it until it is detached. Needs root (losetup); skipped where
// loop devices cannot be attached.

#include "open_resources.h"
#include "win32_queries.h"

#include "discovery/usb_disk_list.h"
#include "platform/linux/device_texts.h"
#include "platform/linux/physical_drive.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// Runs a command line, bounded in time, and gives its exit status and output.
int run(const std::string& command, std::string& output) {
    output.clear();
    FILE* pipe = popen(("timeout 60 " + command + " 2>&1").c_str(), "r");
    if (!pipe)
        return -1;
    char chunk[256];
    while (fgets(chunk, sizeof chunk, pipe))
        output += chunk;
    int status = pclose(pipe);
    while (!output.empty() && output.back() == '\n')
        output.pop_back();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string sysfsValue(const std::string& path) {
    std::string value;
    std::ifstream(path) >> value;
    return value;
}

// A 16 MiB FAT image labelled BOOTTEST on a loop device, detached and removed on every path.
class LoopDevice : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/bootdisk-loop-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory = pattern;
        image = directory + "/stick.img";
        std::string output;
        ASSERT_EQ(run("truncate -s 16M " + image, output), 0) << output;
        ASSERT_EQ(run(std::string(MKFS_VFAT) + " -n BOOTTEST " + image, output), 0)
            << "mkfs.vfat (dosfstools, installed by scripts/setup-debian): " << output;
        if (run(std::string(LOSETUP) + " --find --show " + image, output) != 0)
            GTEST_SKIP() << "loop devices cannot be attached here: " << output;
        node = output;
        name = node.substr(node.rfind('/') + 1);
        std::string seq = sysfsValue("/sys/block/" + name + "/diskseq");
        if (seq.empty())
            GTEST_SKIP() << "this kernel numbers no disks (no diskseq in sysfs)";
        diskSeq = static_cast<DWORD>(std::stoull(seq));
    }

    void TearDown() override {
        detach();
        if (!image.empty())
            unlink(image.c_str());
        if (!directory.empty())
            rmdir(directory.c_str());
    }

    void detach() {
        std::string output;
        if (!node.empty()) {
            EXPECT_EQ(run(std::string(LOSETUP) + " -d " + node, output), 0) << output;
        }
        node.clear();
    }

    std::string directory, image, node, name;
    DWORD diskSeq = 0;
};

TEST_F(LoopDevice, IsADiskOfItsOwnKindNumberedByItsDiskseq) {
    auto disks = fixtures::seenInterfaces(GUID_DEVINTERFACE_DISK);
    const fixtures::tSeenInterface* disk = fixtures::findPath(disks, node);
    ASSERT_NE(disk, nullptr) << node;
    EXPECT_EQ(disk->enumeratorName, "LOOP");
    EXPECT_EQ(disk->description, "Loop device (stick.img)");
    EXPECT_EQ(disk->friendlyName, node + ", 16.0 MiB");

    STORAGE_DEVICE_NUMBER number{};
    auto answer = fixtures::deviceNumberOf(node, number);
    ASSERT_TRUE(answer.answered) << answer.error;
    EXPECT_EQ(number.DeviceNumber, diskSeq);
    EXPECT_EQ(number.PartitionNumber, 0u);
}

TEST_F(LoopDevice, ItsFileSystemIsAVolumeLyingOnIt) {
    auto volumes = fixtures::seenInterfaces(GUID_DEVINTERFACE_VOLUME);
    const fixtures::tSeenInterface* volume = fixtures::findPath(volumes, node);
    ASSERT_NE(volume, nullptr) << node;
    EXPECT_EQ(volume->enumeratorName, "STORAGE");
    EXPECT_EQ(volume->description, node + " vfat, 16.0 MiB");
    EXPECT_EQ(volume->friendlyName, "BOOTTEST");

    auto extents = fixtures::extentsOf(node, sizeof(VOLUME_DISK_EXTENTS));
    ASSERT_TRUE(extents.answered) << extents.error;
    ASSERT_EQ(extents.extents.size(), 1u);
    EXPECT_EQ(extents.extents[0].DiskNumber, diskSeq);
    EXPECT_EQ(extents.extents[0].StartingOffset.QuadPart, 0);
    EXPECT_EQ(extents.extents[0].ExtentLength.QuadPart, LONGLONG(16) << 20);

    EXPECT_EQ(fixtures::volumeNameAt(node + "\\").name, platform::devices::volumeName(diskSeq, 0));
}

TEST_F(LoopDevice, IsNoUsbFlashDisk) {
    std::vector<tUsbDiskEntry> list;
    EXPECT_EQ(buildUsbDiskList(list), S_OK);
    for (const tUsbDiskEntry& entry : list)
        EXPECT_NE(entry.diskNumber, diskSeq) << entry.label;
}

TEST_F(LoopDevice, ItsNumberResolvesUntilItIsDetached) {
    std::string path;
    DWORD error = 0;
    ASSERT_TRUE(platform::resolvePhysicalDrive(diskSeq, path, error)) << error;
    struct stat resolved, loop;
    ASSERT_EQ(stat(path.c_str(), &resolved), 0) << path;
    ASSERT_EQ(stat(node.c_str(), &loop), 0);
    EXPECT_EQ(resolved.st_rdev, loop.st_rdev);

    HANDLE opened = fixtures::openForQuery(node);
    ASSERT_NE(opened, INVALID_HANDLE_VALUE);
    const std::string detached = node;
    detach();

    EXPECT_FALSE(platform::resolvePhysicalDrive(diskSeq, path, error));
    EXPECT_EQ(error, DWORD(ERROR_FILE_NOT_FOUND));
    // The node is still there, now for an empty loop device: the old handle names nothing.
    STORAGE_DEVICE_NUMBER number;
    DWORD returned = 0;
    EXPECT_FALSE(DeviceIoControl(opened, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number,
                                 sizeof number, &returned, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DEV_NOT_EXIST));
    EXPECT_TRUE(CloseHandle(opened));
    auto disks = fixtures::seenInterfaces(GUID_DEVINTERFACE_DISK);
    EXPECT_EQ(fixtures::findPath(disks, detached), nullptr);
}

TEST_F(LoopDevice, DiscoveryLeavesNothingOpen) {
    fixtures::tOpenResources before;
    std::vector<tUsbDiskEntry> list;
    EXPECT_EQ(buildUsbDiskList(list), S_OK);
    EXPECT_EQ(fixtures::tOpenResources(), before);
}

} // namespace
