// Start-up to the dialog shown: the demo (built with a hook that reports its dialog's first
// paint) against a minimal Qt dialog program built the same way, run in turns, offscreen.
//
//   startup_bench [runs]     (default 20 runs of each, after 2 of each to warm up)

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using clock_type = std::chrono::steady_clock;

// Milliseconds from the start of `program` until it says "shown"; negative when it does not
// within 20 seconds.
double startUp(const std::string& program) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    pid_t child = 0;
    auto start = clock_type::now();
    int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    double elapsed = -1;
    if (spawned == 0) {
        std::string said;
        pollfd watch{pipeEnds[0], POLLIN, 0};
        while (said.find("shown\n") == std::string::npos && poll(&watch, 1, 20000) > 0) {
            char buffer[64];
            ssize_t got = read(pipeEnds[0], buffer, sizeof buffer);
            if (got <= 0)
                break;
            said.append(buffer, static_cast<std::size_t>(got));
        }
        if (said.find("shown\n") != std::string::npos)
            elapsed = std::chrono::duration<double, std::milli>(clock_type::now() - start).count();
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    close(pipeEnds[0]);
    return elapsed;
}

struct tSummary {
    double median, minimum, mean;
};

tSummary summarise(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times)
        sum += t;
    std::size_t n = times.size();
    double median = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    return {median, times.front(), sum / static_cast<double>(n)};
}

} // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    // The demo's sticks go to a scratch folder; both programs draw offscreen.
    fs::path scratch = fs::temp_directory_path() / ("bootdisk-startup-" + std::to_string(getpid()));
    fs::create_directories(scratch / "runtime");
    fs::permissions(scratch / "runtime", fs::perms::owner_all);
    setenv("XDG_STATE_HOME", (scratch / "state").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (scratch / "runtime").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);

    const std::string demo = BOOTDISK_DEMO_BENCH;
    const std::string minimal = MINIMAL_QT_DIALOG;
    std::vector<double> demoTimes, minimalTimes;
    int failures = 0;
    for (int i = -2; i < runs; ++i) {
        double d = startUp(demo);
        double m = startUp(minimal);
        if (d < 0 || m < 0) {
            ++failures;
            continue;
        }
        if (i >= 0) {
            demoTimes.push_back(d);
            minimalTimes.push_back(m);
        }
    }
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
    if (demoTimes.empty()) {
        fprintf(stderr, "startup_bench: no run showed its dialog\n");
        return 1;
    }

    tSummary a = summarise(demoTimes), b = summarise(minimalTimes);
    printf("start-up to the dialog shown, offscreen, %zu runs each in turns\n", demoTimes.size());
    printf("%-22s %10s %10s %10s\n", "program", "median ms", "min ms", "mean ms");
    printf("%-22s %10.1f %10.1f %10.1f\n", "bootdisk-demo", a.median, a.minimum, a.mean);
    printf("%-22s %10.1f %10.1f %10.1f\n", "minimal Qt dialog", b.median, b.minimum, b.mean);
    printf("ratio of medians: %.2f (target <= 1.3)\n", a.median / b.median);
    if (failures)
        printf("%d run(s) did not show a dialog and were left out\n", failures);
    return 0;
}
