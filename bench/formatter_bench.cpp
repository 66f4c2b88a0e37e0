// The formatter run, measured on the headless desktop:
// - what the program adds to a real 64 MiB format, against makebootfat started directly with
//   the same arguments, side by side in one run;
// - how long after the tool has ended the run says "Format complete.";
// - how much the program's memory grows while a tool floods its standard error with 100 MB.

#include "app/bootdisk_app.h"
#include "app/bootdisk_dialog.h"
#include "fixtures/formatter_layout.h"
#include "fixtures/inventories.h"
#include "platform/linux/module_path.h"
#include "platform/simulated/headless_user32.h"
#include "platform/simulated/simulated_platform.h"
#include "writer/formatter_run.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using clock_type = std::chrono::steady_clock;

// A scratch folder with a program folder and a 64 MiB stick, and the dialog on the headless
// desktop with that stick as disk 5.
class tBench {
public:
    explicit tBench(const fs::path& tool) {
        char pattern[] = "/tmp/bootdisk-bench-XXXXXX";
        root = mkdtemp(pattern);
        fixtures::layOutUsbfiles(root / "program", tool);
        stick = root / "stick.img";
        fixtures::makeSparseImage(stick, 64u << 20);
        platform::setModulePathForTesting((root / "program" / "bootdisk").string());
    }
    ~tBench() {
        platform::setModulePathForTesting(std::nullopt);
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    // Runs `work` inside the program's running dialog.
    void insideDialog(const std::function<void(tBootDiskDialog&)>& work) {
        sim::tInventory inventory;
        inventory.disks.push_back(fixtures::disk(0, "System SSD", "SCSI"));
        inventory.volumes.push_back(fixtures::volume("c", {0}, "C"));
        inventory.disks.push_back(fixtures::disk(5, "Virtual Stick"));
        inventory.disks.back().backingFile = stick.string();
        sim::tSimulatedPlatform platform(inventory);
        platform.setLogging(false);
        headless::reset();
        headless::inspect([&](HWND) { work(*static_cast<tBootDiskDialog*>(theApp.m_pMainWnd)); });
        headless::pressKey(VK_ESCAPE);
        theApp.InitInstance();
    }

    fs::path root;
    fs::path stick;
};

// makebootfat started directly, as the program starts it but without the program.
void formatDirectly(const fs::path& program, const fs::path& stick) {
    std::string tool = (program / "usbfiles" / "makebootfat.exe").string();
    std::vector<std::string> words = {
        tool,         "-o", stick.string(), "-E", "255",          "-1",
        "fat12.bin",  "-2", "fat16.bin",    "-3", "fat32lba.bin", "-m",
        "mbrfat.bin", "-c", "kernel.sys",   "-c", "command.com",  "image"};
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, (program / "usbfiles").c_str());
    pid_t pid = 0;
    if (posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
    }
    posix_spawn_file_actions_destroy(&actions);
}

double millisecondsBetween(clock_type::time_point from, clock_type::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

void BM_Format64MiB_ProgramAgainstDirect(benchmark::State& state) {
    tBench bench("/usr/bin/makebootfat");
    std::vector<double> direct, program;
    bench.insideDialog([&](tBootDiskDialog& dialog) {
        bool directFirst = true;
        for (auto _ : state) {
            // Alternating the order spreads caching and drift over both.
            for (int turn = 0; turn < 2; ++turn) {
                auto start = clock_type::now();
                if (directFirst == (turn == 0)) {
                    formatDirectly(bench.root / "program", bench.stick);
                    direct.push_back(millisecondsBetween(start, clock_type::now()));
                } else {
                    if (runFormatter(dialog, "\\\\.\\PhysicalDrive5") != formatSucceeded)
                        state.SkipWithError("the format failed");
                    program.push_back(millisecondsBetween(start, clock_type::now()));
                }
            }
            directFirst = !directFirst;
        }
    });
    // Medians: a format takes milliseconds, and a busy machine adds outliers to both sides.
    state.counters["direct_median_ms"] = median(direct);
    state.counters["program_median_ms"] = median(program);
    state.counters["ratio"] = median(program) / median(direct);
}
BENCHMARK(BM_Format64MiB_ProgramAgainstDirect)->Unit(benchmark::kMillisecond)->Iterations(101);

std::string standIn() {
    return BOOTDISK_FAKE_FORMATTER;
}

void BM_ToolExitToFormatComplete(benchmark::State& state) {
    tBench bench(standIn());
    fs::path stamp = bench.root / "exit-stamp";
    setenv("FAKE_FORMATTER_EXIT_STAMP", stamp.c_str(), 1);
    setenv("FAKE_FORMATTER_SLEEP_MS", "230", 1); // ends in the middle of the second slice
    double total = 0, worst = 0;
    bench.insideDialog([&](tBootDiskDialog& dialog) {
        for (auto _ : state) {
            runFormatter(dialog, "\\\\.\\PhysicalDrive5");
            auto completed = clock_type::now().time_since_epoch();
            long long exited = 0;
            std::ifstream(stamp) >> exited;
            double latency =
                static_cast<double>(
                    std::chrono::duration_cast<std::chrono::nanoseconds>(completed).count() -
                    exited) /
                1e6;
            total += latency;
            worst = std::max(worst, latency);
        }
    });
    unsetenv("FAKE_FORMATTER_EXIT_STAMP");
    unsetenv("FAKE_FORMATTER_SLEEP_MS");
    state.counters["exit_to_complete_ms"] = total / static_cast<double>(state.iterations());
    state.counters["worst_ms"] = worst;
}
BENCHMARK(BM_ToolExitToFormatComplete)->Unit(benchmark::kMillisecond)->Iterations(20);

long peakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_StandardErrorFlood100MB(benchmark::State& state) {
    tBench bench(standIn());
    const long long flood = 100LL << 20;
    setenv("FAKE_FORMATTER_STDERR_FLOOD", std::to_string(flood).c_str(), 1);
    long before = 0, after = 0;
    bench.insideDialog([&](tBootDiskDialog& dialog) {
        before = peakResidentKiB();
        for (auto _ : state)
            runFormatter(dialog, "\\\\.\\PhysicalDrive5");
        after = peakResidentKiB();
    });
    unsetenv("FAKE_FORMATTER_STDERR_FLOOD");
    state.SetBytesProcessed(state.iterations() * flood);
    state.counters["peak_rss_growth_KiB"] = static_cast<double>(after - before);
}
BENCHMARK(BM_StandardErrorFlood100MB)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    theApp.m_hInstance = GetModuleHandleA(nullptr);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
