#include "platform/linux/icon_group.h"

#include "byte_builder.h"
#include "guarded_bytes.h"

#include <gtest/gtest.h>

namespace {

using fixtures::tByteBuilder;
using fixtures::tGuardedBytes;
using platform::parseIconGroup;
using platform::tIconGroupEntry;

tByteBuilder groupOfTwo() {
    tByteBuilder b;
    b.word(0).word(1).word(2);
    b.byte(32).byte(32).byte(16).byte(0).word(1).word(4).dword(744).word(7);
    b.byte(0).byte(0).byte(0).byte(0).word(1).word(32).dword(0x12345).word(300);
    return b;
}

bool parse(const tByteBuilder& bytes, std::vector<tIconGroupEntry>& out) {
    tGuardedBytes guarded(bytes.data());
    return parseIconGroup(guarded.data(), guarded.size(), out);
}

TEST(IconGroupParser, ReadsEveryEntryAndAppends) {
    std::vector<tIconGroupEntry> entries(1); // already there: kept
    ASSERT_TRUE(parse(groupOfTwo(), entries));
    ASSERT_EQ(entries.size(), 3u);

    const tIconGroupEntry& small = entries[1];
    EXPECT_EQ(small.width, 32);
    EXPECT_EQ(small.height, 32);
    EXPECT_EQ(small.colorCount, 16);
    EXPECT_EQ(small.planes, 1);
    EXPECT_EQ(small.bitCount, 4);
    EXPECT_EQ(small.bytesInRes, 744u);
    EXPECT_EQ(small.iconId, 7);

    // A directory size of 0 means 256 pixels.
    const tIconGroupEntry& large = entries[2];
    EXPECT_EQ(large.width, 256);
    EXPECT_EQ(large.height, 256);
    EXPECT_EQ(large.colorCount, 0);
    EXPECT_EQ(large.bitCount, 32);
    EXPECT_EQ(large.bytesInRes, 0x12345u);
    EXPECT_EQ(large.iconId, 300);
}

TEST(IconGroupParser, RejectsEveryTruncationWithoutReadingPastTheEnd) {
    const std::vector<BYTE> full = groupOfTwo().data();
    for (std::size_t size = 0; size < full.size(); ++size) {
        tGuardedBytes prefix(std::span<const BYTE>(full.data(), size));
        std::vector<tIconGroupEntry> entries;
        EXPECT_FALSE(parseIconGroup(prefix.data(), prefix.size(), entries)) << size << " bytes";
        EXPECT_TRUE(entries.empty()) << size << " bytes";
    }
}

TEST(IconGroupParser, RejectsWhatIsNoIconDirectory) {
    struct tCase {
        const char* what;
        std::size_t offset;
        WORD value;
    } const cases[] = {
        {"reserved word set", 0, 1},
        {"a cursor directory", 2, 2},
        {"more entries than present", 4, 3},
    };
    for (const tCase& c : cases) {
        tByteBuilder bytes = groupOfTwo();
        bytes.patch<WORD>(c.offset, c.value);
        std::vector<tIconGroupEntry> entries;
        EXPECT_FALSE(parse(bytes, entries)) << c.what;
        EXPECT_TRUE(entries.empty()) << c.what;
    }
}

} // namespace
