// The main dialog as the program carries it: compiled from bootdisk.rc, linked in, and read
// back through FindResourceA, LoadResource and LockResource.

#include "platform/linux/dialog_template.h"

#include <gtest/gtest.h>

#include <strings.h>

namespace {

using platform::tDialogTemplate;

// The template's number is part of the program's contract, so it is written out here rather
// than taken from resource.h.
constexpr WORD mainDialog = 102;

class MainDialogTemplate : public ::testing::Test {
protected:
    void SetUp() override {
        HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(mainDialog), RT_DIALOG);
        ASSERT_NE(resource, nullptr) << GetLastError();
        HGLOBAL loaded = LoadResource(nullptr, resource);
        ASSERT_NE(loaded, nullptr) << GetLastError();
        const void* data = LockResource(loaded);
        ASSERT_NE(data, nullptr);
        ASSERT_TRUE(platform::parseDialogTemplate(data, SizeofResource(nullptr, resource), dialog));
    }

    tDialogTemplate dialog;
};

TEST_F(MainDialogTemplate, IsAnExtendedTemplateWithTheDialogsFrame) {
    EXPECT_TRUE(dialog.extended);
    // WS_POPUP, WS_VISIBLE, WS_CAPTION, WS_SYSMENU, DS_MODALFRAME, DS_SETFONT, DS_FIXEDSYS.
    EXPECT_EQ(dialog.style, 0x90C800C8u);
    EXPECT_EQ(dialog.exStyle, 0x00040000u); // WS_EX_APPWINDOW
    EXPECT_EQ(dialog.helpId, 0u);
    EXPECT_EQ(dialog.x, 0);
    EXPECT_EQ(dialog.y, 0);
    EXPECT_EQ(dialog.cx, 253);
    EXPECT_EQ(dialog.cy, 106);
    EXPECT_EQ(dialog.menu, "");
    EXPECT_EQ(dialog.windowClass, "");
    EXPECT_EQ(dialog.title, "Create Tavor Embedded Controller USB Utility Disk");
}

TEST_F(MainDialogTemplate, UsesTheShellFont) {
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.typeface, "MS Shell Dlg");
    EXPECT_EQ(dialog.weight, 0);
    EXPECT_EQ(dialog.italic, 0);
    EXPECT_EQ(dialog.charset, 1);
}

struct tExpectedItem {
    DWORD id;
    const char* className;
    const char* text;
    DWORD style;
    short x, y, cx, cy;
};

// In tab order.
const tExpectedItem expectedItems[] = {
    {1, "Button", "Make Bootable", 0x50010001, 62, 78, 55, 16},
    {2, "Button", "Close", 0x50010000, 129, 78, 50, 16},
    {1001, "ComboBox", "", 0x50210103, 7, 19, 227, 63},
    {0xFFFFFFFF, "Static", "Select USB Flash disk to make bootable:", 0x50020000, 7, 8, 208, 8},
    {1003, "msctls_progress32", "", 0x50800000, 7, 56, 239, 11},
    {1004, "Static", "", 0x50020000, 7, 44, 224, 8},
};

TEST_F(MainDialogTemplate, HasTheSixControlsInTabOrder) {
    ASSERT_EQ(dialog.items.size(), std::size(expectedItems));
    for (std::size_t i = 0; i < dialog.items.size(); ++i) {
        const platform::tDialogItemTemplate& item = dialog.items[i];
        const tExpectedItem& expected = expectedItems[i];
        SCOPED_TRACE("item " + std::to_string(i + 1));
        EXPECT_EQ(item.id, expected.id);
        // Class names compare as the window manager compares them.
        EXPECT_EQ(strcasecmp(item.className.c_str(), expected.className), 0)
            << item.className << " is not " << expected.className;
        EXPECT_EQ(item.text, expected.text);
        EXPECT_FALSE(item.textOrdinal);
        EXPECT_EQ(item.style, expected.style);
        EXPECT_EQ(item.exStyle, 0u);
        EXPECT_EQ(item.helpId, 0u);
        EXPECT_EQ(item.x, expected.x);
        EXPECT_EQ(item.y, expected.y);
        EXPECT_EQ(item.cx, expected.cx);
        EXPECT_EQ(item.cy, expected.cy);
        EXPECT_TRUE(item.creationData.empty());
    }
}

TEST(MainDialogLoader, LoadsTheSameTemplateByNumberSign) {
    tDialogTemplate byOrdinal, byNumberSign;
    ASSERT_TRUE(platform::loadDialogTemplate(nullptr, MAKEINTRESOURCEA(mainDialog), byOrdinal));
    ASSERT_TRUE(platform::loadDialogTemplate(GetModuleHandleA(nullptr), "#102", byNumberSign));
    EXPECT_EQ(byNumberSign.title, byOrdinal.title);
    EXPECT_EQ(byNumberSign.items.size(), byOrdinal.items.size());
}

TEST(MainDialogLoader, ReportsAMissingTemplate) {
    tDialogTemplate dialog;
    dialog.title = "untouched";
    SetLastError(0);
    EXPECT_FALSE(platform::loadDialogTemplate(nullptr, MAKEINTRESOURCEA(103), dialog));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(dialog.title, "untouched");
}

} // namespace
