// Stands in for the formatter in tests, which start it as "usbfiles/makebootfat.exe". What it
// does comes from environment variables that it inherits, in this order:
//
//   FAKE_FORMATTER_RECORD        file into which it writes "arg <text>" per argument,
//                                "cwd <path>", and on Linux "fd <n>" per open descriptor,
//                                "pid <n>" and "pgid <n>"
//   FAKE_FORMATTER_STDOUT        text written to standard output
//   FAKE_FORMATTER_STDERR_FILE   file whose bytes are copied raw to standard error
//   FAKE_FORMATTER_STDERR_FLOOD  that many filler bytes written to standard error after them;
//                                byte i of the filler is 'a' + i % 26
//   FAKE_FORMATTER_STDIN_WAIT    when set, standard input is read to its end
//   FAKE_FORMATTER_SLEEP_MS      time to stay running
//   FAKE_FORMATTER_SIGNAL        signal number to end by
//   FAKE_FORMATTER_EXIT          exit status (0 without it)
//   FAKE_FORMATTER_EXIT_STAMP    file into which it writes the steady clock's time, in
//                                nanoseconds, right before it exits
//
// Portable C++17 for Linux and Windows.

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#else
#include <dirent.h>
#include <unistd.h>
#endif

namespace {

const char* variable(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

long long number(const char* name, long long otherwise) {
    const char* value = variable(name);
    return value ? std::strtoll(value, nullptr, 10) : otherwise;
}

void writeAll(std::FILE* stream, const char* bytes, std::size_t count) {
    std::fwrite(bytes, 1, count, stream);
    std::fflush(stream);
}

// The descriptors open in this process, not counting the one that lists them.
std::vector<int> openDescriptors() {
    std::vector<int> descriptors;
#if !defined(_WIN32)
    if (DIR* directory = opendir("/proc/self/fd")) {
        while (dirent* entry = readdir(directory)) {
            if (entry->d_name[0] == '.')
                continue;
            int fd = std::atoi(entry->d_name);
            if (fd != dirfd(directory))
                descriptors.push_back(fd);
        }
        closedir(directory);
    }
#endif
    return descriptors;
}

void record(const char* path, int argc, char** argv) {
    std::vector<int> descriptors = openDescriptors(); // before the record itself is open
    std::FILE* out = std::fopen(path, "wb");
    if (!out)
        std::exit(120);
    for (int i = 0; i < argc; ++i)
        std::fprintf(out, "arg %s\n", argv[i]);
    std::error_code error;
    std::fprintf(out, "cwd %s\n", std::filesystem::current_path(error).string().c_str());
    for (int fd : descriptors)
        std::fprintf(out, "fd %d\n", fd);
#if !defined(_WIN32)
    std::fprintf(out, "pid %ld\npgid %ld\n", static_cast<long>(getpid()),
                 static_cast<long>(getpgrp()));
#endif
    std::fclose(out);
}

void copyToStandardError(const char* path) {
    std::FILE* in = std::fopen(path, "rb");
    if (!in)
        std::exit(121);
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        writeAll(stderr, buffer, n);
    std::fclose(in);
}

void flood(long long count) {
    std::vector<char> chunk(64 * 1024);
    for (long long written = 0; written < count;) {
        std::size_t n = static_cast<std::size_t>(
            std::min<long long>(count - written, static_cast<long long>(chunk.size())));
        for (std::size_t i = 0; i < n; ++i)
            chunk[i] = static_cast<char>('a' + (written + static_cast<long long>(i)) % 26);
        writeAll(stderr, chunk.data(), n);
        written += static_cast<long long>(n);
    }
}

void drainStandardInput() {
    char buffer[4096];
    while (std::fread(buffer, 1, sizeof buffer, stdin) > 0) {
    }
}

} // namespace

int main(int argc, char** argv) {
#if defined(_WIN32)
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    if (const char* path = variable("FAKE_FORMATTER_RECORD"))
        record(path, argc, argv);
    if (const char* text = variable("FAKE_FORMATTER_STDOUT")) {
        std::string line(text);
        writeAll(stdout, line.data(), line.size());
    }
    if (const char* path = variable("FAKE_FORMATTER_STDERR_FILE"))
        copyToStandardError(path);
    if (long long count = number("FAKE_FORMATTER_STDERR_FLOOD", 0); count > 0)
        flood(count);
    if (variable("FAKE_FORMATTER_STDIN_WAIT"))
        drainStandardInput();
    if (long long ms = number("FAKE_FORMATTER_SLEEP_MS", 0); ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    if (long long signal = number("FAKE_FORMATTER_SIGNAL", 0); signal > 0)
        std::raise(static_cast<int>(signal));
    if (const char* path = variable("FAKE_FORMATTER_EXIT_STAMP")) {
        if (std::FILE* out = std::fopen(path, "wb")) {
            auto now = std::chrono::steady_clock::now().time_since_epoch();
            std::fprintf(out, "%lld\n",
                         static_cast<long long>(
                             std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
            std::fclose(out);
        }
    }
    return static_cast<int>(number("FAKE_FORMATTER_EXIT", 0));
}
