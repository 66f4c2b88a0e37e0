// The formatter run on the real user32 and kernel32 (Wine's): the main dialog runs the formatter
// stand-in, usbfiles\makebootfat.exe beside this program, as it opens. The stand-in inherits its
// behaviour through environment variables.

#include "app/bootdisk_app.h"
#include "formatter_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const char target[] = "\\\\.\\PhysicalDrive7";
const std::string busy = "The volume is busy.";
const std::vector<std::string> completed = {"Formatting drive...", "Format complete."};
const std::vector<std::string> failed = {"Formatting drive...", "Format complete.",
                                         "ERROR: Format failed."};

std::string executableDirectory() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path, length);
    return text.substr(0, text.find_last_of('\\'));
}

// What the stand-in wrote about how it was started.
struct tRecord {
    std::vector<std::string> arguments;
    std::string workingDirectory;
};

tRecord readRecord(const fs::path& path) {
    tRecord record;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("arg ", 0) == 0)
            record.arguments.push_back(line.substr(4));
        else if (line.rfind("cwd ", 0) == 0)
            record.workingDirectory = line.substr(4);
    }
    return record;
}

std::string filler(std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += static_cast<char>('a' + i % 26);
    return text;
}

// The values of `these` that `those` lacks; both sorted.
std::vector<std::uintptr_t> onlyIn(const std::vector<std::uintptr_t>& these,
                                   const std::vector<std::uintptr_t>& those) {
    std::vector<std::uintptr_t> only;
    std::set_difference(these.begin(), these.end(), those.begin(), those.end(),
                        std::back_inserter(only));
    return only;
}

class WineFormatterRun : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        theApp.m_hInstance = GetModuleHandleA(nullptr);
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');
        scratch = fs::temp_directory_path() /
                  ("bootdisk-" + std::to_string(GetCurrentProcessId()) + "-" + name);
        fs::remove_all(scratch);
        fs::create_directories(scratch);
        set("FAKE_FORMATTER_RECORD", record().string());
    }
    void TearDown() override {
        for (const std::string& name : variables)
            SetEnvironmentVariableA(name.c_str(), nullptr);
        std::error_code ignored;
        fs::remove_all(scratch, ignored);
    }

    // An environment variable that the stand-in inherits, for this test only.
    void set(const std::string& name, const std::string& value) {
        SetEnvironmentVariableA(name.c_str(), value.c_str());
        variables.push_back(name);
    }

    // The stand-in's standard error: these bytes, then `flood` filler bytes.
    void toolWrites(const std::string& bytes, long flood = 0) {
        fs::path file = scratch / "stderr.bin";
        std::ofstream(file, std::ios::binary) << bytes;
        set("FAKE_FORMATTER_STDERR_FILE", file.string());
        if (flood)
            set("FAKE_FORMATTER_STDERR_FLOOD", std::to_string(flood));
    }

    // Opens the dialog, which runs the formatter and ends; every box is answered with OK.
    void runDialog() {
        dialog = std::make_unique<wine::tFormatterDialog>(target);
        wine::tBoxWatcher watcher(*dialog);
        theApp.m_pMainWnd = dialog.get();
        INT_PTR ended = dialog->DoModal();
        theApp.m_pMainWnd = nullptr;
        boxes = watcher.boxes;
        ASSERT_EQ(ended, IDOK) << "the dialog did not run, error " << GetLastError();
        EXPECT_EQ(dialog->finalPosition, 1000);
        ASSERT_FALSE(dialog->barMessages.empty());
        EXPECT_EQ(dialog->barMessages.back().message, UINT(PBM_SETPOS));
        EXPECT_EQ(dialog->barMessages.back().after, 1000);
        EXPECT_EQ(onlyIn(dialog->handlesAfter, dialog->handlesBefore),
                  std::vector<std::uintptr_t>{})
            << "handles that the run left open";
        EXPECT_EQ(onlyIn(dialog->handlesBefore, dialog->handlesAfter),
                  std::vector<std::uintptr_t>{})
            << "handles of the program that the run closed";
    }

    fs::path record() const { return scratch / "record.txt"; }

    fs::path scratch;
    std::vector<std::string> variables;
    std::unique_ptr<wine::tFormatterDialog> dialog;
    std::vector<wine::tShownBox> boxes;
};

TEST_F(WineFormatterRun, RunsTheToolFromUsbfilesWithTheTargetUnchanged) {
    ASSERT_NO_FATAL_FAILURE(runDialog());
    EXPECT_EQ(dialog->result, formatSucceeded);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(dialog->statusTexts, completed);

    tRecord ran = readRecord(record());
    EXPECT_EQ(ran.arguments,
              (std::vector<std::string>{"usbfiles\\makebootfat.exe", "-o", "\\\\.\\PhysicalDrive7",
                                        "-E", "255", "-1", "fat12.bin", "-2", "fat16.bin", "-3",
                                        "fat32lba.bin", "-m", "mbrfat.bin", "-c", "kernel.sys",
                                        "-c", "command.com", "image"}));
    EXPECT_EQ(ran.workingDirectory, executableDirectory() + "\\usbfiles");
}

struct tOutcomeCase {
    const char* name;
    std::string written; // the tool's standard error
    int exitStatus;
    tFormatResult result;
    const char* boxText; // nullptr: no box
};

void PrintTo(const tOutcomeCase& c, std::ostream* out) {
    *out << c.name;
}

class WineFormatterOutcome : public WineFormatterRun,
                             public ::testing::WithParamInterface<tOutcomeCase> {};

TEST_P(WineFormatterOutcome, ShowsWhatTheToolReported) {
    const tOutcomeCase& c = GetParam();
    toolWrites(c.written);
    set("FAKE_FORMATTER_EXIT", std::to_string(c.exitStatus));
    ASSERT_NO_FATAL_FAILURE(runDialog());

    EXPECT_EQ(dialog->result, c.result);
    if (!c.boxText) {
        EXPECT_TRUE(boxes.empty());
        EXPECT_EQ(dialog->statusTexts, completed);
        EXPECT_EQ(dialog->finalStatus, "Format complete.");
        return;
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, applicationName);
    EXPECT_EQ(boxes[0].text, c.boxText);
    EXPECT_TRUE(boxes[0].visible);
    EXPECT_TRUE(boxes[0].hasIcon);
    // The box came after the run had finished with the controls, before the failure status.
    EXPECT_EQ(boxes[0].status, "Format complete.");
    EXPECT_EQ(boxes[0].position, 1000);
    EXPECT_EQ(dialog->statusTexts, failed);
    EXPECT_EQ(dialog->finalStatus, "ERROR: Format failed.");
}

INSTANTIATE_TEST_SUITE_P(
    ExitStatusAndErrorText, WineFormatterOutcome,
    ::testing::Values(tOutcomeCase{"volume_busy", busy, 1, formatVolumeBusy,
                                   "Internal Error: The volume is busy."},
                      tOutcomeCase{"not_recognised", "Disk on fire.\r\n", 2, formatFailedOther,
                                   "Internal Error: Disk on fire.\r\n"},
                      tOutcomeCase{"restart_error_zero", "Error 0 restarting the device.", 1,
                                   formatRestartErrorZero, nullptr},
                      tOutcomeCase{"status_zero_ignores_the_text", busy, 0, formatSucceeded,
                                   nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WineFormatterRun, LongRunStepsTheBarWhileTheToolRuns) {
    set("FAKE_FORMATTER_SLEEP_MS", "700");
    ASSERT_NO_FATAL_FAILURE(runDialog());
    EXPECT_EQ(dialog->result, formatSucceeded);
    EXPECT_EQ(dialog->statusTexts, completed);

    const std::vector<wine::tBarMessage>& bar = dialog->barMessages;
    std::size_t steps = bar.size() - 1; // all but the final PBM_SETPOS
    EXPECT_GE(steps, 1u);
    // From the fresh dialog's minimum, far below the end: each step adds the step of 10.
    int expected = 1;
    for (std::size_t i = 0; i < steps; ++i) {
        EXPECT_EQ(bar[i].message, UINT(PBM_STEPIT)) << "message " << i;
        EXPECT_EQ(bar[i].before, expected) << "step " << i;
        EXPECT_EQ(bar[i].after, expected + 10) << "step " << i;
        expected += 10;
    }
}

TEST_F(WineFormatterRun, StandardErrorFloodEndsAndTheBoxQuotesItsStart) {
    toolWrites(busy, 10 << 20);
    set("FAKE_FORMATTER_EXIT", "1");
    ASSERT_NO_FATAL_FAILURE(runDialog());
    EXPECT_EQ(dialog->result, formatVolumeBusy);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Internal Error: " + busy + filler(1023 - busy.size()));
    EXPECT_EQ(dialog->finalStatus, "ERROR: Format failed.");
}

} // namespace
