#include "platform/linux/handle_table.h"
#include "platform/simulated/simulated_platform.h"

#include "platform/process_fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

namespace {

using fixtures::tOwnedHandle;

TEST(GetCurrentProcess, IsThePseudoHandle) {
    EXPECT_EQ(GetCurrentProcess(), reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)));
}

// The duplicate refers to the same pipe end: closing the original leaves it working, and the
// inherit flag decides the duplicate's inheritability alone.
TEST(DuplicateHandle, SharesTheObjectWithItsOwnInheritability) {
    tOwnedHandle readEnd, writeEnd, inheritable, plain;
    ASSERT_TRUE(CreatePipe(readEnd.out(), writeEnd.out(), nullptr, 0));
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), readEnd.get(), GetCurrentProcess(),
                                inheritable.out(), 0, TRUE, DUPLICATE_SAME_ACCESS));
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), inheritable.get(), GetCurrentProcess(),
                                plain.out(), 0, FALSE, DUPLICATE_SAME_ACCESS));
    EXPECT_NE(inheritable.get(), readEnd.get());
    EXPECT_TRUE(platform::isHandleInheritable(inheritable.get()));
    EXPECT_FALSE(platform::isHandleInheritable(plain.get()));

    readEnd.close();
    fixtures::writeBytes(writeEnd.get(), "shared");
    char buffer[16];
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(inheritable.get(), buffer, 3, &got, nullptr));
    EXPECT_EQ(std::string(buffer, got), "sha");
    inheritable.close();
    ASSERT_TRUE(ReadFile(plain.get(), buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(std::string(buffer, got), "red");
}

TEST(DuplicateHandle, CloseSourceReplacesTheHandleOnSuccess) {
    tOwnedHandle readEnd, writeEnd, duplicate;
    ASSERT_TRUE(CreatePipe(readEnd.out(), writeEnd.out(), nullptr, 0));
    std::size_t count = platform::liveHandleCount();
    HANDLE source = writeEnd.get();
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), source, GetCurrentProcess(), duplicate.out(),
                                0, TRUE, DUPLICATE_CLOSE_SOURCE | DUPLICATE_SAME_ACCESS));
    *writeEnd.out() = nullptr; // closed by the call
    EXPECT_FALSE(platform::lookupHandle(source));
    EXPECT_EQ(platform::liveHandleCount(), count);
    fixtures::writeBytes(duplicate.get(), "x");
    BOOL ok;
    DWORD available = 0;
    ok = PeekNamedPipe(readEnd.get(), nullptr, 0, nullptr, &available, nullptr);
    EXPECT_TRUE(ok);
    EXPECT_EQ(available, 1u);
}

struct tFailure {
    const char* name;
    // How the call goes wrong; the simulated platform is installed throughout.
    std::function<BOOL(sim::tSimulatedPlatform&, HANDLE source, HANDLE* target)> call;
    DWORD error;
    bool sourceClosed;
};

void PrintTo(const tFailure& c, std::ostream* out) {
    *out << c.name;
}

class DuplicateHandleFailure : public testing::TestWithParam<tFailure> {};

// The documented promise: with DUPLICATE_CLOSE_SOURCE the source is closed even when the call
// fails, as long as the source process is this one.
TEST_P(DuplicateHandleFailure, ClosesTheSourceWhenItCan) {
    sim::tSimulatedPlatform platform{sim::tInventory{}};
    tOwnedHandle readEnd;
    HANDLE writeEnd = nullptr;
    ASSERT_TRUE(CreatePipe(readEnd.out(), &writeEnd, nullptr, 0));
    std::size_t count = platform::liveHandleCount();

    HANDLE target = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0xbad0));
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(GetParam().call(platform, writeEnd, &target));
    EXPECT_EQ(GetLastError(), GetParam().error);
    EXPECT_EQ(target, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0xbad0)));
    if (GetParam().sourceClosed) {
        EXPECT_FALSE(platform::lookupHandle(writeEnd));
        EXPECT_EQ(platform::liveHandleCount(), count - 1);
    } else {
        EXPECT_TRUE(platform::lookupHandle(writeEnd));
        EXPECT_EQ(platform::liveHandleCount(), count);
        CloseHandle(writeEnd);
    }
}

const DWORD closeAndSame = DUPLICATE_CLOSE_SOURCE | DUPLICATE_SAME_ACCESS;
HANDLE const notAHandle = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x7ff0));

INSTANTIATE_TEST_SUITE_P(
    Table, DuplicateHandleFailure,
    testing::Values(tFailure{"InvalidTargetProcess",
                             [](sim::tSimulatedPlatform&, HANDLE source, HANDLE* target) {
                                 return DuplicateHandle(GetCurrentProcess(), source, notAHandle,
                                                        target, 0, TRUE, closeAndSame);
                             },
                             ERROR_INVALID_HANDLE, true},
                    tFailure{"NullTargetProcess",
                             [](sim::tSimulatedPlatform&, HANDLE source, HANDLE* target) {
                                 return DuplicateHandle(GetCurrentProcess(), source, nullptr,
                                                        target, 0, TRUE, closeAndSame);
                             },
                             ERROR_INVALID_HANDLE, true},
                    tFailure{"TheCallFails",
                             [](sim::tSimulatedPlatform& platform, HANDLE source, HANDLE* target) {
                                 platform.failCall("DuplicateHandle", 1, ERROR_NOT_ENOUGH_MEMORY);
                                 return DuplicateHandle(GetCurrentProcess(), source,
                                                        GetCurrentProcess(), target, 0, TRUE,
                                                        closeAndSame);
                             },
                             ERROR_NOT_ENOUGH_MEMORY, true},
                    tFailure{"InvalidSourceProcess",
                             [](sim::tSimulatedPlatform&, HANDLE source, HANDLE* target) {
                                 return DuplicateHandle(notAHandle, source, GetCurrentProcess(),
                                                        target, 0, TRUE, closeAndSame);
                             },
                             ERROR_INVALID_HANDLE, false},
                    tFailure{"WithoutCloseSource",
                             [](sim::tSimulatedPlatform&, HANDLE source, HANDLE* target) {
                                 return DuplicateHandle(GetCurrentProcess(), source, notAHandle,
                                                        target, 0, TRUE, DUPLICATE_SAME_ACCESS);
                             },
                             ERROR_INVALID_HANDLE, false}),
    [](const testing::TestParamInfo<tFailure>& info) { return std::string(info.param.name); });

TEST(DuplicateHandle, RefusesAClosedSourceHandle) {
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 0));
    CloseHandle(readEnd);
    CloseHandle(writeEnd);
    std::size_t count = platform::liveHandleCount();
    HANDLE target = nullptr;
    EXPECT_FALSE(DuplicateHandle(GetCurrentProcess(), writeEnd, GetCurrentProcess(), &target, 0,
                                 TRUE, closeAndSame));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(platform::liveHandleCount(), count);
}

} // namespace
