#include "platform/linux/module_path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>

namespace {

// Puts the real path back whatever a test does.
class tModulePathOverride {
public:
    explicit tModulePathOverride(std::string path) { platform::setModulePathForTesting(path); }
    ~tModulePathOverride() { platform::setModulePathForTesting(std::nullopt); }
};

TEST(GetModuleFileNameA, ReportsTheRunningExecutableWithItsLength) {
    char buffer[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);

    std::string expected = std::filesystem::read_symlink("/proc/self/exe").string();
    ASSERT_LT(expected.size(), static_cast<std::size_t>(MAX_PATH)) << "build directory too deep";
    EXPECT_EQ(std::string(buffer), expected);
    EXPECT_EQ(length, expected.size());
    EXPECT_EQ(std::filesystem::path(buffer).filename(), "process_tests");
}

struct tSizeCase {
    DWORD pathLength;
    DWORD bufferSize;
};

void PrintTo(const tSizeCase& c, std::ostream* out) {
    *out << "path of " << c.pathLength << " in " << c.bufferSize;
}

class GetModuleFileNameSizes : public testing::TestWithParam<tSizeCase> {};

// A path that does not fit is cut to size - 1 characters with a NUL, and the answer is the
// size itself with ERROR_INSUFFICIENT_BUFFER; one that fits answers its length.
TEST_P(GetModuleFileNameSizes, CutsAPathThatDoesNotFit) {
    const tSizeCase c = GetParam();
    std::string path = "/";
    for (DWORD i = 1; i < c.pathLength; ++i)
        path += static_cast<char>('a' + i % 26);
    tModulePathOverride longPath(path);

    std::string buffer(c.bufferSize + 8, '#');
    SetLastError(ERROR_SUCCESS);
    DWORD answer = GetModuleFileNameA(nullptr, buffer.data(), c.bufferSize);

    if (c.pathLength < c.bufferSize) {
        EXPECT_EQ(answer, c.pathLength);
        EXPECT_EQ(std::string(buffer.c_str()), path);
    } else {
        EXPECT_EQ(answer, c.bufferSize);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
        EXPECT_EQ(std::string(buffer.c_str()), path.substr(0, c.bufferSize - 1));
    }
    EXPECT_EQ(buffer[c.bufferSize], '#') << "wrote past the buffer";
}

INSTANTIATE_TEST_SUITE_P(Table, GetModuleFileNameSizes,
                         testing::Values(tSizeCase{300, MAX_PATH}, tSizeCase{260, MAX_PATH},
                                         tSizeCase{259, MAX_PATH}, tSizeCase{40, 1},
                                         tSizeCase{40, 40}, tSizeCase{40, 41}));

TEST(GetModuleFileNameA, ZeroSizeWritesNothing) {
    char buffer[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, 0), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(buffer[0], '#');
}

TEST(GetModuleFileNameA, TheProgramsOwnHandleNamesTheProgram) {
    char byNull[MAX_PATH], byHandle[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, byNull, MAX_PATH);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(GetModuleFileNameA(GetModuleHandleA(nullptr), byHandle, MAX_PATH), length);
    EXPECT_STREQ(byHandle, byNull);
}

TEST(GetModuleFileNameA, KnowsNoOtherModule) {
    char buffer[MAX_PATH];
    HMODULE other = reinterpret_cast<HMODULE>(static_cast<ULONG_PTR>(0x10000));
    EXPECT_EQ(GetModuleFileNameA(other, buffer, MAX_PATH), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

} // namespace
