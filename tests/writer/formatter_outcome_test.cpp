#include "writer/formatter_outcome.h"

#include "fixtures/headless_app.h"
#include "fixtures/inventories.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct tClassifyCase {
    std::string text;
    tFormatResult expected;
};

void PrintTo(const tClassifyCase& c, std::ostream* out) {
    *out << '"' << c.text << '"';
}

class Classifier : public ::testing::TestWithParam<tClassifyCase> {};

TEST_P(Classifier, RecognisesAPrefixOnlyAtTheVeryStart) {
    EXPECT_EQ(classifyFormatterOutput(GetParam().text.c_str()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Classifier,
    ::testing::Values(
        tClassifyCase{"Could not find the device ", formatDeviceNotFound},
        tClassifyCase{"Could not find the device \\\\.\\PhysicalDrive3\nmore",
                      formatDeviceNotFound},
        tClassifyCase{"Could not find the device.", formatFailedOther},
        tClassifyCase{"Could not find the device", formatFailedOther},
        tClassifyCase{"You must have administrator access ", formatNeedsAdministrator},
        tClassifyCase{"You must have administrator access to do this", formatNeedsAdministrator},
        tClassifyCase{"You must have administrator access.", formatFailedOther},
        tClassifyCase{"The volume is busy.", formatVolumeBusy},
        tClassifyCase{"The volume is busy.\r\nClose all programs", formatVolumeBusy},
        tClassifyCase{"The volume is busy", formatFailedOther},
        tClassifyCase{"Could not write to the device because it is write protected.",
                      formatWriteProtected},
        tClassifyCase{"Could not write to the device because it is write protected. Unlock it",
                      formatWriteProtected},
        tClassifyCase{"Could not write to the device because it is write protected",
                      formatFailedOther},
        tClassifyCase{"Error 0 restarting the device.", formatRestartErrorZero},
        tClassifyCase{"Error 0 restarting the device.\n", formatRestartErrorZero},
        tClassifyCase{"Error 5 restarting the device.", formatFailedOther},
        tClassifyCase{"the volume is busy.", formatFailedOther},
        tClassifyCase{"THE VOLUME IS BUSY.", formatFailedOther},
        tClassifyCase{" The volume is busy.", formatFailedOther},
        tClassifyCase{"\nThe volume is busy.", formatFailedOther},
        tClassifyCase{"warning: slow disk\nThe volume is busy.", formatFailedOther},
        tClassifyCase{"", formatFailedOther}));

// The outcome of a run, as the user sees it.
struct tOutcomeCase {
    const char* name;
    bool statusRead;
    DWORD exitStatus;
    std::string text;
    tFormatResult expected;
    bool box; // a box quoting the text, then the failure status
};

void PrintTo(const tOutcomeCase& c, std::ostream* out) {
    *out << c.name;
}

class Outcome : public fixtures::HeadlessApp, public ::testing::WithParamInterface<tOutcomeCase> {};

TEST_P(Outcome, ShowsABoxOnlyForAReportedFailure) {
    const tOutcomeCase& c = GetParam();
    // A static text on a running dialog stands in for the dialog's status line.
    sim::tSimulatedPlatform platform(fixtures::realisticMachine());
    tFormatResult result = -1;
    headless::inspect([&](HWND) {
        tBootDiskDialog& dialog = runningDialog();
        dialog.statusText.SetWindowText("Format complete.");
        if (c.box)
            headless::answerMessageBox([&](const headless::tMessageBoxRecord&) {
                CString shown;
                dialog.statusText.GetWindowText(shown);
                EXPECT_EQ(shown, "Format complete."); // while the box is up
                return IDOK;
            });
        result =
            reportFormatterOutcome(c.statusRead, c.exitStatus, c.text.c_str(), dialog.statusText);
        CString status;
        dialog.statusText.GetWindowText(status);
        EXPECT_EQ(status.str(), c.box ? "ERROR: Format failed." : "Format complete.");
    });
    headless::pressKey(VK_ESCAPE);
    theApp.InitInstance();

    EXPECT_EQ(result, c.expected);
    if (c.box) {
        ASSERT_EQ(headless::messageBoxes().size(), 1u);
        EXPECT_EQ(headless::messageBoxes()[0].text, "Internal Error: " + c.text);
        EXPECT_EQ(headless::messageBoxes()[0].type, UINT(MB_OK | MB_ICONEXCLAMATION));
        EXPECT_EQ(headless::messageBoxes()[0].caption, theApp.m_pszAppName);
    } else {
        EXPECT_TRUE(headless::messageBoxes().empty());
    }
}

const std::string longText(1023, 'e');

INSTANTIATE_TEST_SUITE_P(
    Runs, Outcome,
    ::testing::Values(
        tOutcomeCase{"success_with_error_text", true, 0, "The volume is busy.", formatSucceeded,
                     false},
        tOutcomeCase{"restart_error_zero", true, 1, "Error 0 restarting the device.",
                     formatRestartErrorZero, false},
        tOutcomeCase{"device_not_found", true, 1, "Could not find the device x",
                     formatDeviceNotFound, true},
        tOutcomeCase{"needs_administrator", true, 5, "You must have administrator access ",
                     formatNeedsAdministrator, true},
        tOutcomeCase{"volume_busy", true, 2, "The volume is busy.", formatVolumeBusy, true},
        tOutcomeCase{"write_protected", true, 0xC0000022,
                     "Could not write to the device because it is write protected.",
                     formatWriteProtected, true},
        tOutcomeCase{"other_text", true, 1, "makebootfat: cannot open fat12.bin\n",
                     formatFailedOther, true},
        tOutcomeCase{"empty_text", true, 1, "", formatFailedOther, true},
        tOutcomeCase{"longest_text", true, 1, longText, formatFailedOther, true},
        tOutcomeCase{"status_unreadable", false, 0, "The volume is busy.", formatRunFailed, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
