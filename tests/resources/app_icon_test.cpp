// The application icon as the program carries it: group 128 and its nine images.

#include "platform/linux/icon_group.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <span>
#include <tuple>

namespace {

using platform::tIconGroupEntry;

constexpr WORD appIcon = 128; // part of the program's contract, like the dialog's number

template <class T>
T field(std::span<const BYTE> bytes, std::size_t offset) {
    T value{};
    if (offset + sizeof value <= bytes.size())
        memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

std::span<const BYTE> iconImage(WORD id) {
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_ICON);
    if (!resource)
        return {};
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, resource)));
    return {data, SizeofResource(nullptr, resource)};
}

std::size_t rowBytes(int bits) {
    return static_cast<std::size_t>((bits + 31) / 32 * 4);
}

// One image's pixels as the icon shows them: the mask, and whether the colour is black.
class tIconBitmap {
public:
    explicit tIconBitmap(std::span<const BYTE> image) : bytes(image) {
        size = field<LONG>(bytes, 4);
        bits = field<WORD>(bytes, 14);
        paletteAt = 40;
        colourAt = paletteAt + (bits <= 8 ? (std::size_t(4) << bits) : 0);
        maskAt = colourAt + rowBytes(size * bits) * size;
    }

    // Rows are stored bottom-up; y counts from the top.
    bool transparent(int x, int y) const {
        std::size_t row = maskAt + rowBytes(size) * (size - 1 - y);
        return (field<BYTE>(bytes, row + x / 8) >> (7 - x % 8)) & 1;
    }
    bool black(int x, int y) const {
        std::size_t row = colourAt + rowBytes(size * bits) * (size - 1 - y);
        std::size_t index;
        if (bits == 24)
            return field<BYTE>(bytes, row + 3 * x) == 0 &&
                   field<BYTE>(bytes, row + 3 * x + 1) == 0 &&
                   field<BYTE>(bytes, row + 3 * x + 2) == 0;
        if (bits == 8)
            index = field<BYTE>(bytes, row + x);
        else
            index = (field<BYTE>(bytes, row + x / 2) >> (x % 2 ? 0 : 4)) & 0xF;
        return (field<DWORD>(bytes, paletteAt + 4 * index) & 0xFFFFFF) == 0;
    }

private:
    std::span<const BYTE> bytes;
    int size;
    int bits;
    std::size_t paletteAt, colourAt, maskAt;
};

class AppIcon : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(platform::loadIconGroup(nullptr, MAKEINTRESOURCEA(appIcon), entries))
            << GetLastError();
    }
    std::vector<tIconGroupEntry> entries;
};

TEST_F(AppIcon, HasThreeSizesAtThreeDepths) {
    ASSERT_EQ(entries.size(), 9u);
    std::set<std::tuple<int, int, int>> found;
    for (const tIconGroupEntry& entry : entries) {
        found.insert({entry.width, entry.height, entry.bitCount});
        EXPECT_EQ(entry.planes, 1);
        EXPECT_EQ(entry.colorCount, entry.bitCount == 4 ? 16 : 0);
    }
    std::set<std::tuple<int, int, int>> expected;
    for (int size : {48, 32, 16})
        for (int bits : {4, 8, 24})
            expected.insert({size, size, bits});
    EXPECT_EQ(found, expected);
}

TEST_F(AppIcon, EveryImageIsAClassicBitmapOfItsEntry) {
    for (const tIconGroupEntry& entry : entries) {
        SCOPED_TRACE("icon " + std::to_string(entry.iconId));
        HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(entry.iconId), RT_ICON);
        ASSERT_NE(resource, nullptr);
        EXPECT_EQ(SizeofResource(nullptr, resource), entry.bytesInRes);

        std::span<const BYTE> image = iconImage(entry.iconId);
        EXPECT_EQ(field<DWORD>(image, 0), 40u); // BITMAPINFOHEADER
        EXPECT_EQ(field<LONG>(image, 4), entry.width);
        EXPECT_EQ(field<LONG>(image, 8), 2 * entry.height); // colour and mask
        EXPECT_EQ(field<WORD>(image, 12), 1);
        EXPECT_EQ(field<WORD>(image, 14), entry.bitCount);
        EXPECT_EQ(field<DWORD>(image, 16), 0u); // BI_RGB

        const std::size_t palette = entry.bitCount <= 8 ? std::size_t(4) << entry.bitCount : 0;
        const std::size_t colour = rowBytes(entry.width * entry.bitCount) * entry.height;
        const std::size_t mask = rowBytes(entry.width) * entry.height;
        EXPECT_EQ(image.size(), 40 + palette + colour + mask);
    }
}

TEST_F(AppIcon, IsTransparentAroundTheStickAndBlackWhereTransparent) {
    for (const tIconGroupEntry& entry : entries) {
        SCOPED_TRACE(std::to_string(entry.width) + " px, " + std::to_string(entry.bitCount) +
                     " bpp");
        tIconBitmap bitmap(iconImage(entry.iconId));
        const int s = entry.width;
        EXPECT_TRUE(bitmap.transparent(0, 0));
        EXPECT_TRUE(bitmap.transparent(s - 1, s - 1));
        EXPECT_FALSE(bitmap.transparent(s / 2, s / 2));
        // Where the mask lets the background through, a non-black colour would invert it.
        int opaque = 0;
        for (int y = 0; y < s; ++y)
            for (int x = 0; x < s; ++x) {
                if (bitmap.transparent(x, y))
                    EXPECT_TRUE(bitmap.black(x, y)) << x << "," << y;
                else
                    ++opaque;
            }
        EXPECT_GT(opaque, s * s / 4);
        EXPECT_LT(opaque, s * s * 3 / 4);
    }
}

TEST_F(AppIcon, MakesAnIcoFileOfTheGroupAndItsImages) {
    std::vector<BYTE> file;
    ASSERT_TRUE(platform::buildIconFile(nullptr, MAKEINTRESOURCEA(appIcon), file));
    std::span<const BYTE> ico(file);
    EXPECT_EQ(field<WORD>(ico, 0), 0);
    EXPECT_EQ(field<WORD>(ico, 2), 1);
    ASSERT_EQ(field<WORD>(ico, 4), entries.size());

    std::size_t expectedOffset = 6 + 16 * entries.size();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::size_t at = 6 + 16 * i;
        const tIconGroupEntry& entry = entries[i];
        EXPECT_EQ(field<BYTE>(ico, at), entry.width);
        EXPECT_EQ(field<BYTE>(ico, at + 1), entry.height);
        EXPECT_EQ(field<BYTE>(ico, at + 2), entry.colorCount);
        EXPECT_EQ(field<WORD>(ico, at + 4), entry.planes);
        EXPECT_EQ(field<WORD>(ico, at + 6), entry.bitCount);
        const DWORD size = field<DWORD>(ico, at + 8);
        const DWORD offset = field<DWORD>(ico, at + 12);
        EXPECT_EQ(size, entry.bytesInRes);
        EXPECT_EQ(offset, expectedOffset);
        std::span<const BYTE> image = iconImage(entry.iconId);
        ASSERT_LE(std::size_t(offset) + size, file.size());
        EXPECT_TRUE(std::equal(image.begin(), image.end(), file.begin() + offset,
                               file.begin() + offset + size));
        expectedOffset += size;
    }
    EXPECT_EQ(expectedOffset, file.size());
}

} // namespace
