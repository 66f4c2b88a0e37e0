// The program's module and the resource calls over it.

#include "platform/linux/dialog_template.h"
#include "platform/linux/icon_group.h"
#include "platform/linux/module_resources.h"
#include "platform/linux/resource_image.h"
#include "platform/simulated/simulated_platform.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

LPCSTR id(WORD ordinal) {
    return MAKEINTRESOURCEA(ordinal);
}

const HMODULE foreignModule = reinterpret_cast<HMODULE>(static_cast<ULONG_PTR>(0x10000000));
const LPCSTR rtMenu = id(4);
const LPCSTR rtManifest = id(24);

TEST(ProgramModule, HasOneFixedHandleAndNoOtherModules) {
    HMODULE own = GetModuleHandleA(nullptr);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(GetModuleHandleA(nullptr), own);

    for (LPCSTR name : {"kernel32.dll", "bootdisk.exe", ""}) {
        SetLastError(0);
        EXPECT_EQ(GetModuleHandleA(name), nullptr) << name;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND)) << name;
    }
}

TEST(ProgramModule, CarriesOneDialogOneIconGroupAndNoManifest) {
    std::vector<platform::tResourceEntry> entries;
    ASSERT_TRUE(platform::parseResourceImage(platform::moduleResourceImage(), entries));
    std::map<WORD, std::vector<WORD>> namesByType;
    for (const platform::tResourceEntry& entry : entries) {
        ASSERT_TRUE(entry.type.isOrdinal);
        ASSERT_TRUE(entry.name.isOrdinal);
        namesByType[entry.type.ordinal].push_back(entry.name.ordinal);
    }
    EXPECT_EQ(namesByType[5], std::vector<WORD>{102});  // RT_DIALOG
    EXPECT_EQ(namesByType[14], std::vector<WORD>{128}); // RT_GROUP_ICON
    EXPECT_EQ(namesByType[3].size(), 9u);               // RT_ICON
    EXPECT_EQ(namesByType.count(24), 0u);               // RT_MANIFEST
    EXPECT_EQ(namesByType.size(), 3u);
}

TEST(FindResource, TakesTheModuleAsNullOrItsHandle) {
    HRSRC byNull = FindResourceA(nullptr, id(102), RT_DIALOG);
    ASSERT_NE(byNull, nullptr);
    EXPECT_EQ(FindResourceA(GetModuleHandleA(nullptr), id(102), RT_DIALOG), byNull);
    EXPECT_EQ(FindResourceA(nullptr, "#102", "#5"), byNull);
    EXPECT_EQ(LoadResource(GetModuleHandleA(nullptr), byNull), LoadResource(nullptr, byNull));
}

TEST(FindResource, ReportsWhatIsMissing) {
    struct tCase {
        const char* what;
        HMODULE module;
        LPCSTR name;
        LPCSTR type;
        DWORD error;
    } const cases[] = {
        {"unknown type", nullptr, id(102), rtMenu, ERROR_RESOURCE_TYPE_NOT_FOUND},
        {"no manifest", nullptr, id(1), rtManifest, ERROR_RESOURCE_TYPE_NOT_FOUND},
        {"unknown name", nullptr, id(103), RT_DIALOG, ERROR_RESOURCE_NAME_NOT_FOUND},
        {"name by string", nullptr, "BOOTDISK", RT_GROUP_ICON, ERROR_RESOURCE_NAME_NOT_FOUND},
        {"the icon group is no icon", nullptr, id(128), RT_ICON, ERROR_RESOURCE_NAME_NOT_FOUND},
        {"foreign module", foreignModule, id(102), RT_DIALOG, ERROR_RESOURCE_DATA_NOT_FOUND},
        {"malformed number", nullptr, "#10a", RT_DIALOG, ERROR_INVALID_PARAMETER},
    };
    for (const tCase& c : cases) {
        SetLastError(0);
        EXPECT_EQ(FindResourceA(c.module, c.name, c.type), nullptr) << c.what;
        EXPECT_EQ(GetLastError(), c.error) << c.what;
    }
}

TEST(LoadResource, RefusesForeignHandlesAndModules) {
    HRSRC dialog = FindResourceA(nullptr, id(102), RT_DIALOG);
    ASSERT_NE(dialog, nullptr);
    const DWORD dialogSize = SizeofResource(nullptr, dialog);
    EXPECT_GT(dialogSize, 0u);

    int notAResource = 0;
    const HRSRC bogus = reinterpret_cast<HRSRC>(&notAResource);
    for (HRSRC resource : {bogus, HRSRC(nullptr)}) {
        SetLastError(0);
        EXPECT_EQ(LoadResource(nullptr, resource), nullptr);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        SetLastError(0);
        EXPECT_EQ(SizeofResource(nullptr, resource), 0u);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    }

    SetLastError(0);
    EXPECT_EQ(LoadResource(foreignModule, dialog), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_DATA_NOT_FOUND));
    SetLastError(0);
    EXPECT_EQ(SizeofResource(foreignModule, dialog), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_DATA_NOT_FOUND));

    EXPECT_EQ(LockResource(nullptr), nullptr);
}

// Every call can be made to fail through the platform's fault plan, and reports the code.
TEST(ResourceCalls, FailAsTheFaultPlanDemands) {
    sim::tSimulatedPlatform platform({});
    HRSRC dialog = FindResourceA(nullptr, id(102), RT_DIALOG);
    ASSERT_NE(dialog, nullptr);
    HGLOBAL loaded = LoadResource(nullptr, dialog);
    ASSERT_NE(loaded, nullptr);

    struct tCase {
        const char* operation;
        std::function<bool()> fails;
    } const cases[] = {
        {"GetModuleHandleA", [] { return GetModuleHandleA(nullptr) == nullptr; }},
        {"FindResourceA", [] { return FindResourceA(nullptr, id(102), RT_DIALOG) == nullptr; }},
        {"LoadResource", [&] { return LoadResource(nullptr, dialog) == nullptr; }},
        {"LockResource", [&] { return LockResource(loaded) == nullptr; }},
        {"SizeofResource", [&] { return SizeofResource(nullptr, dialog) == 0; }},
    };
    for (const tCase& c : cases) {
        platform.failCall(c.operation, platform.callCount(c.operation) + 1,
                          ERROR_NOT_ENOUGH_MEMORY);
        SetLastError(0);
        EXPECT_TRUE(c.fails()) << c.operation;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY)) << c.operation;
        EXPECT_FALSE(c.fails()) << c.operation << " fails once only";
    }
    EXPECT_EQ(platform.callLog().front(), "FindResourceA(#102, #5)");
}

TEST(ResourceCalls, TheReadersPassOnTheCodeOfAFailedCall) {
    sim::tSimulatedPlatform platform({});

    platform.failCall("LoadResource", 1, ERROR_OUTOFMEMORY);
    platform::tDialogTemplate dialog;
    SetLastError(0);
    EXPECT_FALSE(platform::loadDialogTemplate(nullptr, id(102), dialog));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_OUTOFMEMORY));

    // The group is found first, then its images: let the fifth image go missing.
    platform.clearFaults();
    platform.failCall("FindResourceA", platform.callCount("FindResourceA") + 6,
                      ERROR_RESOURCE_NAME_NOT_FOUND);
    std::vector<BYTE> file{0x42};
    SetLastError(0);
    EXPECT_FALSE(platform::buildIconFile(nullptr, id(128), file));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(file, std::vector<BYTE>{0x42});
}

} // namespace
