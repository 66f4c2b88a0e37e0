#include "platform/linux/handle_table.h"

#include "platform/process_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;
using fixtures::tChild;
using fixtures::tOwnedHandle;

const DWORD generous = 30000; // bounds every wait for a child that ends by itself

class ProcessWait : public testing::Test {
protected:
    void SetUp() override {
        GetStdHandle(STD_INPUT_HANDLE);
        GetStdHandle(STD_OUTPUT_HANDLE);
        GetStdHandle(STD_ERROR_HANDLE);
    }

    // Starts the stand-in reading its standard input from a pipe until the test closes
    // `stdinWrite`: it runs exactly as long as the test wants.
    void startHeldChild(tChild& child, tOwnedHandle& stdinWrite) {
        tOwnedHandle stdinRead;
        SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        ASSERT_TRUE(CreatePipe(stdinRead.out(), stdinWrite.out(), &inherit, 0));
        environment.set("FAKE_FORMATTER_STDIN_WAIT", "1");
        ASSERT_TRUE(fixtures::startFormatter(
            child, fixtures::startupWith(stdinRead.get(), GetStdHandle(STD_OUTPUT_HANDLE),
                                         GetStdHandle(STD_ERROR_HANDLE))));
    }

    fixtures::tEnvironment environment;
};

TEST_F(ProcessWait, TimesOutWhileTheChildRunsAndSignalsOnceItHasEnded) {
    environment.set("FAKE_FORMATTER_EXIT", "3");
    tChild child;
    tOwnedHandle stdinWrite;
    ASSERT_NO_FATAL_FAILURE(startHeldChild(child, stdinWrite));

    EXPECT_EQ(WaitForSingleObject(child.info.hProcess, 150), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(child.info.hThread, 0), WAIT_TIMEOUT);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeProcess(child.info.hProcess, &code));
    EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));

    stdinWrite.close();
    ASSERT_EQ(WaitForSingleObject(child.info.hProcess, generous), WAIT_OBJECT_0);
    ASSERT_TRUE(GetExitCodeProcess(child.info.hProcess, &code));
    EXPECT_EQ(code, 3u);
    // An ended process stays signalled, for its thread as well.
    EXPECT_EQ(WaitForSingleObject(child.info.hProcess, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(child.info.hThread, 0), WAIT_OBJECT_0);
    ASSERT_TRUE(GetExitCodeProcess(child.info.hProcess, &code));
    EXPECT_EQ(code, 3u);
}

// A wait without time-out returns only once the child has ended: its status is there at once.
// A watchdog ends the child should the wait not return, so the test cannot hang.
TEST_F(ProcessWait, AnInfiniteWaitReturnsWhenTheChildEnds) {
    environment.set("FAKE_FORMATTER_SLEEP_MS", "400").set("FAKE_FORMATTER_EXIT", "5");
    tChild child;
    ASSERT_TRUE(fixtures::startFormatter(child, fixtures::plainStartup()));

    std::mutex mutex;
    std::condition_variable returned;
    bool done = false;
    pid_t pid = static_cast<pid_t>(child.info.dwProcessId);
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> lock(mutex);
        if (!returned.wait_for(lock, std::chrono::seconds(30), [&] { return done; }))
            kill(pid, SIGKILL);
    });
    DWORD result = WaitForSingleObject(child.info.hProcess, INFINITE);
    DWORD code = 0;
    BOOL known = GetExitCodeProcess(child.info.hProcess, &code);
    {
        std::lock_guard<std::mutex> lock(mutex);
        done = true;
    }
    returned.notify_one();
    watchdog.join();

    EXPECT_EQ(result, WAIT_OBJECT_0);
    ASSERT_TRUE(known);
    EXPECT_EQ(code, 5u);
}

// Restores the signal mask and the disposition of SIGTERM of the calling thread.
class tHostileSignalState {
public:
    tHostileSignalState() {
        sigset_t block;
        sigemptyset(&block);
        sigaddset(&block, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &block, &savedMask);
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGTERM, &ignore, &savedAction);
    }
    ~tHostileSignalState() {
        sigaction(SIGTERM, &savedAction, nullptr);
        pthread_sigmask(SIG_SETMASK, &savedMask, nullptr);
    }

private:
    sigset_t savedMask;
    struct sigaction savedAction;
};

struct tStatusCase {
    const char* name;
    const char* variable;
    const char* value;
    DWORD status;
};

void PrintTo(const tStatusCase& c, std::ostream* out) {
    *out << c.name;
}

class ProcessExitStatus : public ProcessWait, public testing::WithParamInterface<tStatusCase> {};

// The exit status as the child gave it; a child ended by a signal reads 128 plus its number.
// The parent blocks and ignores SIGTERM meanwhile: the child still starts with default signal
// handling and an empty mask.
TEST_P(ProcessExitStatus, IsWhatTheChildEndedWith) {
    tHostileSignalState hostile;
    environment.set(GetParam().variable, GetParam().value);
    tChild child;
    ASSERT_TRUE(fixtures::startFormatter(child, fixtures::plainStartup()));
    ASSERT_EQ(WaitForSingleObject(child.info.hProcess, generous), WAIT_OBJECT_0);
    DWORD code = 0xdead;
    ASSERT_TRUE(GetExitCodeProcess(child.info.hProcess, &code));
    EXPECT_EQ(code, GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProcessExitStatus,
    testing::Values(tStatusCase{"Success", "FAKE_FORMATTER_EXIT", "0", 0},
                    tStatusCase{"Failure", "FAKE_FORMATTER_EXIT", "1", 1},
                    tStatusCase{"Highest", "FAKE_FORMATTER_EXIT", "255", 255},
                    tStatusCase{"Terminated", "FAKE_FORMATTER_SIGNAL", "15", 128 + 15},
                    tStatusCase{"Killed", "FAKE_FORMATTER_SIGNAL", "9", 128 + 9},
                    tStatusCase{"Aborted", "FAKE_FORMATTER_SIGNAL", "6", 128 + 6}),
    [](const testing::TestParamInfo<tStatusCase>& info) { return std::string(info.param.name); });

TEST_F(ProcessWait, OnlyProcessesAndThreadsAreWaitable) {
    tOwnedHandle readEnd, writeEnd;
    ASSERT_TRUE(CreatePipe(readEnd.out(), writeEnd.out(), nullptr, 0));
    HANDLE closed = nullptr, other = nullptr;
    ASSERT_TRUE(CreatePipe(&closed, &other, nullptr, 0));
    CloseHandle(closed);
    CloseHandle(other);

    for (HANDLE handle : {readEnd.get(), closed, static_cast<HANDLE>(nullptr)}) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(WaitForSingleObject(handle, 0), WAIT_FAILED);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        DWORD code = 0xdead;
        EXPECT_FALSE(GetExitCodeProcess(handle, &code));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        EXPECT_EQ(code, 0xdeadu);
    }
}

TEST_F(ProcessWait, ThisProcessIsStillActive) {
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeProcess(GetCurrentProcess(), &code));
    EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));
}

// Closing the last handles of a running child neither waits for it nor kills it; once it has
// ended, the next process call reaps it.
TEST_F(ProcessWait, AChildLeftRunningIsReapedLater) {
    tChild child;
    tOwnedHandle stdinWrite;
    ASSERT_NO_FATAL_FAILURE(startHeldChild(child, stdinWrite));
    pid_t pid = static_cast<pid_t>(child.info.dwProcessId);
    ASSERT_TRUE(CloseHandle(child.info.hThread));
    ASSERT_TRUE(CloseHandle(child.info.hProcess));
    child.info = PROCESS_INFORMATION{};

    siginfo_t info{};
    ASSERT_EQ(waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT), 0);
    EXPECT_EQ(info.si_pid, 0) << "the child should still be running";

    stdinWrite.close();
    bool reaped = false;
    DWORD ignored;
    for (int i = 0; i < 300 && !reaped; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        GetExitCodeProcess(GetCurrentProcess(), &ignored);
        reaped = !fixtures::isUnreapedChild(pid);
    }
    EXPECT_TRUE(reaped);
}

TEST_F(ProcessWait, ClosingTheHandlesOfAnEndedChildReapsIt) {
    tChild child;
    ASSERT_TRUE(fixtures::startFormatter(child, fixtures::plainStartup()));
    pid_t pid = static_cast<pid_t>(child.info.dwProcessId);
    // Let it end without any wait of ours, which would reap it.
    siginfo_t info{};
    for (int i = 0; i < 300 && info.si_pid == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_EQ(waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT), 0);
    }
    ASSERT_NE(info.si_pid, 0) << "the child did not end";
    ASSERT_TRUE(CloseHandle(child.info.hProcess));
    EXPECT_TRUE(fixtures::isUnreapedChild(pid)) << "the thread handle still holds the process";
    ASSERT_TRUE(CloseHandle(child.info.hThread));
    child.info = PROCESS_INFORMATION{};
    EXPECT_FALSE(fixtures::isUnreapedChild(pid));
}

// A child that writes far more than a pipe holds ends when the pipe is drained between the
// waits, as the program does, and every byte arrives in order.
TEST_F(ProcessWait, AFloodIsDrainedWhileWaiting) {
    fixtures::tScratchDirectory scratch;
    const std::string head("head\0", 5);
    const long long floodSize = 10 * 1024 * 1024;
    environment.set("FAKE_FORMATTER_STDERR_FILE", scratch.writeFile("head.bin", head))
        .set("FAKE_FORMATTER_STDERR_FLOOD", std::to_string(floodSize));
    tOwnedHandle readEnd, writeEnd;
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    ASSERT_TRUE(CreatePipe(readEnd.out(), writeEnd.out(), &inherit, 0));
    tChild child;
    ASSERT_TRUE(fixtures::startFormatter(
        child, fixtures::startupWith(GetStdHandle(STD_INPUT_HANDLE),
                                     GetStdHandle(STD_OUTPUT_HANDLE), writeEnd.get())));
    writeEnd.close();

    std::string arrived;
    std::vector<char> buffer(256 * 1024);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    DWORD waited;
    while ((waited = WaitForSingleObject(child.info.hProcess, 20)) == WAIT_TIMEOUT) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the child never ended";
        DWORD available = 0;
        while (PeekNamedPipe(readEnd.get(), nullptr, 0, nullptr, &available, nullptr) &&
               available > 0) {
            DWORD got = 0;
            ASSERT_TRUE(ReadFile(readEnd.get(), buffer.data(),
                                 std::min<DWORD>(available, static_cast<DWORD>(buffer.size())),
                                 &got, nullptr));
            arrived.append(buffer.data(), got);
        }
    }
    ASSERT_EQ(waited, WAIT_OBJECT_0);
    DWORD lastError = 0;
    arrived += fixtures::readToEnd(readEnd.get(), lastError);
    EXPECT_EQ(lastError, static_cast<DWORD>(ERROR_BROKEN_PIPE));

    ASSERT_EQ(arrived.size(), head.size() + static_cast<std::size_t>(floodSize));
    EXPECT_EQ(arrived.compare(0, head.size(), head), 0);
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(floodSize); ++i)
        if (arrived[head.size() + i] != static_cast<char>('a' + i % 26))
            ++wrong;
    EXPECT_EQ(wrong, 0u);
}

} // namespace
