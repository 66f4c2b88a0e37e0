#pragma once

// What the process and pipe tests share: a scratch directory, environment settings for the
// formatter stand-in, its record, the children of this process, and owners that end a child
// and close its handles whatever a test does.

#include "platform/linux/file_object.h"
#include "platform/win32_api.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fixtures {

namespace fs = std::filesystem;

// The command line the program gives the formatter, with `target` behind "-o".
inline std::string formatterCommandLine(const std::string& target) {
    return "usbfiles\\makebootfat.exe -o " + target +
           " -E 255 -1 fat12.bin -2 fat16.bin -3 fat32lba.bin -m mbrfat.bin -c kernel.sys -c "
           "command.com image";
}

inline fs::path testExecutableDirectory() {
    return fs::read_symlink("/proc/self/exe").parent_path();
}

// A fresh directory under the temporary directory, removed with its contents.
class tScratchDirectory {
public:
    tScratchDirectory() {
        std::string pattern = (fs::temp_directory_path() / "bootdisk-process-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        root = pattern;
    }
    ~tScratchDirectory() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    tScratchDirectory(const tScratchDirectory&) = delete;
    tScratchDirectory& operator=(const tScratchDirectory&) = delete;

    const fs::path& path() const { return root; }
    fs::path operator/(const std::string& name) const { return root / name; }

    fs::path writeFile(const std::string& name, const std::string& bytes) const {
        fs::path file = root / name;
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

private:
    fs::path root;
};

// Sets environment variables, which children inherit, and restores them when it goes.
class tEnvironment {
public:
    tEnvironment() = default;
    ~tEnvironment() {
        for (const auto& [name, value] : saved)
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
    }
    tEnvironment(const tEnvironment&) = delete;
    tEnvironment& operator=(const tEnvironment&) = delete;

    tEnvironment& set(const std::string& name, const std::string& value) {
        if (!saved.count(name)) {
            const char* old = getenv(name.c_str());
            saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        setenv(name.c_str(), value.c_str(), 1);
        return *this;
    }

private:
    std::map<std::string, std::optional<std::string>> saved;
};

// Runs the test from another working directory, and goes back.
class tWorkingDirectory {
public:
    explicit tWorkingDirectory(const fs::path& directory) : previous(fs::current_path()) {
        fs::current_path(directory);
    }
    ~tWorkingDirectory() { fs::current_path(previous); }
    tWorkingDirectory(const tWorkingDirectory&) = delete;
    tWorkingDirectory& operator=(const tWorkingDirectory&) = delete;

private:
    fs::path previous;
};

// What the formatter stand-in wrote about itself.
struct tRecord {
    bool present = false;
    std::vector<std::string> arguments;
    std::string workingDirectory;
    std::set<int> descriptors;
    long pid = 0;
    long processGroup = 0;
};

inline tRecord readRecord(const fs::path& file) {
    tRecord record;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return record;
    record.present = true;
    std::string line;
    while (std::getline(in, line)) {
        std::size_t space = line.find(' ');
        std::string key = line.substr(0, space);
        std::string value = space == std::string::npos ? "" : line.substr(space + 1);
        if (key == "arg")
            record.arguments.push_back(value);
        else if (key == "cwd")
            record.workingDirectory = value;
        else if (key == "fd")
            record.descriptors.insert(std::stoi(value));
        else if (key == "pid")
            record.pid = std::stol(value);
        else if (key == "pgid")
            record.processGroup = std::stol(value);
    }
    return record;
}

// The children of this thread that have not been reaped, zombies included.
inline std::set<long> unreapedChildren() {
    std::set<long> children;
    std::ifstream in("/proc/self/task/" + std::to_string(syscall(SYS_gettid)) + "/children");
    long pid;
    while (in >> pid)
        children.insert(pid);
    return children;
}

// Whether `pid` is a child of ours that has not been reaped yet (running or a zombie).
inline bool isUnreapedChild(pid_t pid) {
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0;
}

// Owns a started child's handles; a child still running at the end is killed, so that no test
// leaves one behind, and waited for, within bounds.
class tChild {
public:
    tChild() = default;
    ~tChild() {
        if (info.hProcess) {
            if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
                kill(static_cast<pid_t>(info.dwProcessId), SIGKILL);
                WaitForSingleObject(info.hProcess, 10000);
            }
            CloseHandle(info.hProcess);
        }
        if (info.hThread)
            CloseHandle(info.hThread);
    }
    tChild(const tChild&) = delete;
    tChild& operator=(const tChild&) = delete;

    PROCESS_INFORMATION info{};
};

// Owns a handle that a test may close early through release().
class tOwnedHandle {
public:
    explicit tOwnedHandle(HANDLE owned = nullptr) : handle(owned) {}
    ~tOwnedHandle() { close(); }
    tOwnedHandle(const tOwnedHandle&) = delete;
    tOwnedHandle& operator=(const tOwnedHandle&) = delete;

    HANDLE get() const { return handle; }
    HANDLE* out() { return &handle; }
    void close() {
        if (handle)
            CloseHandle(handle);
        handle = nullptr;
    }

private:
    HANDLE handle;
};

// Writes into a pipe's write end through its descriptor (WriteFile is not part of the subset).
inline void writeBytes(HANDLE writeEnd, const std::string& bytes) {
    auto object = platform::lookupHandleAs<platform::tFileObject>(writeEnd);
    if (!object)
        throw std::runtime_error("not a file handle");
    if (::write(object->fd(), bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        throw std::runtime_error("short write");
}

// Reads until the pipe reports its end, and says how the last read failed.
inline std::string readToEnd(HANDLE readEnd, DWORD& lastError) {
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr))
        bytes.append(buffer, got);
    lastError = GetLastError();
    return bytes;
}

// A start-up record that names no streams: the child gets ours.
inline STARTUPINFOA plainStartup() {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    return startup;
}

// A start-up record that hands the child these three streams.
inline STARTUPINFOA startupWith(HANDLE input, HANDLE output, HANDLE error) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = error;
    return startup;
}

// Starts the formatter stand-in beside the tests as the program starts the real one.
inline BOOL startFormatter(tChild& child, STARTUPINFOA startup, const std::string& arguments = "",
                           const char* directory = nullptr, BOOL inheritHandles = TRUE,
                           void* environment = nullptr) {
    std::string commandLine = "usbfiles\\makebootfat.exe" + arguments;
    return CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, inheritHandles,
                          CREATE_NO_WINDOW, environment, directory, &startup, &child.info);
}

// How many descriptors this process has open.
inline std::size_t openDescriptorCount() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

} // namespace fixtures
