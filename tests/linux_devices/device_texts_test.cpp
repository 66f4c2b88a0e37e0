// The texts the device properties and volume names are made of.

#include "platform/linux/device_texts.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

using namespace platform::devices;

TEST(DeviceTexts, SizesInBinaryUnitsWithOneDecimal) {
    const std::pair<uint64_t, const char*> cases[] = {
        {0, "0 B"},
        {1023, "1023 B"},
        {1024, "1.0 KiB"},
        {16ULL << 20, "16.0 MiB"},
        {31250000ULL * 512, "14.9 GiB"},
        {(1ULL << 30) - 1, "1.0 GiB"}, // never "1024.0 MiB"
        {500107862016ULL, "465.8 GiB"},
        {3ULL << 40, "3.0 TiB"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(formatSize(bytes), text) << bytes;
}

TEST(DeviceTexts, UdevEscapesAreUndone) {
    EXPECT_EQ(decodeUdevText("data\\x20disk"), "data disk");
    EXPECT_EQ(decodeUdevText("a\\x2fb\\x5c"), "a/b\\");
    EXPECT_EQ(decodeUdevText("half\\x2"), "half\\x2");
    EXPECT_EQ(decodeUdevText("no\\xzzescape"), "no\\xzzescape");
}

TEST(DeviceTexts, VendorIsNotRepeated) {
    EXPECT_EQ(joinVendorModel("SanDisk", "Cruzer Blade"), "SanDisk Cruzer Blade");
    EXPECT_EQ(joinVendorModel("Samsung", "SAMSUNG MZVLB512"), "SAMSUNG MZVLB512");
    EXPECT_EQ(joinVendorModel("", "Flash Disk"), "Flash Disk");
    EXPECT_EQ(trimmed("  Cruzer Blade    \n"), "Cruzer Blade");
}

TEST(DeviceTexts, VolumeFriendlyNameFromLabelAndMountPoint) {
    EXPECT_EQ(volumeFriendlyName("STICK", std::string("/media/tech/STICK")),
              "STICK on /media/tech/STICK");
    EXPECT_EQ(volumeFriendlyName("STICK", std::nullopt), "STICK");
    EXPECT_EQ(volumeFriendlyName("", std::string("/mnt")), "mounted on /mnt");
    EXPECT_EQ(volumeFriendlyName("", std::nullopt), std::nullopt);
}

TEST(DeviceTexts, VolumeNamesHaveTheWindowsFormAndDifferPerVolume) {
    EXPECT_EQ(volumeName(42, 1), "\\\\?\\Volume{0000002a-0000-0000-0001-000000000000}\\");
    EXPECT_EQ(volumeName(0x123456789abcdef0ULL, 0),
              "\\\\?\\Volume{9abcdef0-5678-1234-0000-000000000000}\\");
    std::set<std::string> names;
    for (uint64_t seq : {1, 2, 42})
        for (unsigned partition : {0, 1, 2, 15})
            names.insert(volumeName(seq, partition));
    EXPECT_EQ(names.size(), 12u);
}

} // namespace
