// The formatter run against the stand-in tool in usbfiles/ beside the tests, on a dialog that
// runs on the headless desktop.

#include "writer/formatter_run.h"

#include "fixtures/formatter_run.h"
#include "platform/linux/handle_table.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using fixtures::FormatterRun;

template <class T>
std::vector<T> since(const std::vector<T>& history, std::size_t from) {
    return std::vector<T>(history.begin() + static_cast<std::ptrdiff_t>(from), history.end());
}

int stepsSent(HWND progress) {
    return static_cast<int>(std::count_if(
        headless::sentMessages().begin(), headless::sentMessages().end(),
        [progress](const auto& m) { return m.window == progress && m.message == PBM_STEPIT; }));
}

TEST_F(FormatterRun, QuickToolTakesNoStepAndCompletes) {
    withDialog([&](HWND dialog) {
        HWND progress = item(dialog, IDC_PROGRESS);
        HWND status = item(dialog, IDC_STATUS);
        std::size_t earlier = headless::positionHistory(progress).size();
        EXPECT_EQ(runFormatter(runningDialog(), "\\\\.\\PhysicalDrive3"), formatSucceeded);

        EXPECT_EQ(stepsSent(progress), 0);
        EXPECT_EQ(since(headless::positionHistory(progress), earlier), std::vector<int>{1000});
        EXPECT_EQ(headless::textHistory(status),
                  (std::vector<std::string>{"Formatting drive...", "Format complete."}));
        EXPECT_TRUE(headless::messageBoxes().empty());
        EXPECT_EQ(platform::liveHandleCount(), handlesBefore);

        // The tool ran from usbfiles/ with the fixed command line, on the disk's own file.
        fixtures::tRecord ran = fixtures::readRecord(record());
        fs::path usbfiles = fixtures::testExecutableDirectory() / "usbfiles";
        EXPECT_EQ(fs::path(ran.workingDirectory), usbfiles);
        EXPECT_EQ(ran.arguments,
                  (std::vector<std::string>{
                      "usbfiles\\makebootfat.exe", "-o", inventory.disks[1].backingFile, "-E",
                      "255", "-1", "fat12.bin", "-2", "fat16.bin", "-3", "fat32lba.bin", "-m",
                      "mbrfat.bin", "-c", "kernel.sys", "-c", "command.com", "image"}));
    });
}

TEST_F(FormatterRun, LongRunStepsAndStartsTheBarOver) {
    environment.set("FAKE_FORMATTER_SLEEP_MS", "700");
    withDialog([&](HWND dialog) {
        HWND progress = item(dialog, IDC_PROGRESS);
        HWND status = item(dialog, IDC_STATUS);
        std::size_t earlier = headless::positionHistory(progress).size();
        runningDialog().progressBar.SetPos(995); // where an earlier run may have left it

        EXPECT_EQ(runFormatter(runningDialog(), "\\\\.\\PhysicalDrive10"), formatSucceeded);

        std::vector<int> positions = since(headless::positionHistory(progress), earlier);
        ASSERT_GE(positions.size(), 3u); // 995, at least one step, 1000
        EXPECT_EQ(positions.front(), 995);
        EXPECT_EQ(positions.back(), 1000);
        EXPECT_LT(positions[1], 995) << "the first step goes past the end and starts over";
        EXPECT_GT(stepsSent(progress), 0);
        for (int position : positions)
            EXPECT_TRUE(position >= 1 && position <= 1000) << position;
        // The run let both controls repaint while it waited.
        EXPECT_GT(headless::paintCount(progress), 0);
        EXPECT_GT(headless::paintCount(status), 0);
        EXPECT_EQ(headless::textHistory(status),
                  (std::vector<std::string>{"Formatting drive...", "Format complete."}));
    });
}

struct tCaptureCase {
    const char* name;
    std::string written; // standard error
    long flood;          // filler bytes behind it
    std::string stdoutText;
    std::string captured; // what the box quotes
    tFormatResult result;
};

void PrintTo(const tCaptureCase& c, std::ostream* out) {
    *out << c.name;
}

class FormatterCapture : public FormatterRun, public ::testing::WithParamInterface<tCaptureCase> {};

TEST_P(FormatterCapture, QuotesTheFirstBytesOfStandardError) {
    const tCaptureCase& c = GetParam();
    toolWrites(c.written, c.flood);
    environment.set("FAKE_FORMATTER_EXIT", "1");
    if (!c.stdoutText.empty())
        environment.set("FAKE_FORMATTER_STDOUT", c.stdoutText);
    withDialog([&](HWND dialog) {
        HWND status = item(dialog, IDC_STATUS);
        headless::answerMessageBox([&](const headless::tMessageBoxRecord&) {
            EXPECT_EQ(headless::windowText(status), "Format complete.");
            return IDOK;
        });
        EXPECT_EQ(runFormatter(runningDialog(), "\\\\.\\PhysicalDrive3"), c.result);
        ASSERT_EQ(headless::messageBoxes().size(), 1u);
        EXPECT_EQ(headless::messageBoxes()[0].text, "Internal Error: " + c.captured);
        EXPECT_EQ(headless::messageBoxes()[0].type, UINT(MB_OK | MB_ICONEXCLAMATION));
        EXPECT_EQ(headless::windowText(status), "ERROR: Format failed.");
        EXPECT_EQ(platform::liveHandleCount(), handlesBefore);
    });
}

std::string filler(std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += static_cast<char>('a' + i % 26);
    return text;
}

const std::string busy = "The volume is busy.";

INSTANTIATE_TEST_SUITE_P(
    StandardError, FormatterCapture,
    ::testing::Values(tCaptureCase{"empty", "", 0, "", "", formatFailedOther},
                      tCaptureCase{"exactly_1023", std::string(1023, 'x'), 0, "",
                                   std::string(1023, 'x'), formatFailedOther},
                      tCaptureCase{"1024_keeps_1023", std::string(1023, 'x') + "y", 0, "",
                                   std::string(1023, 'x'), formatFailedOther},
                      tCaptureCase{"nul_ends_the_text",
                                   std::string("Could not find the device \0hidden", 33), 0, "",
                                   "Could not find the device ", formatDeviceNotFound},
                      tCaptureCase{"standard_output_not_captured", "err", 0, "The volume is busy.",
                                   "err", formatFailedOther},
                      tCaptureCase{"ten_megabyte_flood", busy, 10 << 20, "",
                                   busy + filler(1023 - busy.size()), formatVolumeBusy}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormatterRun, ToolThatCannotStartLeavesTheDialogAsItWas) {
    // The program seems to live in a directory without usbfiles/.
    fs::create_directories(scratch / "bin");
    platform::setModulePathForTesting((scratch / "bin" / "bootdisk").string());
    withDialog([&](HWND dialog) {
        HWND progress = item(dialog, IDC_PROGRESS);
        HWND status = item(dialog, IDC_STATUS);
        std::vector<int> positions = headless::positionHistory(progress);
        EXPECT_EQ(runFormatter(runningDialog(), "\\\\.\\PhysicalDrive3"), formatRunFailed);
        EXPECT_EQ(simulated->callCount("CreateProcessA"), 1);
        EXPECT_TRUE(headless::textHistory(status).empty());
        EXPECT_EQ(headless::positionHistory(progress), positions);
        EXPECT_TRUE(headless::messageBoxes().empty());
        EXPECT_EQ(platform::liveHandleCount(), handlesBefore);
    });
}

struct tRefusal {
    const char* name;
    std::string modulePath; // empty: the test program's own
    std::string target;
    int createProcessCalls;
};

void PrintTo(const tRefusal& r, std::ostream* out) {
    *out << r.name;
}

class FormatterRefusal : public FormatterRun, public ::testing::WithParamInterface<tRefusal> {};

TEST_P(FormatterRefusal, EndsSilentlyBeforeAnythingStarts) {
    const tRefusal& r = GetParam();
    if (!r.modulePath.empty())
        platform::setModulePathForTesting(r.modulePath);
    withDialog([&](HWND dialog) {
        EXPECT_EQ(runFormatter(runningDialog(), r.target.c_str()), formatRunFailed);
        EXPECT_EQ(simulated->callCount("CreateProcessA"), r.createProcessCalls);
        EXPECT_EQ(simulated->callCount("CreatePipe"), r.createProcessCalls);
        EXPECT_TRUE(headless::textHistory(item(dialog, IDC_STATUS)).empty());
        EXPECT_TRUE(headless::messageBoxes().empty());
        EXPECT_EQ(platform::liveHandleCount(), handlesBefore);
    });
}

// The command line around the target takes 124 characters.
const std::string templateAround = fixtures::formatterCommandLine("");

INSTANTIATE_TEST_SUITE_P(
    Limits, FormatterRefusal,
    ::testing::Values(
        tRefusal{"path_fills_the_buffer", "/" + std::string(259, 'p'), "\\\\.\\PhysicalDrive3", 0},
        tRefusal{"command_line_of_1024", "", std::string(1024 - templateAround.size(), 't'), 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormatterRun, CommandLineOf1023CharactersStillRuns) {
    std::string target(1023 - templateAround.size(), 't');
    withDialog([&](HWND) {
        EXPECT_EQ(runFormatter(runningDialog(), target.c_str()), formatSucceeded);
        fixtures::tRecord ran = fixtures::readRecord(record());
        ASSERT_GE(ran.arguments.size(), 3u);
        EXPECT_EQ(ran.arguments[2], target);
    });
}

TEST_F(FormatterRun, WorkingDirectoryIsCutTo259Characters) {
    std::string directory = "/" + std::string(254, 'd'); // 255 characters
    platform::setModulePathForTesting(directory + "/b");
    withDialog([&](HWND) {
        runFormatter(runningDialog(), "\\\\.\\PhysicalDrive3");
        std::string call;
        for (const std::string& entry : simulated->callLog())
            if (entry.rfind("CreateProcessA(", 0) == 0)
                call = entry;
        std::size_t at = call.rfind(" dir=");
        ASSERT_NE(at, std::string::npos) << call;
        std::string given = call.substr(at + 5, call.size() - at - 6);
        EXPECT_EQ(given, directory + "\\usb");
        EXPECT_EQ(given.size(), 259u);
    });
}

} // namespace
