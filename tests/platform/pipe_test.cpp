#include "platform/linux/file_object.h"
#include "platform/linux/handle_table.h"

#include "platform/process_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

namespace {

using fixtures::tOwnedHandle;

class Pipe : public testing::Test {
protected:
    void SetUp() override {
        countBefore = platform::liveHandleCount();
        ASSERT_TRUE(CreatePipe(readEnd.out(), writeEnd.out(), nullptr, 0));
    }

    DWORD peekAvailable(BOOL& ok) {
        DWORD available = 0xdead;
        ok = PeekNamedPipe(readEnd.get(), nullptr, 0, nullptr, &available, nullptr);
        return available;
    }

    std::size_t countBefore = 0;
    tOwnedHandle readEnd, writeEnd;
};

TEST_F(Pipe, DeliversBytesThenReportsTheBrokenPipeOnceEveryWriterHasGone) {
    fixtures::writeBytes(writeEnd.get(), std::string("abc\0def", 7));
    BOOL ok;
    EXPECT_EQ(peekAvailable(ok), 7u);
    EXPECT_TRUE(ok);

    char buffer[16] = {};
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(readEnd.get(), buffer, 3, &got, nullptr));
    EXPECT_EQ(std::string(buffer, got), "abc");
    EXPECT_EQ(peekAvailable(ok), 4u);

    writeEnd.close();
    // What was written stays readable after the writer has gone.
    EXPECT_EQ(peekAvailable(ok), 4u);
    EXPECT_TRUE(ok);
    ASSERT_TRUE(ReadFile(readEnd.get(), buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(std::string(buffer, got), std::string("\0def", 4));

    SetLastError(ERROR_SUCCESS);
    peekAvailable(ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BROKEN_PIPE));

    got = 99;
    EXPECT_FALSE(ReadFile(readEnd.get(), buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BROKEN_PIPE));
    EXPECT_EQ(got, 0u);
}

TEST_F(Pipe, EmptyWithAWriterLeftIsNotBroken) {
    tOwnedHandle duplicate;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), writeEnd.get(), GetCurrentProcess(),
                                duplicate.out(), 0, FALSE, DUPLICATE_SAME_ACCESS));
    writeEnd.close();
    BOOL ok;
    EXPECT_EQ(peekAvailable(ok), 0u);
    EXPECT_TRUE(ok) << "the duplicate still writes to the pipe";

    duplicate.close();
    peekAvailable(ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BROKEN_PIPE));
}

TEST_F(Pipe, ReadFileWaitsForData) {
    std::thread writer([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        fixtures::writeBytes(writeEnd.get(), "late");
    });
    char buffer[8];
    DWORD got = 0;
    BOOL ok = ReadFile(readEnd.get(), buffer, sizeof buffer, &got, nullptr);
    writer.join();
    ASSERT_TRUE(ok);
    EXPECT_EQ(std::string(buffer, got), "late");
}

// A peek with a buffer shows the bytes without taking them: the reads that follow get them all,
// in order, behind nothing and before what comes later.
TEST_F(Pipe, PeekWithABufferLeavesTheBytesForReadFile) {
    fixtures::writeBytes(writeEnd.get(), "0123456789");
    char shown[4] = {};
    DWORD copied = 0, available = 0, left = 99;
    ASSERT_TRUE(PeekNamedPipe(readEnd.get(), shown, sizeof shown, &copied, &available, &left));
    EXPECT_EQ(std::string(shown, copied), "0123");
    EXPECT_EQ(available, 10u);
    EXPECT_EQ(left, 0u);

    ASSERT_TRUE(PeekNamedPipe(readEnd.get(), shown, 2, &copied, &available, nullptr));
    EXPECT_EQ(std::string(shown, copied), "01");
    EXPECT_EQ(available, 10u);

    fixtures::writeBytes(writeEnd.get(), "ab");
    writeEnd.close();
    DWORD lastError = 0;
    EXPECT_EQ(fixtures::readToEnd(readEnd.get(), lastError), "0123456789ab");
    EXPECT_EQ(lastError, static_cast<DWORD>(ERROR_BROKEN_PIPE));
}

TEST_F(Pipe, EndsAreNotInheritableWithoutAttributesAndCloseOnExecAlways) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    tOwnedHandle inheritableRead, inheritableWrite;
    ASSERT_TRUE(CreatePipe(inheritableRead.out(), inheritableWrite.out(), &inherit, 0));

    EXPECT_FALSE(platform::isHandleInheritable(readEnd.get()));
    EXPECT_FALSE(platform::isHandleInheritable(writeEnd.get()));
    EXPECT_TRUE(platform::isHandleInheritable(inheritableRead.get()));
    EXPECT_TRUE(platform::isHandleInheritable(inheritableWrite.get()));
    for (HANDLE end :
         {readEnd.get(), writeEnd.get(), inheritableRead.get(), inheritableWrite.get()}) {
        auto object = platform::lookupHandleAs<platform::tFileObject>(end);
        ASSERT_TRUE(object);
        EXPECT_TRUE(fcntl(object->fd(), F_GETFD) & FD_CLOEXEC);
    }
}

TEST_F(Pipe, ClosingBothEndsReleasesEverything) {
    readEnd.close();
    writeEnd.close();
    EXPECT_EQ(platform::liveHandleCount(), countBefore);
}

TEST_F(Pipe, RefusesTheWrongEndsAndHandles) {
    char buffer[4];
    DWORD got = 0, available = 0;
    EXPECT_FALSE(ReadFile(writeEnd.get(), buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(PeekNamedPipe(writeEnd.get(), nullptr, 0, nullptr, &available, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    HANDLE closed = nullptr, ignored = nullptr;
    ASSERT_TRUE(CreatePipe(&closed, &ignored, nullptr, 0));
    CloseHandle(closed);
    CloseHandle(ignored);
    EXPECT_FALSE(ReadFile(closed, buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(PeekNamedPipe(closed, nullptr, 0, nullptr, &available, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(ReadFile(GetCurrentProcess(), buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(GetStdHandle, GivesOneInheritableHandlePerStandardDescriptor) {
    const DWORD which[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    HANDLE handles[3];
    for (int fd = 0; fd < 3; ++fd) {
        SCOPED_TRACE(fd);
        handles[fd] = GetStdHandle(which[fd]);
        ASSERT_NE(handles[fd], INVALID_HANDLE_VALUE);
        ASSERT_NE(handles[fd], nullptr);
        auto object = platform::lookupHandleAs<platform::tFileObject>(handles[fd]);
        ASSERT_TRUE(object);
        EXPECT_EQ(object->fd(), fd);
        EXPECT_TRUE(platform::isHandleInheritable(handles[fd]));
    }
    EXPECT_NE(handles[0], handles[1]);
    EXPECT_NE(handles[1], handles[2]);
    std::size_t count = platform::liveHandleCount();
    EXPECT_EQ(GetStdHandle(STD_OUTPUT_HANDLE), handles[1]);
    EXPECT_EQ(platform::liveHandleCount(), count) << "made once, not per call";

    EXPECT_EQ(GetStdHandle(static_cast<DWORD>(-13)), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

} // namespace
