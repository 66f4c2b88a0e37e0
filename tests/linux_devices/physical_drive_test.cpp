// "\\.\PhysicalDriveN" on Linux: the disk whose diskseq is N at the moment of asking, over
// machines played by umockdev.

#include "laptop_fixture.h"

#include "platform/linux/physical_drive.h"

#include <gtest/gtest.h>

namespace {

using namespace fixtures::laptop;

class PhysicalDrive : public fixtures::tLaptopTest {
protected:
    // The path for disk `number`, or "error N".
    static std::string resolved(DWORD number) {
        std::string path;
        DWORD error = 0;
        if (platform::resolvePhysicalDrive(number, path, error))
            return path;
        return "error " + std::to_string(error);
    }
};

TEST_F(PhysicalDrive, ANumberNamesTheWholeDiskWithThatDiskseq) {
    EXPECT_EQ(resolved(stickSeq), "/dev/sdb");
    EXPECT_EQ(resolved(systemSeq), "/dev/nvme0n1");
    EXPECT_EQ(resolved(99), "error 2");
    EXPECT_EQ(resolved(3), "error 2");  // the loop device without a backing file is no disk
    EXPECT_EQ(resolved(43), "error 2"); // nor the card reader without a card
}

TEST_F(PhysicalDrive, TheDiskseqLinkIsPreferredWhenItLeadsToTheDisk) {
    testbed->addNodeLink("disk/by-diskseq/42", "../../sdb", "8:16");
    EXPECT_EQ(resolved(stickSeq), "/dev/disk/by-diskseq/42");
}

TEST_F(PhysicalDrive, ADiskseqLinkToAnotherDiskIsNotFollowed) {
    testbed->addNodeLink("disk/by-diskseq/42", "../../sda", "8:0");
    EXPECT_EQ(resolved(stickSeq), "/dev/sdb");
}

TEST_F(PhysicalDrive, APulledOrReplacedDiskResolvesToNothing) {
    ASSERT_EQ(resolved(stickSeq), "/dev/sdb");
    testbed->setAttribute(stickDisk, "diskseq", "77"); // another stick in the same slot
    EXPECT_EQ(resolved(stickSeq), "error 2");
    EXPECT_EQ(resolved(77), "/dev/sdb");
    testbed->remove(stickDisk);
    EXPECT_EQ(resolved(77), "error 2");
}

} // namespace
