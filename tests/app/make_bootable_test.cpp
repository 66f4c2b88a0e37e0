// Choosing a disk and the Make Bootable command, as the user gives them.

#include "fixtures/formatter_run.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

namespace fs = std::filesystem;

const std::string firstLabel = "Disk drive - First Stick";
const std::string secondLabel = "Disk drive - Second Stick";

std::string confirmation(const std::string& label) {
    return "WARNING: Existing data on drive:\n\n" + label + "\n\nwill be erased.  Proceed?";
}

class MakeBootable : public fixtures::FormatterRun {
protected:
    // The disk the last run was given.
    std::string formattedDisk() {
        fixtures::tRecord ran = fixtures::readRecord(record());
        return ran.arguments.size() > 2 ? ran.arguments[2] : std::string();
    }
};

TEST_F(MakeBootable, FormatsTheDiskTheConfirmationNames) {
    headless::selectComboItem(IDC_DISK_COMBO, 1);
    headless::inspect(
        [&](HWND) { EXPECT_EQ(runningDialog().targetPath.str(), "\\\\.\\PhysicalDrive10"); });
    headless::selectComboItem(IDC_DISK_COMBO, 0);
    headless::pressKey(VK_RETURN);
    headless::answerMessageBox(IDOK);
    withDialog([&](HWND dialog) {
        EXPECT_EQ(runningDialog().targetPath.str(), "\\\\.\\PhysicalDrive3");
        EXPECT_EQ(headless::windowText(item(dialog, IDC_STATUS)), "Format complete.");
    });

    ASSERT_EQ(headless::messageBoxes().size(), 1u);
    const headless::tMessageBoxRecord& box = headless::messageBoxes()[0];
    EXPECT_EQ(box.text, confirmation(firstLabel));
    EXPECT_EQ(box.type, UINT(MB_OKCANCEL | MB_ICONEXCLAMATION));
    EXPECT_EQ(box.caption, "Create Tavor Embedded Controller USB Utility Disk");
    EXPECT_NE(box.owner, nullptr);
    EXPECT_EQ(formattedDisk(), inventory.disks[1].backingFile);
}

TEST_F(MakeBootable, DeclinedConfirmationRunsNothing) {
    headless::clickButton(IDOK);
    headless::answerMessageBox(IDCANCEL);
    withDialog([&](HWND dialog) {
        EXPECT_TRUE(headless::textHistory(item(dialog, IDC_STATUS)).empty());
        EXPECT_EQ(headless::progressState(item(dialog, IDC_PROGRESS)).position, 1);
        EXPECT_EQ(simulated->callCount("CreateProcessA"), 0);
    });
    EXPECT_EQ(headless::messageBoxes().size(), 1u);
    EXPECT_FALSE(fs::exists(record()));
}

TEST_F(MakeBootable, EachConfirmedCommandRunsOnceWithItsOwnTarget) {
    fs::path secondRecord = scratch / "second.txt";
    headless::pressKey(VK_RETURN);
    headless::answerMessageBox(IDOK);
    headless::inspect(
        [&](HWND) { environment.set("FAKE_FORMATTER_RECORD", secondRecord.string()); });
    headless::selectComboItem(IDC_DISK_COMBO, 1);
    headless::clickButton(IDOK);
    headless::answerMessageBox(IDOK);
    withDialog([&](HWND) { EXPECT_EQ(simulated->callCount("CreateProcessA"), 2); });

    EXPECT_EQ(headless::messageBoxes().size(), 2u);
    EXPECT_EQ(headless::messageBoxes()[1].text, confirmation(secondLabel));
    EXPECT_EQ(formattedDisk(), inventory.disks[1].backingFile);
    EXPECT_EQ(fixtures::readRecord(secondRecord).arguments.at(2), inventory.disks[2].backingFile);
}

TEST_F(MakeBootable, WithoutDisksSaysSoAndRunsNothing) {
    // Start-up never shows the dialog without disks; the command still guards against it.
    sim::tInventory noUsb;
    noUsb.disks.push_back(fixtures::disk(0, "System SSD", "SCSI"));
    noUsb.volumes.push_back(fixtures::volume("c", {0}, "C"));
    sim::tSimulatedPlatform platform(noUsb);
    headless::clickButton(IDOK);
    headless::answerMessageBox(IDOK);
    headless::pressKey(VK_ESCAPE);
    {
        tBootDiskDialog dialog;
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    }
    ASSERT_EQ(headless::messageBoxes().size(), 1u);
    EXPECT_EQ(headless::messageBoxes()[0].text,
              "No USB flash drives selected.  Please insert a USB flash disk, and restart this "
              "application.");
    EXPECT_EQ(headless::messageBoxes()[0].type, UINT(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(platform.callCount("CreateProcessA"), 0);
}

} // namespace
