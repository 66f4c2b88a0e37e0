#include "platform/linux/resource_image.h"
#include "platform/linux/resource_table.h"

#include "byte_builder.h"
#include "guarded_bytes.h"

#include <gtest/gtest.h>

#include <functional>
#include <string_view>
#include <variant>

namespace {

using fixtures::tByteBuilder;
using fixtures::tGuardedBytes;
using platform::tResourceEntry;
using platform::tResourceTable;

using tId = std::variant<WORD, std::u16string_view>;

void putId(tByteBuilder& b, const tId& id) {
    if (const WORD* ordinal = std::get_if<WORD>(&id))
        b.ordinal(*ordinal);
    else
        b.string(std::get<std::u16string_view>(id));
}

// Appends one RES entry and returns where its data ends; `pad` adds the alignment behind it.
std::size_t putEntry(tByteBuilder& b, const tId& type, const tId& name, WORD language,
                     std::vector<BYTE> data, bool pad = true) {
    tByteBuilder header;
    header.dword(static_cast<DWORD>(data.size())).dword(0);
    putId(header, type);
    putId(header, name);
    header.align(4).dword(0).word(0x1030).word(language).dword(0).dword(0);
    header.patch<DWORD>(4, static_cast<DWORD>(header.size()));
    b.append(header.data()).append(data);
    const std::size_t end = b.size();
    if (pad)
        b.align(4);
    return end;
}

struct tImage {
    tByteBuilder bytes;
    std::size_t namedEntryAt = 0;    // the entry of type "MYTYPE"
    std::vector<std::size_t> ends{}; // where each entry's data ends, the leading one's first
};

tImage sampleImage(bool leadingEntry = true) {
    tImage image;
    tByteBuilder& b = image.bytes;
    if (leadingEntry)
        image.ends.push_back(putEntry(b, WORD(0), WORD(0), 0, {}));
    image.namedEntryAt = b.size();
    image.ends.push_back(putEntry(b, u"MYTYPE", u"Hello", 0, {1, 2, 3}));
    image.ends.push_back(putEntry(b, WORD(5), WORD(7), 0x0407, {0x47}));
    image.ends.push_back(putEntry(b, WORD(5), WORD(7), 0x0000, {0x00}));
    image.ends.push_back(putEntry(b, WORD(5), WORD(7), 0x0409, {0x09}));
    image.ends.push_back(putEntry(b, WORD(5), WORD(8), 0x0407, {0x48}));
    image.ends.push_back(putEntry(b, WORD(11), WORD(1), 0x0407, {0x47}));
    image.ends.push_back(putEntry(b, WORD(11), WORD(1), 0x0000, {0x00}));
    image.ends.push_back(putEntry(b, WORD(12), u"Gr\u00fc\u00dfe", 0x0409, {0x12}));
    image.ends.push_back(putEntry(b, WORD(10), u"X", 0x0409, {5, 5, 5}, false));
    return image;
}

bool parse(const tByteBuilder& bytes, std::vector<tResourceEntry>& out) {
    tGuardedBytes guarded(bytes.data());
    return platform::parseResourceImage(guarded.span(), out);
}

TEST(ResourceImage, ReadsEveryEntryBehindTheLeadingEmptyOne) {
    tGuardedBytes guarded(sampleImage().bytes.data());
    std::vector<tResourceEntry> entries;
    ASSERT_TRUE(platform::parseResourceImage(guarded.span(), entries));
    ASSERT_EQ(entries.size(), 9u);

    const tResourceEntry& named = entries[0];
    EXPECT_FALSE(named.type.isOrdinal);
    EXPECT_EQ(named.type.name, u"MYTYPE");
    EXPECT_FALSE(named.name.isOrdinal);
    EXPECT_EQ(named.name.name, u"Hello");
    EXPECT_EQ(named.memoryFlags, 0x1030);
    EXPECT_EQ(std::vector<BYTE>(named.data.begin(), named.data.end()),
              (std::vector<BYTE>{1, 2, 3}));
    // The data lies inside the image, not in a copy.
    EXPECT_GE(named.data.data(), guarded.data());
    EXPECT_LE(named.data.data() + named.data.size(), guarded.data() + guarded.size());

    const tResourceEntry& german = entries[1];
    EXPECT_TRUE(german.type.isOrdinal);
    EXPECT_EQ(german.type.ordinal, 5);
    EXPECT_EQ(german.name.ordinal, 7);
    EXPECT_EQ(german.language, 0x0407);
    ASSERT_EQ(german.data.size(), 1u);
    EXPECT_EQ(german.data[0], 0x47);

    const tResourceEntry& last = entries[8];
    EXPECT_EQ(last.type.ordinal, 10);
    EXPECT_EQ(last.name.name, u"X");
    EXPECT_EQ(last.data.size(), 3u);
}

// The format has no count of entries: an image cut right behind an entry (or its padding) is a
// shorter image. Cut anywhere else, it is malformed.
TEST(ResourceImage, RejectsEveryCutInsideAnEntryWithoutReadingPastTheEnd) {
    const tImage image = sampleImage();
    const std::vector<BYTE> full = image.bytes.data();
    for (std::size_t size = 0; size < full.size(); ++size) {
        std::size_t whole = 0; // entries that the cut leaves complete
        bool atBoundary = false;
        for (std::size_t end : image.ends) {
            if (end <= size)
                ++whole;
            atBoundary = atBoundary || (end <= size && size <= (end + 3) / 4 * 4);
        }
        tGuardedBytes prefix(std::span<const BYTE>(full.data(), size));
        std::vector<tResourceEntry> entries;
        EXPECT_EQ(platform::parseResourceImage(prefix.span(), entries), atBoundary)
            << size << " bytes";
        EXPECT_EQ(entries.size(), atBoundary ? whole - 1 : 0) << size << " bytes";
    }
}

TEST(ResourceImage, TakesThePaddingBehindTheLastEntryButNothingMore) {
    tByteBuilder padded = sampleImage().bytes;
    padded.byte(0); // the last entry's data is 3 bytes long
    std::vector<tResourceEntry> entries;
    EXPECT_TRUE(parse(padded, entries));

    padded.byte(0);
    entries.clear();
    EXPECT_FALSE(parse(padded, entries));
}

TEST(ResourceImage, RejectsCorruptImages) {
    struct tCase {
        const char* what;
        std::function<void(tImage&)> corrupt;
    } const cases[] = {
        {"header smaller than its fixed fields",
         [](tImage& i) { i.bytes.patch<DWORD>(i.namedEntryAt + 4, 16); }},
        {"header beyond the image",
         [](tImage& i) { i.bytes.patch<DWORD>(i.namedEntryAt + 4, 0x10000); }},
        {"data beyond the image",
         [](tImage& i) { i.bytes.patch<DWORD>(i.namedEntryAt, 0xFFFFFFF0); }},
        {"a name that runs past its header",
         [](tImage& i) { i.bytes.patch<DWORD>(i.namedEntryAt + 4, 32); }},
        {"no leading empty entry", [](tImage& i) { i = sampleImage(false); }},
    };
    for (const auto& c : cases) {
        tImage image = sampleImage();
        c.corrupt(image);
        std::vector<tResourceEntry> entries;
        EXPECT_FALSE(parse(image.bytes, entries)) << c.what;
        EXPECT_TRUE(entries.empty()) << c.what;
    }
}

LPCSTR id(WORD ordinal) {
    return MAKEINTRESOURCEA(ordinal);
}

TEST(ResourceTable, FindsByOrdinalNumberSignAndNameIgnoringCase) {
    tGuardedBytes guarded(sampleImage().bytes.data());
    tResourceTable table(guarded.span());
    ASSERT_TRUE(table.valid());

    struct tCase {
        LPCSTR type;
        LPCSTR name;
        BYTE firstByte;
    } const cases[] = {
        {"MYTYPE", "Hello", 1},
        {"mytype", "HELLO", 1},
        {id(5), id(7), 0x09}, // English (United States) before neutral and German
        {"#5", "#7", 0x09},
        {"#0011", "#1", 0x00}, // neutral before German
        {id(5), id(8), 0x48},  // the only language there is
        {id(10), "x", 5},
        {id(12),
         "GR\xC3\xBC\xC3\x9F"
         "E",
         0x12}, // names in the narrow code page, UTF-8
    };
    for (const tCase& c : cases) {
        DWORD error = 0;
        const tResourceEntry* entry = table.find(c.type, c.name, error);
        ASSERT_NE(entry, nullptr) << (IS_INTRESOURCE(c.type) ? "#" : c.type);
        EXPECT_TRUE(table.owns(entry));
        ASSERT_FALSE(entry->data.empty());
        EXPECT_EQ(entry->data[0], c.firstByte);
    }
}

TEST(ResourceTable, ReportsWhatIsMissingAsFindResourceDoes) {
    tGuardedBytes guarded(sampleImage().bytes.data());
    tResourceTable table(guarded.span());

    struct tCase {
        LPCSTR type;
        LPCSTR name;
        DWORD error;
    } const cases[] = {
        {id(6), id(7), ERROR_RESOURCE_TYPE_NOT_FOUND},
        {"MYTYPE2", "Hello", ERROR_RESOURCE_TYPE_NOT_FOUND},
        {"#65535", "#7", ERROR_RESOURCE_TYPE_NOT_FOUND},
        {id(5), id(9), ERROR_RESOURCE_NAME_NOT_FOUND},
        {id(5), "7", ERROR_RESOURCE_NAME_NOT_FOUND}, // a name, not the integer 7
        {"MYTYPE", "Hell", ERROR_RESOURCE_NAME_NOT_FOUND},
        {id(12), "Gr\xC3", ERROR_RESOURCE_NAME_NOT_FOUND}, // malformed UTF-8 is no name
        {"#5", "#7x", ERROR_INVALID_PARAMETER},
        {"#", "#7", ERROR_INVALID_PARAMETER},
        {"#65536", "#7", ERROR_INVALID_PARAMETER},
    };
    for (const tCase& c : cases) {
        DWORD error = 0;
        EXPECT_EQ(table.find(c.type, c.name, error), nullptr);
        EXPECT_EQ(error, c.error) << (IS_INTRESOURCE(c.type) ? "#" : c.type) << " "
                                  << (IS_INTRESOURCE(c.name) ? "#" : c.name);
    }
}

TEST(ResourceTable, AMalformedImageHoldsNoResources) {
    tImage image = sampleImage();
    image.bytes.patch<DWORD>(image.namedEntryAt, 0xFFFFFFF0);
    tGuardedBytes guarded(image.bytes.data());
    tResourceTable table(guarded.span());
    EXPECT_FALSE(table.valid());
    EXPECT_TRUE(table.entries().empty());
    DWORD error = 0;
    EXPECT_EQ(table.find(id(5), id(7), error), nullptr);
    EXPECT_EQ(error, DWORD(ERROR_RESOURCE_DATA_NOT_FOUND));
}

} // namespace
