#include "platform/linux/handle_table.h"
#include "platform/linux/module_path.h"
#include "platform/simulated/simulated_platform.h"

#include "fixtures/inventories.h"
#include "platform/process_fixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using fixtures::tChild;
using fixtures::tOwnedHandle;

const DWORD generous = 30000; // bounds every wait for a child that ends by itself

std::string directoryOfExecutable() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string directory(path, length);
    return directory.substr(0, directory.rfind('/'));
}

// Puts the real executable path back whatever a test does.
class tModulePathOverride {
public:
    explicit tModulePathOverride(const fs::path& path) {
        platform::setModulePathForTesting(path.string());
    }
    ~tModulePathOverride() { platform::setModulePathForTesting(std::nullopt); }
};

void writeProgram(const fs::path& file, const std::string& content, fs::perms permissions) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
    fs::permissions(file, permissions);
}

const fs::perms executable = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                             fs::perms::others_read | fs::perms::others_exec;

class CreateProcess : public testing::Test {
protected:
    void SetUp() override {
        // The standard handles are made once per process; make them before any counting.
        GetStdHandle(STD_INPUT_HANDLE);
        GetStdHandle(STD_OUTPUT_HANDLE);
        GetStdHandle(STD_ERROR_HANDLE);
        environment.set("FAKE_FORMATTER_RECORD", record.string());
        sim::tSimDisk stick = fixtures::disk(7, "Stick");
        stick.backingFile = (scratch / "disk7.img").string();
        inventory.disks.push_back(stick);
    }

    DWORD exitCodeAfterEnd(tChild& child) {
        EXPECT_EQ(WaitForSingleObject(child.info.hProcess, generous), WAIT_OBJECT_0);
        DWORD code = 0xdead;
        EXPECT_TRUE(GetExitCodeProcess(child.info.hProcess, &code));
        return code;
    }

    fixtures::tScratchDirectory scratch;
    fixtures::tEnvironment environment;
    fs::path record = scratch / "record.txt";
    sim::tInventory inventory;
};

// The program's own command line and working directory, started from elsewhere: the program is
// found beside the executable, the directory's backslash is a separator, and the target path
// becomes the file that stands for disk 7.
TEST_F(CreateProcess, RunsTheFormatterBesideTheExecutableOnTheDisksFile) {
    sim::tSimulatedPlatform platform(inventory);
    fixtures::tWorkingDirectory elsewhere(scratch.path());
    std::string directory = directoryOfExecutable() + "\\usbfiles";
    std::string commandLine = fixtures::formatterCommandLine(R"(\\.\PhysicalDrive7)");
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    tChild child;

    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                               CREATE_NO_WINDOW, nullptr, directory.c_str(), &startup,
                               &child.info));
    EXPECT_NE(child.info.hProcess, nullptr);
    EXPECT_NE(child.info.hThread, nullptr);
    EXPECT_NE(child.info.hProcess, child.info.hThread);
    EXPECT_NE(child.info.dwProcessId, 0u);
    EXPECT_EQ(exitCodeAfterEnd(child), 0u);

    fixtures::tRecord seen = fixtures::readRecord(record);
    ASSERT_TRUE(seen.present);
    const std::vector<std::string> expected = {R"(usbfiles\makebootfat.exe)",
                                               "-o",
                                               (scratch / "disk7.img").string(),
                                               "-E",
                                               "255",
                                               "-1",
                                               "fat12.bin",
                                               "-2",
                                               "fat16.bin",
                                               "-3",
                                               "fat32lba.bin",
                                               "-m",
                                               "mbrfat.bin",
                                               "-c",
                                               "kernel.sys",
                                               "-c",
                                               "command.com",
                                               "image"};
    EXPECT_EQ(seen.arguments, expected);
    EXPECT_EQ(seen.workingDirectory, fs::canonical(directoryOfExecutable() + "/usbfiles"));
    EXPECT_EQ(seen.pid, static_cast<long>(child.info.dwProcessId));

    const std::vector<std::string>& log = platform.callLog();
    EXPECT_NE(std::find(log.begin(), log.end(),
                        "CreateProcessA(" + commandLine + " dir=" + directory + ")"),
              log.end());
}

TEST_F(CreateProcess, SplitsTheLineAndReplacesOnlyExactDriveNames) {
    sim::tSimulatedPlatform platform(inventory);
    tChild child;
    ASSERT_TRUE(
        fixtures::startFormatter(child, fixtures::plainStartup(),
                                 R"( "two words" a\"b \\.\physicaldrive7 x\\.\PhysicalDrive7)"));
    EXPECT_EQ(exitCodeAfterEnd(child), 0u);
    const std::vector<std::string> expected = {R"(usbfiles\makebootfat.exe)", "two words", R"(a"b)",
                                               (scratch / "disk7.img").string(),
                                               R"(x\\.\PhysicalDrive7)"};
    EXPECT_EQ(fixtures::readRecord(record).arguments, expected);
}

// Other names in the device namespace name nothing on this platform; the tool is not started
// with them.
TEST_F(CreateProcess, RefusesOtherDeviceNames) {
    sim::tSimulatedPlatform platform(inventory);
    for (const char* name :
         {R"(\\.\PhysicalDrive7x)", R"(\\.\PhysicalDrive07)", R"(\\.\PhysicalDrive)",
          R"(\\.\PhysicalDrive99999999999)", R"(\\.\C:)"}) {
        SCOPED_TRACE(name);
        std::size_t handles = platform::liveHandleCount();
        tChild child;
        EXPECT_FALSE(
            fixtures::startFormatter(child, fixtures::plainStartup(), std::string(" ") + name));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
        EXPECT_EQ(platform::liveHandleCount(), handles);
        EXPECT_FALSE(fs::exists(record));
    }
}

// The program is looked for beside whatever GetModuleFileNameA reports, not beside the
// working directory.
TEST_F(CreateProcess, FindsTheProgramBesideTheReportedExecutable) {
    writeProgram(scratch / "app/usbfiles/makebootfat.exe", "#!/bin/sh\nexit 42\n", executable);
    tModulePathOverride moved(scratch / "app/bootdisk");
    tChild child;
    ASSERT_TRUE(fixtures::startFormatter(child, fixtures::plainStartup()));
    EXPECT_EQ(exitCodeAfterEnd(child), 42u);
}

TEST_F(CreateProcess, TakesAnAbsoluteProgramPathAsItIs) {
    writeProgram(scratch / "my tools/tool.exe", "#!/bin/sh\nexit 43\n", executable);
    std::string commandLine = "\"" + (scratch / "my tools").string() + "\\tool.exe\" x";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    tChild child;
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                               nullptr, &startup, &child.info));
    EXPECT_EQ(exitCodeAfterEnd(child), 43u);
}

// An application name is completed from the current directory, as on Windows; the command
// line then only supplies the arguments.
TEST_F(CreateProcess, AnApplicationNameIsTakenFromTheCurrentDirectory) {
    writeProgram(scratch / "tools/tool.exe", "#!/bin/sh\nexit $(($# + 40))\n", executable);
    fixtures::tWorkingDirectory here(scratch.path());
    std::string commandLine = "tool.exe a b";
    STARTUPINFOA startup = fixtures::plainStartup();
    tChild child;
    ASSERT_TRUE(CreateProcessA("tools\\tool.exe", commandLine.data(), nullptr, nullptr, TRUE, 0,
                               nullptr, nullptr, &startup, &child.info));
    EXPECT_EQ(exitCodeAfterEnd(child), 42u);
}

// Only 0, 1 and 2 reach the child, even from a descriptor opened without close-on-exec, and
// the child leads a process group of its own.
TEST_F(CreateProcess, ChildHasOnlyTheStandardDescriptorsAndItsOwnProcessGroup) {
    platform::tUniqueFd leaky(open("/dev/null", O_RDONLY));
    ASSERT_TRUE(leaky);
    tOwnedHandle readEnd, writeEnd, inheritable;
    ASSERT_TRUE(CreatePipe(readEnd.out(), writeEnd.out(), nullptr, 0));
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), writeEnd.get(), GetCurrentProcess(),
                                inheritable.out(), 0, TRUE, DUPLICATE_SAME_ACCESS));
    tChild child;
    ASSERT_TRUE(fixtures::startFormatter(
        child, fixtures::startupWith(GetStdHandle(STD_INPUT_HANDLE),
                                     GetStdHandle(STD_OUTPUT_HANDLE), inheritable.get())));
    EXPECT_EQ(exitCodeAfterEnd(child), 0u);

    fixtures::tRecord seen = fixtures::readRecord(record);
    ASSERT_TRUE(seen.present);
    EXPECT_EQ(seen.descriptors, (std::set<int>{0, 1, 2}));
    EXPECT_EQ(seen.processGroup, seen.pid);
    EXPECT_NE(seen.processGroup, static_cast<long>(getpgrp()));
}

// The program's own sequence: a pipe without inheritance, its write end replaced by an
// inheritable duplicate that becomes standard error. The child's error bytes arrive raw, NUL
// included; its standard output goes to the standard output it was given.
TEST_F(CreateProcess, StandardErrorReachesThePipeAndStandardOutputDoesNot) {
    const std::string errorBytes("Error: can't open\0tail\xff\n", 24);
    environment.set("FAKE_FORMATTER_STDERR_FILE", scratch.writeFile("err.bin", errorBytes))
        .set("FAKE_FORMATTER_STDOUT", "progress text\n")
        .set("FAKE_FORMATTER_EXIT", "1");
    tOwnedHandle errorRead, outputRead, outputWrite;
    HANDLE errorWrite = nullptr;
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    ASSERT_TRUE(CreatePipe(outputRead.out(), outputWrite.out(), &inherit, 0));
    ASSERT_TRUE(CreatePipe(errorRead.out(), &errorWrite, nullptr, 0));
    tOwnedHandle errorForChild;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), errorWrite, GetCurrentProcess(),
                                errorForChild.out(), 0, TRUE,
                                DUPLICATE_CLOSE_SOURCE | DUPLICATE_SAME_ACCESS));

    tChild child;
    ASSERT_TRUE(fixtures::startFormatter(
        child, fixtures::startupWith(GetStdHandle(STD_INPUT_HANDLE), outputWrite.get(),
                                     errorForChild.get())));
    errorForChild.close();
    outputWrite.close();
    EXPECT_EQ(exitCodeAfterEnd(child), 1u);

    DWORD lastError = 0;
    EXPECT_EQ(fixtures::readToEnd(errorRead.get(), lastError), errorBytes);
    EXPECT_EQ(lastError, static_cast<DWORD>(ERROR_BROKEN_PIPE));
    EXPECT_EQ(fixtures::readToEnd(outputRead.get(), lastError), "progress text\n");
}

struct tWithheldCase {
    const char* name;
    bool handleInheritable;
    BOOL inheritHandles;
};

void PrintTo(const tWithheldCase& c, std::ostream* out) {
    *out << c.name;
}

class CreateProcessWithheld : public CreateProcess,
                              public testing::WithParamInterface<tWithheldCase> {};

// A handle the child may not inherit does not reach it: its standard error leads nowhere (but
// is open), and the pipe sees nothing.
TEST_P(CreateProcessWithheld, StandardErrorLeadsNowhere) {
    environment.set("FAKE_FORMATTER_STDERR_FILE", scratch.writeFile("err.bin", "lost words"));
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    tOwnedHandle readEnd, writeEnd;
    ASSERT_TRUE(CreatePipe(readEnd.out(), writeEnd.out(),
                           GetParam().handleInheritable ? &inherit : nullptr, 0));
    tChild child;
    ASSERT_TRUE(fixtures::startFormatter(child,
                                         fixtures::startupWith(GetStdHandle(STD_INPUT_HANDLE),
                                                               GetStdHandle(STD_OUTPUT_HANDLE),
                                                               writeEnd.get()),
                                         "", nullptr, GetParam().inheritHandles));
    EXPECT_EQ(exitCodeAfterEnd(child), 0u);
    writeEnd.close();

    DWORD lastError = 0;
    EXPECT_EQ(fixtures::readToEnd(readEnd.get(), lastError), "");
    EXPECT_EQ(lastError, static_cast<DWORD>(ERROR_BROKEN_PIPE));
    EXPECT_EQ(fixtures::readRecord(record).descriptors, (std::set<int>{0, 1, 2}));
}

INSTANTIATE_TEST_SUITE_P(Table, CreateProcessWithheld,
                         testing::Values(tWithheldCase{"NotInheritable", false, TRUE},
                                         tWithheldCase{"InheritanceOff", true, FALSE}),
                         [](const testing::TestParamInfo<tWithheldCase>& info) {
                             return std::string(info.param.name);
                         });

// Our standard error, led into a pipe for the test, and put back afterwards.
class tRedirectedStandardError {
public:
    tRedirectedStandardError() {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe2");
        readEnd.reset(ends[0]);
        platform::tUniqueFd writeEnd(ends[1]);
        saved.reset(fcntl(2, F_DUPFD_CLOEXEC, 3));
        dup2(writeEnd.get(), 2);
    }
    ~tRedirectedStandardError() { restore(); }
    void restore() {
        if (saved) {
            dup2(saved.get(), 2);
            saved.reset();
        }
    }
    int reader() const { return readEnd.get(); }

private:
    platform::tUniqueFd readEnd, saved;
};

TEST_F(CreateProcess, WithoutStandardHandlesTheChildSharesOurs) {
    environment.set("FAKE_FORMATTER_STDERR_FILE", scratch.writeFile("err.bin", "shared stream"));
    tRedirectedStandardError redirected;
    tChild child;
    BOOL started = fixtures::startFormatter(child, fixtures::plainStartup());
    DWORD code = started ? exitCodeAfterEnd(child) : 0xdead;
    redirected.restore();
    ASSERT_TRUE(started);
    EXPECT_EQ(code, 0u);
    std::string arrived;
    char buffer[256];
    ssize_t n;
    while ((n = read(redirected.reader(), buffer, sizeof buffer)) > 0)
        arrived.append(buffer, static_cast<std::size_t>(n));
    EXPECT_EQ(arrived, "shared stream");
}

TEST_F(CreateProcess, AnEnvironmentBlockReplacesOurs) {
    environment.set("FAKE_FORMATTER_EXIT", "3");
    char block[] = "FAKE_FORMATTER_EXIT=7\0OTHER=x\0";
    tChild child;
    ASSERT_TRUE(
        fixtures::startFormatter(child, fixtures::plainStartup(), "", nullptr, TRUE, block));
    EXPECT_EQ(exitCodeAfterEnd(child), 7u);
    EXPECT_FALSE(fixtures::readRecord(record).present) << "the record's variable was not passed";
}

struct tStartFailure {
    const char* name;
    // Prepares the scratch directory; returns the command line and the working directory.
    std::function<std::pair<std::string, std::optional<std::string>>(const fs::path& scratch,
                                                                     sim::tSimulatedPlatform&)>
        prepare;
    DWORD error;
    bool moveExecutable = false; // GetModuleFileNameA reports scratch/app/bootdisk
};

void PrintTo(const tStartFailure& c, std::ostream* out) {
    *out << c.name;
}

class CreateProcessFailure : public CreateProcess,
                             public testing::WithParamInterface<tStartFailure> {};

// A start that fails starts nothing, leaves the process record alone, and leaks no handle and
// no descriptor.
TEST_P(CreateProcessFailure, StartsNothingAndLeaksNothing) {
    sim::tSimulatedPlatform platform(inventory);
    std::optional<tModulePathOverride> moved;
    if (GetParam().moveExecutable)
        moved.emplace(scratch / "app/bootdisk");
    auto [commandLine, directory] = GetParam().prepare(scratch.path(), platform);

    tOwnedHandle readEnd, writeEnd;
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    ASSERT_TRUE(CreatePipe(readEnd.out(), writeEnd.out(), &inherit, 0));
    STARTUPINFOA startup = fixtures::startupWith(GetStdHandle(STD_INPUT_HANDLE),
                                                 GetStdHandle(STD_OUTPUT_HANDLE), writeEnd.get());
    std::size_t handles = platform::liveHandleCount();
    std::size_t descriptors = fixtures::openDescriptorCount();
    std::set<long> children = fixtures::unreapedChildren();
    PROCESS_INFORMATION info;
    memset(&info, 0xa5, sizeof info);
    PROCESS_INFORMATION untouched = info;

    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                CREATE_NO_WINDOW, nullptr, directory ? directory->c_str() : nullptr,
                                &startup, &info));
    EXPECT_EQ(GetLastError(), GetParam().error);
    EXPECT_EQ(memcmp(&info, &untouched, sizeof info), 0);
    EXPECT_EQ(platform::liveHandleCount(), handles);
    EXPECT_EQ(fixtures::openDescriptorCount(), descriptors);
    for (long pid : fixtures::unreapedChildren())
        EXPECT_TRUE(children.count(pid)) << "a child was started: " << pid;
    EXPECT_FALSE(fixtures::readRecord(record).present);
}

std::string formatterDirectory() {
    return directoryOfExecutable() + "\\usbfiles";
}

INSTANTIATE_TEST_SUITE_P(
    Table, CreateProcessFailure,
    testing::Values(
        tStartFailure{"MissingProgram",
                      [](const fs::path&, sim::tSimulatedPlatform&) {
                          return std::pair(fixtures::formatterCommandLine(R"(\\.\PhysicalDrive7)"),
                                           std::optional<std::string>());
                      },
                      ERROR_FILE_NOT_FOUND, true},
        tStartFailure{"ProgramNotExecutable",
                      [](const fs::path& scratch, sim::tSimulatedPlatform&) {
                          writeProgram(scratch / "app/usbfiles/makebootfat.exe",
                                       "#!/bin/sh\nexit 0\n",
                                       fs::perms::owner_read | fs::perms::owner_write);
                          return std::pair(fixtures::formatterCommandLine(R"(\\.\PhysicalDrive7)"),
                                           std::optional<std::string>());
                      },
                      ERROR_ACCESS_DENIED, true},
        tStartFailure{"ProgramOfUnknownFormat",
                      [](const fs::path& scratch, sim::tSimulatedPlatform&) {
                          writeProgram(scratch / "app/usbfiles/makebootfat.exe",
                                       std::string("\x01\x02\x03 no program\n"), executable);
                          return std::pair(fixtures::formatterCommandLine(R"(\\.\PhysicalDrive7)"),
                                           std::optional<std::string>());
                      },
                      ERROR_BAD_EXE_FORMAT, true},
        tStartFailure{"ProgramOnADrive",
                      [](const fs::path&, sim::tSimulatedPlatform&) {
                          return std::pair(std::string(R"(C:\usbfiles\makebootfat.exe -o x)"),
                                           std::optional<std::string>());
                      },
                      ERROR_PATH_NOT_FOUND},
        tStartFailure{"EmptyCommandLine",
                      [](const fs::path&, sim::tSimulatedPlatform&) {
                          return std::pair(std::string(), std::optional<std::string>());
                      },
                      ERROR_FILE_NOT_FOUND},
        tStartFailure{"MissingWorkingDirectory",
                      [](const fs::path& scratch, sim::tSimulatedPlatform&) {
                          return std::pair(fixtures::formatterCommandLine(R"(\\.\PhysicalDrive7)"),
                                           std::optional(scratch.string() + "\\missing"));
                      },
                      ERROR_DIRECTORY},
        tStartFailure{"WorkingDirectoryIsAFile",
                      [](const fs::path& scratch, sim::tSimulatedPlatform&) {
                          writeProgram(scratch / "plain", "x", fs::perms::owner_read);
                          return std::pair(fixtures::formatterCommandLine(R"(\\.\PhysicalDrive7)"),
                                           std::optional(scratch.string() + "\\plain"));
                      },
                      ERROR_DIRECTORY},
        tStartFailure{"UnknownDrive",
                      [](const fs::path&, sim::tSimulatedPlatform&) {
                          return std::pair(fixtures::formatterCommandLine(R"(\\.\PhysicalDrive3)"),
                                           std::optional(formatterDirectory()));
                      },
                      ERROR_FILE_NOT_FOUND},
        tStartFailure{"TheCallFails",
                      [](const fs::path&, sim::tSimulatedPlatform& platform) {
                          platform.failCall("CreateProcessA", 1, ERROR_NOT_ENOUGH_MEMORY);
                          return std::pair(fixtures::formatterCommandLine(R"(\\.\PhysicalDrive7)"),
                                           std::optional(formatterDirectory()));
                      },
                      ERROR_NOT_ENOUGH_MEMORY}),
    [](const testing::TestParamInfo<tStartFailure>& info) { return std::string(info.param.name); });

} // namespace
