// CreateProcessA over posix_spawn.
//
// The program is the command line's first argument (or the application name); a relative path
// is taken relative to the directory of the running executable, the first place Windows looks.
// Backslashes in the program path and the working directory become slashes; the other
// arguments pass unchanged, except that an argument "\\.\PhysicalDriveN" becomes the file that
// stands for disk N now (or the start fails, so that a disk that was pulled or replaced is
// never written). The child gets its own process group, default signal handling, and no
// descriptors but 0, 1 and 2; those are the start-up record's handles when they are inheritable
// and the parent's own streams when the record names none.

#include "platform/linux/call_hook.h"
#include "platform/linux/command_line.h"
#include "platform/linux/errno_error.h"
#include "platform/linux/file_object.h"
#include "platform/linux/module_path.h"
#include "platform/linux/physical_drive.h"
#include "platform/linux/process_object.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <strings.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

BOOL fail(DWORD code) {
    SetLastError(code);
    return FALSE;
}

std::string withSlashes(std::string path) {
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

bool hasDriveLetter(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

// Where the program file is. There are no drives here: a path with a drive letter names
// nothing.
bool programPath(const std::string& name, const std::string& base, std::string& path,
                 DWORD& error) {
    if (name.empty() || hasDriveLetter(name)) {
        error = name.empty() ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
        return false;
    }
    path = withSlashes(name);
    if (path[0] != '/')
        path = base + "/" + path;
    return true;
}

// The directory of the running executable, for programs named without a full path.
bool executableDirectory(std::string& directory, DWORD& error) {
    if (!platform::modulePath(directory, error))
        return false;
    std::size_t slash = directory.rfind('/');
    if (slash == std::string::npos)
        directory = ".";
    else
        directory.erase(slash == 0 ? 1 : slash);
    return true;
}

bool workingDirectory(std::string& directory, DWORD& error) {
    std::vector<char> buffer(4096);
    while (!getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE) {
            error = platform::errorFromErrno(errno);
            return false;
        }
        buffer.resize(buffer.size() * 2);
    }
    directory = buffer.data();
    return true;
}

// The disk number of an argument that is exactly "\\.\PhysicalDriveN" with N in decimal.
bool physicalDriveNumber(const std::string& argument, DWORD& number) {
    static const char prefix[] = "\\\\.\\PhysicalDrive";
    const std::size_t prefixLength = sizeof prefix - 1;
    if (argument.size() <= prefixLength || strncasecmp(argument.c_str(), prefix, prefixLength))
        return false;
    std::string digits = argument.substr(prefixLength);
    if (digits.size() > 10 || (digits.size() > 1 && digits[0] == '0'))
        return false;
    unsigned long long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > 0xFFFFFFFFull)
        return false;
    number = static_cast<DWORD>(value);
    return true;
}

// "NAME=value\0...\0\0" into separate strings.
std::vector<std::string> environmentBlock(const char* block) {
    std::vector<std::string> variables;
    while (*block) {
        variables.emplace_back(block);
        block += variables.back().size() + 1;
    }
    return variables;
}

class tFileActions {
public:
    tFileActions() { posix_spawn_file_actions_init(&actions); }
    ~tFileActions() { posix_spawn_file_actions_destroy(&actions); }
    tFileActions(const tFileActions&) = delete;
    tFileActions& operator=(const tFileActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions; }

private:
    posix_spawn_file_actions_t actions;
};

class tSpawnAttributes {
public:
    tSpawnAttributes() { posix_spawnattr_init(&attributes); }
    ~tSpawnAttributes() { posix_spawnattr_destroy(&attributes); }
    tSpawnAttributes(const tSpawnAttributes&) = delete;
    tSpawnAttributes& operator=(const tSpawnAttributes&) = delete;
    posix_spawnattr_t* get() { return &attributes; }

private:
    posix_spawnattr_t attributes;
};

// Sets up the child's descriptor `target` from `handle`. What the child may use are the
// inheritable handles; anything else leaves it /dev/null, where Windows would give it a handle
// value that leads nowhere. The source is first copied above 2, so that no action overwrites
// the source of a later one; the copy is closed in the child by the closing of all above 2.
int standardStream(posix_spawn_file_actions_t* actions, int target, HANDLE handle,
                   bool inheritHandles, std::vector<platform::tUniqueFd>& copies) {
    auto object = platform::lookupHandleAs<platform::tFileObject>(handle);
    if (!object || !inheritHandles || !platform::isHandleInheritable(handle))
        return posix_spawn_file_actions_addopen(actions, target, "/dev/null",
                                                target == 0 ? O_RDONLY : O_WRONLY, 0);
    platform::tUniqueFd copy(fcntl(object->fd(), F_DUPFD_CLOEXEC, 3));
    if (!copy)
        return errno;
    int result = posix_spawn_file_actions_adddup2(actions, copy.get(), target);
    copies.push_back(std::move(copy));
    return result;
}

std::string describe(LPCSTR applicationName, LPCSTR commandLine, LPCSTR directory) {
    std::string detail;
    if (applicationName)
        detail += std::string("application=") + applicationName + " ";
    detail += commandLine ? commandLine : "(null)";
    detail += " dir=";
    detail += directory ? directory : "(null)";
    return detail;
}

// What is to be started, worked out before anything is.
struct tLaunch {
    std::string program;
    std::vector<std::string> arguments;
    std::string directory; // empty: ours
    bool ownEnvironment = false;
    std::vector<std::string> environment;
};

// False with the Win32 error code of the start in `error`.
bool prepareLaunch(LPCSTR applicationName, LPCSTR commandLine, LPCSTR currentDirectory,
                   LPVOID environment, tLaunch& launch, DWORD& error) {
    launch.arguments = platform::splitCommandLine(commandLine ? commandLine : applicationName);
    std::string base;
    if (applicationName) {
        // Windows completes an application name from the current directory.
        if (!workingDirectory(base, error) ||
            !programPath(applicationName, base, launch.program, error))
            return false;
    } else if (!executableDirectory(base, error) ||
               !programPath(launch.arguments[0], base, launch.program, error)) {
        return false;
    }

    if (currentDirectory) {
        launch.directory = withSlashes(currentDirectory);
        struct stat info;
        if (hasDriveLetter(launch.directory) || stat(launch.directory.c_str(), &info) != 0 ||
            !S_ISDIR(info.st_mode)) {
            error = ERROR_DIRECTORY;
            return false;
        }
    }

    for (std::size_t i = 1; i < launch.arguments.size(); ++i) {
        const std::string& argument = launch.arguments[i];
        DWORD disk;
        if (physicalDriveNumber(argument, disk)) {
            if (!platform::resolvePhysicalDrive(disk, launch.arguments[i], error))
                return false;
        } else if (argument.rfind("\\\\.\\", 0) == 0) {
            // Any other name in the device namespace names nothing here; passed on, it would
            // become a file in the tool's working directory.
            error = ERROR_FILE_NOT_FOUND;
            return false;
        }
    }

    if (environment) {
        launch.ownEnvironment = true;
        launch.environment = environmentBlock(static_cast<const char*>(environment));
    }
    return true;
}

// Starts the child; 0 or an errno value.
int spawn(tLaunch& launch, const STARTUPINFOA& startup, bool inheritHandles, pid_t& pid) {
    tFileActions actions;
    std::vector<platform::tUniqueFd> copies; // closed here once the child has its own
    int result = 0;
    if (startup.dwFlags & STARTF_USESTDHANDLES) {
        const HANDLE streams[3] = {startup.hStdInput, startup.hStdOutput, startup.hStdError};
        for (int target = 0; target < 3 && result == 0; ++target)
            result = standardStream(actions.get(), target, streams[target], inheritHandles, copies);
    }
    if (result == 0 && !launch.directory.empty())
        result = posix_spawn_file_actions_addchdir_np(actions.get(), launch.directory.c_str());
    // Descriptors are opened close-on-exec throughout; this also stops those that others in
    // the process opened without it.
    if (result == 0)
        result = posix_spawn_file_actions_addclosefrom_np(actions.get(), 3);

    tSpawnAttributes attributes;
    sigset_t noSignals, allSignals;
    sigemptyset(&noSignals);
    sigfillset(&allSignals);
    if (result == 0)
        result = posix_spawnattr_setflags(attributes.get(), POSIX_SPAWN_SETPGROUP |
                                                                POSIX_SPAWN_SETSIGMASK |
                                                                POSIX_SPAWN_SETSIGDEF);
    if (result == 0)
        result = posix_spawnattr_setpgroup(attributes.get(), 0);
    if (result == 0)
        result = posix_spawnattr_setsigmask(attributes.get(), &noSignals);
    if (result == 0)
        result = posix_spawnattr_setsigdefault(attributes.get(), &allSignals);
    if (result != 0)
        return result;

    std::vector<char*> argv, envp;
    for (std::string& argument : launch.arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    for (std::string& variable : launch.environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    return posix_spawn(&pid, launch.program.c_str(), actions.get(), attributes.get(), argv.data(),
                       launch.ownEnvironment ? envp.data() : environ);
}

} // namespace

BOOL WINAPI CreateProcessA(LPCSTR applicationName, LPSTR commandLine,
                           LPSECURITY_ATTRIBUTES processAttributes,
                           LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles,
                           DWORD creationFlags, LPVOID environment, LPCSTR currentDirectory,
                           LPSTARTUPINFOA startupInfo, LPPROCESS_INFORMATION processInformation) {
    if (DWORD code = platform::enterCall("CreateProcessA", [&] {
            return describe(applicationName, commandLine, currentDirectory);
        }))
        return fail(code);
    platform::reapAbandonedChildren();
    // No consoles here, so CREATE_NO_WINDOW changes nothing; other flags are not provided.
    if ((!applicationName && !commandLine) || !startupInfo || !processInformation ||
        (creationFlags & ~DWORD(CREATE_NO_WINDOW)))
        return fail(ERROR_INVALID_PARAMETER);

    tLaunch launch;
    DWORD error = 0;
    if (!prepareLaunch(applicationName, commandLine, currentDirectory, environment, launch, error))
        return fail(error);
    pid_t pid;
    if (int result = spawn(launch, *startupInfo, inheritHandles != 0, pid))
        return fail(platform::errorFromErrno(result));

    // Through syscall: this C library's <sys/pidfd.h> lacks C linkage for C++.
    platform::tUniqueFd pidfd(static_cast<int>(syscall(SYS_pidfd_open, pid, 0)));
    if (!pidfd) {
        // Without a way to wait for it the child cannot be handed out; end it at once.
        int cause = errno;
        kill(pid, SIGKILL);
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        return fail(platform::errorFromErrno(cause));
    }

    auto process = std::make_shared<platform::tProcessObject>(pid, std::move(pidfd));
    auto thread = std::make_shared<platform::tThreadObject>(process);
    processInformation->hProcess = platform::insertHandle(
        std::move(process), processAttributes && processAttributes->bInheritHandle);
    processInformation->hThread = platform::insertHandle(
        std::move(thread), threadAttributes && threadAttributes->bInheritHandle);
    processInformation->dwProcessId = static_cast<DWORD>(pid);
    processInformation->dwThreadId = static_cast<DWORD>(pid);
    return TRUE;
}
