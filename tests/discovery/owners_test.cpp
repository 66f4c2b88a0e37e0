#include "discovery/owners.h"
#include "discovery/windows_error.h"

#include "fixtures/inventories.h"
#include "fixtures/resource_counts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

bool allZero(const BYTE* from, const BYTE* to) {
    return std::all_of(from, to, [](BYTE b) { return b == 0; });
}

TEST(HeapBuffer, StartsWithoutBlockAndGrowsZeroFilledKeepingItsHeader) {
    sim::tSimulatedPlatform platform({});
    fixtures::tResourceCounts before;
    {
        tHeapBuffer buffer;
        EXPECT_EQ(buffer.data(), nullptr);
        EXPECT_EQ(buffer.size(), 0u);

        buffer.grow(5);
        ASSERT_NE(buffer.data(), nullptr);
        EXPECT_EQ(buffer.size(), 5u);
        EXPECT_TRUE(allZero(buffer.data(), buffer.data() + 5));

        const DWORD header = 5;
        memcpy(buffer.data(), &header, sizeof header);
        buffer.data()[4] = 'x';
        buffer.grow(4096);
        EXPECT_EQ(buffer.size(), 4096u);
        DWORD kept = 0;
        memcpy(&kept, buffer.data(), sizeof kept);
        EXPECT_EQ(kept, 5u);
        EXPECT_EQ(buffer.data()[4], 'x');
        EXPECT_TRUE(allZero(buffer.data() + 5, buffer.data() + 4096));
    }
    EXPECT_EQ(fixtures::tResourceCounts(), before);
}

TEST(HeapBuffer, RefusedGrowthRaisesTheLastErrorAndKeepsTheOldBlock) {
    sim::tSimulatedPlatform platform({});
    fixtures::tResourceCounts before;
    {
        tHeapBuffer buffer;
        platform.failCall("HeapAlloc", 1, ERROR_NOT_ENOUGH_MEMORY);
        try {
            buffer.grow(16);
            FAIL() << "no error raised";
        } catch (const tWindowsError& error) {
            EXPECT_EQ(error.code, DWORD(ERROR_NOT_ENOUGH_MEMORY));
        }
        EXPECT_EQ(buffer.data(), nullptr);

        buffer.grow(16);
        buffer.data()[0] = 42;
        BYTE* block = buffer.data();
        platform.failCall("HeapReAlloc", 1, ERROR_OUTOFMEMORY);
        try {
            buffer.grow(1024);
            FAIL() << "no error raised";
        } catch (const tWindowsError& error) {
            EXPECT_EQ(error.code, DWORD(ERROR_OUTOFMEMORY));
        }
        EXPECT_EQ(buffer.data(), block);
        EXPECT_EQ(buffer.size(), 16u);
        EXPECT_EQ(buffer.data()[0], 42);
    }
    // The old block was freed with the buffer.
    EXPECT_EQ(fixtures::tResourceCounts(), before);
}

TEST(Owners, ReleaseTheirResourceExactlyOnceWhileAnErrorPasses) {
    sim::tInventory inventory;
    inventory.disks.push_back(fixtures::disk(1, "Stick"));
    sim::tSimulatedPlatform platform(inventory);
    fixtures::tResourceCounts before;
    try {
        tHandle device(CreateFileA(inventory.disks[0].devicePath.c_str(), 0,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                   nullptr));
        tDeviceInfoSet set(SetupDiGetClassDevsA(&GUID_DEVINTERFACE_DISK, nullptr, nullptr,
                                                DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
        EXPECT_NE(fixtures::tResourceCounts(), before);
        throw tWindowsError(ERROR_GEN_FAILURE);
    } catch (const tWindowsError&) {
    }
    EXPECT_EQ(fixtures::tResourceCounts(), before);
    EXPECT_EQ(platform.callCount("CloseHandle"), 1);
    EXPECT_EQ(platform.callCount("SetupDiDestroyDeviceInfoList"), 1);
}

} // namespace
