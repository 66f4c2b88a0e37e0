#include "fixtures/headless_app.h"
#include "fixtures/inventories.h"
#include "fixtures/resource_counts.h"

#include "resources/resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using fixtures::disk;
using fixtures::volume;

const char noDiskText[] =
    "No USB flash disks detected.  Please connect a USB flash disk and restart this application.";

class StartUp : public fixtures::HeadlessApp {};

TEST_F(StartUp, WithoutUsbDisksShowsOneBoxAndNoDialog) {
    sim::tInventory inventory;
    inventory.disks.push_back(disk(0, "System SSD", "SCSI"));
    inventory.volumes.push_back(volume("c", {0}, "C"));

    // No disk at all, and discovery failing, end the same way.
    for (bool discoveryFails : {false, true}) {
        SCOPED_TRACE(discoveryFails ? "discovery fails" : "no USB disk");
        headless::reset();
        sim::tSimulatedPlatform platform(inventory);
        if (discoveryFails)
            platform.failCall("SetupDiGetClassDevsA", 2, ERROR_ACCESS_DENIED);
        fixtures::tResourceCounts before;
        headless::answerMessageBox(IDOK);

        EXPECT_FALSE(theApp.InitInstance());

        ASSERT_EQ(headless::messageBoxes().size(), 1u);
        const auto& box = headless::messageBoxes()[0];
        EXPECT_EQ(box.text, noDiskText);
        EXPECT_EQ(box.caption, "Create Tavor Embedded Controller USB Utility Disk");
        EXPECT_EQ(box.type, UINT(MB_OK | MB_ICONEXCLAMATION));
        EXPECT_EQ(box.owner, nullptr);
        EXPECT_EQ(headless::dialogsCreated(), 0);
        EXPECT_EQ(theApp.m_pMainWnd, nullptr);
        EXPECT_EQ(fixtures::tResourceCounts(), before);
    }
}

// Three sticks whose labels sort the other way round from the platform's order.
sim::tInventory threeSticks() {
    sim::tInventory inventory;
    inventory.disks.push_back(disk(0, "System SSD", "SCSI"));
    inventory.disks.push_back(disk(7, "Zeta Stick"));
    inventory.disks.push_back(disk(3, "Mu Stick"));
    inventory.disks.push_back(disk(12, "Alpha Stick"));
    for (auto& d : inventory.disks)
        d.description = d.friendlyName;
    inventory.volumes.push_back(volume("c", {0}, "C"));
    return inventory;
}

TEST_F(StartUp, OpensTheDialogWithTheDisksInListOrder) {
    sim::tSimulatedPlatform platform(threeSticks());
    bool inspected = false;
    headless::inspect([&](HWND dialog) {
        inspected = true;
        tBootDiskDialog& d = runningDialog();
        EXPECT_EQ(d.m_hWnd, dialog);
        HWND combo = item(dialog, IDC_DISK_COMBO);
        EXPECT_EQ(headless::comboItems(combo),
                  (std::vector<std::string>{"Zeta Stick - Zeta Stick", "Mu Stick - Mu Stick",
                                            "Alpha Stick - Alpha Stick"}));
        EXPECT_EQ(headless::comboSelection(combo), 0);
        EXPECT_EQ(d.targetPath.str(), "\\\\.\\PhysicalDrive7");
        EXPECT_EQ(headless::windowText(item(dialog, IDC_STATUS)), "");
        headless::tProgressState bar = headless::progressState(item(dialog, IDC_PROGRESS));
        EXPECT_EQ(bar.lower, 1);
        EXPECT_EQ(bar.upper, 1000);
        EXPECT_EQ(bar.position, 1);
        EXPECT_EQ(bar.step, 10);
        EXPECT_EQ(GetFocus(), item(dialog, IDOK));
        EXPECT_EQ(headless::windowText(dialog),
                  "Create Tavor Embedded Controller USB Utility Disk");

        // Centred in the work area before it was first shown.
        RECT shown = headless::shownRect(dialog);
        RECT area = headless::workArea();
        EXPECT_LE(std::abs((shown.left + shown.right) - (area.left + area.right)), 1);
        EXPECT_LE(std::abs((shown.top + shown.bottom) - (area.top + area.bottom)), 1);
    });
    headless::pressKey(VK_ESCAPE);

    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_TRUE(inspected);
    EXPECT_TRUE(headless::messageBoxes().empty());
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);

    // The range and step go in as the two messages the bar knows, and the items by index.
    std::vector<headless::tSentMessage> progress, combo;
    for (const auto& sent : headless::sentMessages()) {
        if (sent.message == PBM_SETRANGE || sent.message == PBM_SETSTEP)
            progress.push_back(sent);
        if (sent.message == CB_INSERTSTRING || sent.message == CB_ADDSTRING)
            combo.push_back(sent);
    }
    ASSERT_EQ(progress.size(), 2u);
    EXPECT_EQ(progress[0].message, UINT(PBM_SETRANGE));
    EXPECT_EQ(progress[0].wParam, 0u);
    EXPECT_EQ(progress[0].lParam, 0x03E80001);
    EXPECT_EQ(progress[1].message, UINT(PBM_SETSTEP));
    EXPECT_EQ(progress[1].wParam, 10u);
    EXPECT_EQ(progress[1].lParam, 0);
    ASSERT_EQ(combo.size(), 3u);
    for (std::size_t i = 0; i < combo.size(); ++i) {
        EXPECT_EQ(combo[i].message, UINT(CB_INSERTSTRING));
        EXPECT_EQ(combo[i].wParam, i);
    }
}

TEST_F(StartUp, TargetPathWritesTheDiskNumberUnsigned) {
    sim::tInventory inventory;
    inventory.disks.push_back(disk(0, "System SSD", "SCSI"));
    inventory.disks.push_back(disk(3000000000u, "Stick"));
    inventory.volumes.push_back(volume("c", {0}, "C"));
    sim::tSimulatedPlatform platform(inventory);
    headless::inspect([&](HWND) {
        EXPECT_EQ(runningDialog().targetPath.str(), "\\\\.\\PhysicalDrive3000000000");
    });
    headless::pressKey(VK_ESCAPE);
    theApp.InitInstance();
}

struct tEnding {
    const char* name;
    void (*act)();
    bool ends;
};

class DialogEnding : public fixtures::HeadlessApp, public ::testing::WithParamInterface<tEnding> {};

TEST_P(DialogEnding, OnlyCancelEndsTheDialog) {
    sim::tSimulatedPlatform platform(threeSticks());
    GetParam().act();
    bool stillOpen = false;
    headless::inspect([&](HWND) { stillOpen = true; });
    headless::systemCommand(SC_CLOSE);
    if (!GetParam().ends) // Enter asks to confirm the erasure; the test declines.
        headless::answerMessageBox(IDCANCEL);

    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_EQ(stillOpen, !GetParam().ends);
    EXPECT_EQ(headless::dialogsCreated(), 1);
}

void PrintTo(const tEnding& ending, std::ostream* out) {
    *out << ending.name;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, DialogEnding,
    ::testing::Values(tEnding{"escape", [] { headless::pressKey(VK_ESCAPE); }, true},
                      tEnding{"close_button", [] { headless::clickButton(IDCANCEL); }, true},
                      tEnding{"system_menu_close", [] { headless::systemCommand(SC_CLOSE); }, true},
                      tEnding{"enter", [] { headless::pressKey(VK_RETURN); }, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct tPaintCase {
    int width, height, iconWidth, iconHeight;
    int x, y;
};

class MinimisedPainting : public fixtures::HeadlessApp,
                          public ::testing::WithParamInterface<tPaintCase> {};

TEST_P(MinimisedPainting, CentresTheIconRoundingTowardZero) {
    const tPaintCase& c = GetParam();
    sim::tSimulatedPlatform platform(threeSticks());
    headless::setSystemMetric(SM_CXICON, c.iconWidth);
    headless::setSystemMetric(SM_CYICON, c.iconHeight);
    HWND dialogWindow = nullptr;
    headless::inspect([&](HWND dialog) { dialogWindow = dialog; });
    headless::minimise(c.width, c.height);
    headless::pressKey(VK_ESCAPE);
    theApp.InitInstance();

    ASSERT_EQ(headless::iconDraws().size(), 1u);
    const headless::tIconDraw& draw = headless::iconDraws()[0];
    EXPECT_EQ(draw.window, dialogWindow);
    EXPECT_EQ(draw.x, c.x);
    EXPECT_EQ(draw.y, c.y);
    EXPECT_EQ(draw.icon, LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_BOOTDISK)));
    EXPECT_NE(draw.icon, nullptr);

    // The background was erased with the same paint context first.
    bool erased = false;
    for (const auto& sent : headless::sentMessages())
        erased = erased || (sent.window == dialogWindow && sent.message == WM_ICONERASEBKGND &&
                            sent.wParam != 0 && sent.lParam == 0);
    EXPECT_TRUE(erased);
}

INSTANTIATE_TEST_SUITE_P(Clients, MinimisedPainting,
                         ::testing::Values(tPaintCase{36, 36, 32, 32, 2, 2},
                                           tPaintCase{30, 36, 32, 32, 0, 2},
                                           tPaintCase{20, 21, 32, 32, -5, -5},
                                           tPaintCase{48, 33, 16, 16, 16, 9}));

TEST_F(StartUp, PaintsNoIconWhileOpenAndDragsTheIcon) {
    sim::tSimulatedPlatform platform(threeSticks());
    headless::inspect([&](HWND dialog) {
        EXPECT_EQ(SendMessageA(dialog, WM_QUERYDRAGICON, 0, 0),
                  reinterpret_cast<LRESULT>(runningDialog().icon));
        EXPECT_NE(runningDialog().icon, nullptr);
        UpdateWindow(dialog);
    });
    headless::pressKey(VK_ESCAPE);
    theApp.InitInstance();
    EXPECT_TRUE(headless::iconDraws().empty());
}

} // namespace
