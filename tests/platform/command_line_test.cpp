#include "platform/linux/command_line.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct tSplitCase {
    const char* line;
    std::vector<std::string> arguments;
};

const tSplitCase splitCases[] = {
    // The formatter's own command line: backslashes before anything but a quote are plain.
    {R"(usbfiles\makebootfat.exe -o \\.\PhysicalDrive1 -E 255)",
     {R"(usbfiles\makebootfat.exe)", "-o", R"(\\.\PhysicalDrive1)", "-E", "255"}},
    // Runs of blanks, tabs and trailing blanks separate; they make no empty arguments.
    {"prog  a\t\tb \t", {"prog", "a", "b"}},
    {"prog", {"prog"}},
    // The program: quotes group without escapes, even in the middle, and vanish.
    {R"("C:\Program Files\tool.exe" x)", {R"(C:\Program Files\tool.exe)", "x"}},
    {R"(C:\a"b c"\d.exe x)", {R"(C:\ab c\d.exe)", "x"}},
    {R"("dir\\" next)", {R"(dir\\)", "next"}},
    {R"(a\"b c)", {R"(a\b c)"}},
    // A line that starts with a blank has an empty program; so has an empty line.
    {" x y", {"", "x", "y"}},
    {"", {""}},
    // Quotes group and vanish; a quoted part may sit inside an argument.
    {R"(p "a b c" d e)", {"p", "a b c", "d", "e"}},
    {R"(p d"e f"g h)", {"p", "de fg", "h"}},
    {R"(p "" x)", {"p", "", "x"}},
    {"p \"unterminated  arg", {"p", "unterminated  arg"}},
    // 2n backslashes before a quote: n backslashes, and the quote groups.
    {R"(p "\\" d)", {"p", R"(\)", "d"}},
    {R"(p a\\\\"b c" d e)", {"p", R"(a\\b c)", "d", "e"}},
    // 2n+1 backslashes before a quote: n backslashes and a literal quote.
    {R"(p "ab\"c" x)", {"p", R"(ab"c)", "x"}},
    {R"(p a\\\"b c d)", {"p", R"(a\"b)", "c", "d"}},
    {R"(p \" x)", {"p", "\"", "x"}},
    // Backslashes not before a quote are plain, inside quotes too.
    {R"(p a\\\b "c\\d")", {"p", R"(a\\\b)", R"(c\\d)"}},
    // Inside quotes, two quotes give one literal quote and the quoted part goes on.
    {R"(p a"b"" c d)", {"p", R"(ab" c d)"}},
    {R"(p """" x)", {"p", "\"", "x"}},
    {R"(p "a""b" c)", {"p", R"(a"b)", "c"}},
    // Outside quotes, two quotes are an empty quoted part.
    {R"(p a""b)", {"p", "ab"}},
};

void PrintTo(const tSplitCase& c, std::ostream* out) {
    *out << "[" << c.line << "]";
}

class SplitCommandLine : public testing::TestWithParam<tSplitCase> {};

TEST_P(SplitCommandLine, FollowsTheRuntimeRules) {
    EXPECT_EQ(platform::splitCommandLine(GetParam().line), GetParam().arguments);
}

INSTANTIATE_TEST_SUITE_P(Table, SplitCommandLine, testing::ValuesIn(splitCases));

} // namespace
