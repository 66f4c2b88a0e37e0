#include "platform/linux/handle_table.h"
#include "platform/simulated/simulated_platform.h"

#include "platform/process_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

namespace {

using fixtures::tOwnedHandle;

const DWORD injected = ERROR_NOT_READY;

struct tFaultCase {
    const char* operation;
    // Makes the call on a live pipe end; true when it answered as a failure does.
    std::function<bool(HANDLE pipeEnd)> failed;
};

void PrintTo(const tFaultCase& c, std::ostream* out) {
    *out << c.operation;
}

class InjectedFault : public testing::TestWithParam<tFaultCase> {};

// Every call of the subset can be made to fail by the simulated platform: it answers as a
// failure with the chosen code, and creates nothing.
TEST_P(InjectedFault, FailsWithTheChosenCodeAndCreatesNothing) {
    GetStdHandle(STD_INPUT_HANDLE);
    GetStdHandle(STD_OUTPUT_HANDLE);
    GetStdHandle(STD_ERROR_HANDLE);
    tOwnedHandle readEnd, writeEnd;
    ASSERT_TRUE(CreatePipe(readEnd.out(), writeEnd.out(), nullptr, 0));
    fixtures::writeBytes(writeEnd.get(), "data");

    sim::tSimulatedPlatform platform{sim::tInventory{}};
    platform.failCall(GetParam().operation, 1, injected);
    std::size_t handles = platform::liveHandleCount();
    SetLastError(ERROR_SUCCESS);
    EXPECT_TRUE(GetParam().failed(readEnd.get()));
    EXPECT_EQ(GetLastError(), injected);
    EXPECT_EQ(platform::liveHandleCount(), handles);
    EXPECT_EQ(platform.callCount(GetParam().operation), 1);

    // The fault was the first call's only: the data is still there for the next.
    char buffer[8];
    DWORD got = 0;
    platform.clearFaults();
    ASSERT_TRUE(ReadFile(readEnd.get(), buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(std::string(buffer, got), "data");
}

INSTANTIATE_TEST_SUITE_P(
    Table, InjectedFault,
    testing::Values(
        tFaultCase{"GetModuleFileNameA",
                   [](HANDLE) {
                       char path[MAX_PATH];
                       return GetModuleFileNameA(nullptr, path, MAX_PATH) == 0;
                   }},
        tFaultCase{"GetStdHandle",
                   [](HANDLE) { return GetStdHandle(STD_OUTPUT_HANDLE) == INVALID_HANDLE_VALUE; }},
        tFaultCase{"CreatePipe",
                   [](HANDLE) {
                       HANDLE r = nullptr, w = nullptr;
                       return !CreatePipe(&r, &w, nullptr, 0) && !r && !w;
                   }},
        tFaultCase{"ReadFile",
                   [](HANDLE pipe) {
                       char buffer[8];
                       DWORD got = 99;
                       return !ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got == 0;
                   }},
        tFaultCase{"PeekNamedPipe",
                   [](HANDLE pipe) {
                       DWORD available = 0;
                       return !PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr);
                   }},
        tFaultCase{"WaitForSingleObject",
                   [](HANDLE pipe) { return WaitForSingleObject(pipe, 0) == WAIT_FAILED; }},
        tFaultCase{"GetExitCodeProcess",
                   [](HANDLE) {
                       DWORD code = 0;
                       return !GetExitCodeProcess(GetCurrentProcess(), &code);
                   }}),
    [](const testing::TestParamInfo<tFaultCase>& info) {
        return std::string(info.param.operation);
    });

} // namespace
