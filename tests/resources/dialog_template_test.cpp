#include "platform/linux/dialog_template.h"

#include "byte_builder.h"
#include "guarded_bytes.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using fixtures::tByteBuilder;
using fixtures::tGuardedBytes;
using platform::parseDialogTemplate;
using platform::tDialogTemplate;

// Where the samples below keep the fields that the corruption cases change.
struct tSample {
    tByteBuilder bytes;
    std::size_t itemCountAt = 0;
    std::size_t lastExtraCountAt = 0;
};

// An extended template exercising every kind of field: a menu by ordinal, a class by name,
// text beyond ASCII, a font with all fields, items with classes by atom and by name, text by
// ordinal, creation data of odd length before another item.
tSample extendedSample() {
    tSample s;
    tByteBuilder& b = s.bytes;
    b.word(1).word(0xFFFF).dword(0x11).dword(WS_EX_APPWINDOW).dword(0x80C00040);
    s.itemCountAt = b.size();
    b.word(4).shortValue(-5).shortValue(10).shortValue(200).shortValue(100);
    b.ordinal(0x42).string(u"MyDialogClass").string(u"Gr\u00fc\u00dfe \u20ac \U0001F600");
    b.word(9).word(700).byte(1).byte(0xEE).string(u"Tahoma");

    b.align(4).dword(7).dword(0x200).dword(0x50010000);
    b.shortValue(1).shortValue(2).shortValue(3).shortValue(4).dword(0xFFFFFFFF);
    b.ordinal(0x80).string(u"&OK").word(0);

    b.align(4).dword(0).dword(0).dword(0x50800000);
    b.shortValue(7).shortValue(56).shortValue(239).shortValue(11).dword(1003);
    b.string(u"msctls_progress32").ordinal(128).word(3).byte(1).byte(2).byte(3);

    b.align(4).dword(0).dword(0).dword(0x50020000);
    b.shortValue(7).shortValue(44).shortValue(224).shortValue(8).dword(1004);
    b.ordinal(0x82).string(u"").word(0);

    b.align(4).dword(0).dword(0).dword(0);
    b.shortValue(0).shortValue(0).shortValue(1).shortValue(1).dword(9);
    b.ordinal(0x99).string(u"x\xD800");
    s.lastExtraCountAt = b.size();
    b.word(0);
    return s;
}

// A plain template: a WORD id, creation data counted with its size word, a font of size and
// face only.
tSample plainSample() {
    tSample s;
    tByteBuilder& b = s.bytes;
    b.dword(0x80000040).dword(0);
    s.itemCountAt = b.size();
    b.word(2).shortValue(0).shortValue(0).shortValue(100).shortValue(50);
    b.word(0).word(0).string(u"Plain").word(8).string(u"MS Sans Serif");

    b.align(4).dword(0x50000000).dword(0x4);
    b.shortValue(1).shortValue(2).shortValue(30).shortValue(12).word(0xFFFF);
    b.ordinal(0x81).string(u"abc");
    s.lastExtraCountAt = b.size(); // the first item's, here
    b.word(6).byte(9).byte(8).byte(7).byte(6);

    b.align(4).dword(0x50000001).dword(0);
    b.shortValue(5).shortValue(6).shortValue(7).shortValue(8).word(5);
    b.string(u"Custom").ordinal(3).word(0);
    return s;
}

bool parse(const tByteBuilder& bytes, tDialogTemplate& out) {
    tGuardedBytes guarded(bytes.data());
    return parseDialogTemplate(guarded.data(), guarded.size(), out);
}

TEST(DialogTemplateParser, ReadsEveryFieldOfAnExtendedTemplate) {
    tDialogTemplate d;
    ASSERT_TRUE(parse(extendedSample().bytes, d));

    EXPECT_TRUE(d.extended);
    EXPECT_EQ(d.helpId, 0x11u);
    EXPECT_EQ(d.exStyle, DWORD(WS_EX_APPWINDOW));
    EXPECT_EQ(d.style, 0x80C00040u);
    EXPECT_EQ(d.x, -5);
    EXPECT_EQ(d.y, 10);
    EXPECT_EQ(d.cx, 200);
    EXPECT_EQ(d.cy, 100);
    EXPECT_EQ(d.menu, "#66");
    EXPECT_EQ(d.windowClass, "MyDialogClass");
    EXPECT_EQ(d.title, "Gr\xC3\xBC\xC3\x9F"
                       "e \xE2\x82\xAC \xF0\x9F\x98\x80");
    EXPECT_EQ(d.pointSize, 9);
    EXPECT_EQ(d.weight, 700);
    EXPECT_EQ(d.italic, 1);
    EXPECT_EQ(d.charset, 0xEE);
    EXPECT_EQ(d.typeface, "Tahoma");
    ASSERT_EQ(d.items.size(), 4u);

    const auto& ok = d.items[0];
    EXPECT_EQ(ok.helpId, 7u);
    EXPECT_EQ(ok.exStyle, 0x200u);
    EXPECT_EQ(ok.style, 0x50010000u);
    EXPECT_EQ(ok.x, 1);
    EXPECT_EQ(ok.y, 2);
    EXPECT_EQ(ok.cx, 3);
    EXPECT_EQ(ok.cy, 4);
    EXPECT_EQ(ok.id, 0xFFFFFFFFu);
    EXPECT_EQ(ok.classAtom, 0x80);
    EXPECT_EQ(ok.className, "Button");
    EXPECT_EQ(ok.text, "&OK");
    EXPECT_FALSE(ok.textOrdinal);
    EXPECT_TRUE(ok.creationData.empty());

    const auto& progress = d.items[1];
    EXPECT_EQ(progress.id, 1003u);
    EXPECT_EQ(progress.classAtom, 0);
    EXPECT_EQ(progress.className, "msctls_progress32");
    EXPECT_EQ(progress.textOrdinal, WORD(128));
    EXPECT_EQ(progress.text, "");
    EXPECT_EQ(progress.creationData, (std::vector<BYTE>{1, 2, 3}));

    // Behind creation data of odd length the next item starts on the next DWORD.
    const auto& status = d.items[2];
    EXPECT_EQ(status.id, 1004u);
    EXPECT_EQ(status.style, 0x50020000u);
    EXPECT_EQ(status.className, "Static");
    EXPECT_EQ(status.text, "");
    EXPECT_FALSE(status.textOrdinal);
    EXPECT_EQ(status.x, 7);
    EXPECT_EQ(status.cy, 8);

    const auto& odd = d.items[3];
    EXPECT_EQ(odd.classAtom, 0x99);
    EXPECT_EQ(odd.className, "#153");
    EXPECT_EQ(odd.text, "x\xEF\xBF\xBD"); // the unpaired surrogate, replaced
}

TEST(DialogTemplateParser, ReadsAPlainTemplate) {
    tDialogTemplate d;
    ASSERT_TRUE(parse(plainSample().bytes, d));

    EXPECT_FALSE(d.extended);
    EXPECT_EQ(d.style, 0x80000040u);
    EXPECT_EQ(d.exStyle, 0u);
    EXPECT_EQ(d.helpId, 0u);
    EXPECT_EQ(d.cx, 100);
    EXPECT_EQ(d.cy, 50);
    EXPECT_EQ(d.menu, "");
    EXPECT_EQ(d.windowClass, "");
    EXPECT_EQ(d.title, "Plain");
    EXPECT_EQ(d.pointSize, 8);
    EXPECT_EQ(d.weight, 0);
    EXPECT_EQ(d.italic, 0);
    EXPECT_EQ(d.charset, 1);
    EXPECT_EQ(d.typeface, "MS Sans Serif");
    ASSERT_EQ(d.items.size(), 2u);

    const auto& edit = d.items[0];
    EXPECT_EQ(edit.style, 0x50000000u);
    EXPECT_EQ(edit.exStyle, 0x4u);
    EXPECT_EQ(edit.helpId, 0u);
    EXPECT_EQ(edit.id, 0xFFFFu);
    EXPECT_EQ(edit.className, "Edit");
    EXPECT_EQ(edit.text, "abc");
    EXPECT_EQ(edit.creationData, (std::vector<BYTE>{9, 8, 7, 6}));

    const auto& custom = d.items[1];
    EXPECT_EQ(custom.x, 5);
    EXPECT_EQ(custom.y, 6);
    EXPECT_EQ(custom.cx, 7);
    EXPECT_EQ(custom.cy, 8);
    EXPECT_EQ(custom.id, 5u);
    EXPECT_EQ(custom.classAtom, 0);
    EXPECT_EQ(custom.className, "Custom");
    EXPECT_EQ(custom.textOrdinal, WORD(3));
    EXPECT_TRUE(custom.creationData.empty());
}

TEST(DialogTemplateParser, WithoutSetFontTheItemsFollowTheTitle) {
    tByteBuilder b;
    b.word(1).word(0xFFFF).dword(0).dword(0).dword(WS_POPUP);
    b.word(1).shortValue(0).shortValue(0).shortValue(10).shortValue(10);
    b.word(0).word(0).string(u"T");
    b.align(4).dword(0).dword(0).dword(WS_CHILD).shortValue(1).shortValue(1).shortValue(1);
    b.shortValue(1).dword(42).ordinal(0x85).word(0).word(0);

    tDialogTemplate d;
    ASSERT_TRUE(parse(b, d));
    EXPECT_EQ(d.typeface, "");
    EXPECT_EQ(d.pointSize, 0);
    ASSERT_EQ(d.items.size(), 1u);
    EXPECT_EQ(d.items[0].id, 42u);
    EXPECT_EQ(d.items[0].className, "ComboBox");
}

// A failed parse leaves the caller's template as it was.
tDialogTemplate sentinel() {
    tDialogTemplate d;
    d.title = "untouched";
    return d;
}

TEST(DialogTemplateParser, RejectsEveryTruncationWithoutReadingPastTheEnd) {
    for (const tSample& sample : {extendedSample(), plainSample()}) {
        const std::vector<BYTE>& full = sample.bytes.data();
        for (std::size_t size = 0; size < full.size(); ++size) {
            tGuardedBytes prefix(std::span<const BYTE>(full.data(), size));
            tDialogTemplate d = sentinel();
            EXPECT_FALSE(parseDialogTemplate(prefix.data(), prefix.size(), d))
                << size << " of " << full.size() << " bytes";
            EXPECT_EQ(d.title, "untouched");
        }
    }
    tDialogTemplate d = sentinel();
    EXPECT_FALSE(parseDialogTemplate(nullptr, 0, d));
    EXPECT_FALSE(parseDialogTemplate(nullptr, 64, d));
}

struct tCorruption {
    const char* what;
    std::function<tSample()> sample;
    std::function<void(tSample&)> corrupt;
};

TEST(DialogTemplateParser, RejectsCorruptTemplates) {
    const tCorruption cases[] = {
        {"extended signature with a version other than 1", extendedSample,
         [](tSample& s) { s.bytes.patch<WORD>(0, 2); }},
        {"more extended items than the data holds", extendedSample,
         [](tSample& s) { s.bytes.patch<WORD>(s.itemCountAt, 5); }},
        {"as many items as a WORD counts", extendedSample,
         [](tSample& s) { s.bytes.patch<WORD>(s.itemCountAt, 0xFFFF); }},
        {"creation data beyond the end", extendedSample,
         [](tSample& s) { s.bytes.patch<WORD>(s.lastExtraCountAt, 0x7FFF); }},
        {"more plain items than the data holds", plainSample,
         [](tSample& s) { s.bytes.patch<WORD>(s.itemCountAt, 3); }},
        {"plain creation data smaller than its size word", plainSample,
         [](tSample& s) { s.bytes.patch<WORD>(s.lastExtraCountAt, 1); }},
        {"plain creation data beyond the end", plainSample,
         [](tSample& s) { s.bytes.patch<WORD>(s.lastExtraCountAt, 0xFFFE); }},
    };
    for (const tCorruption& c : cases) {
        tSample sample = c.sample();
        tDialogTemplate d = sentinel();
        ASSERT_TRUE(parse(sample.bytes, d)) << "the sample itself, for: " << c.what;
        c.corrupt(sample);
        d = sentinel();
        EXPECT_FALSE(parse(sample.bytes, d)) << c.what;
        EXPECT_EQ(d.title, "untouched") << c.what;
    }
}

} // namespace
