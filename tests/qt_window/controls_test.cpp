// The controls and message boxes of the Qt desktop keep the Win32 state and answers.

#include "qt_window/qt_fixture.h"

#include <QComboBox>

#include <ostream>
#include <QProgressBar>

namespace {

using namespace qtfixtures;

class QtControls : public QtDesktop {};

struct tProgressCase {
    const char* name;
    std::vector<std::tuple<UINT, WPARAM, LPARAM>> messages;
    LRESULT lastAnswer;
    int position;
    int lower, upper; // what the bar on screen shows
    int shown;
};

// Cases print as their names.
void PrintTo(const tProgressCase& c, std::ostream* out) {
    *out << c.name;
}

class ProgressBar : public QtControls, public ::testing::WithParamInterface<tProgressCase> {};

TEST_P(ProgressBar, KeepsItsRangeAndPositionAndShowsThem) {
    const tProgressCase& c = GetParam();
    tScript script;
    script.when(
        "the dialog is shown", [] { return runningDialogWidget() != nullptr; },
        [&] {
            HWND bar = GetDlgItem(runningDialog(), IDC_PROGRESS);
            LRESULT answer = 0;
            for (const auto& [message, wParam, lParam] : c.messages)
                answer = SendMessageA(bar, message, wParam, lParam);
            EXPECT_EQ(answer, c.lastAnswer);
            EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), c.position);
            auto* shown = static_cast<QProgressBar*>(widgetOf(bar));
            EXPECT_EQ(shown->minimum(), c.lower);
            EXPECT_EQ(shown->maximum(), c.upper);
            EXPECT_EQ(shown->value(), c.shown);
            EndDialog(runningDialog(), IDOK);
        });
    runTemplateDialog();
    EXPECT_TRUE(script.finished());
}

constexpr LPARAM range(int lower, int upper) {
    return MAKELPARAM(lower, upper);
}

INSTANTIATE_TEST_SUITE_P(
    Qt, ProgressBar,
    ::testing::Values(
        tProgressCase{"SetRangeClampsThePosition",
                      {{PBM_SETRANGE, 0, range(1, 1000)}},
                      MAKELONG(0, 100),
                      1,
                      1,
                      1000,
                      1},
        tProgressCase{"SetPosClampsToTheMaximum",
                      {{PBM_SETRANGE, 0, range(1, 1000)}, {PBM_SETPOS, 5000, 0}},
                      1,
                      1000,
                      1,
                      1000,
                      1000},
        tProgressCase{"StepItAnswersThePreviousPosition",
                      {{PBM_SETRANGE, 0, range(1, 1000)}, {PBM_SETSTEP, 10, 0}, {PBM_STEPIT, 0, 0}},
                      1,
                      11,
                      1,
                      1000,
                      11},
        tProgressCase{"StepItPastTheEndStartsOver",
                      {{PBM_SETRANGE, 0, range(1, 1000)},
                       {PBM_SETSTEP, 10, 0},
                       {PBM_SETPOS, 995, 0},
                       {PBM_STEPIT, 0, 0}},
                      995,
                      6,
                      1,
                      1000,
                      6},
        tProgressCase{"DeltaPosClampsToTheMinimum",
                      {{PBM_SETPOS, 30, 0}, {PBM_DELTAPOS, static_cast<WPARAM>(-50), 0}},
                      30,
                      0,
                      0,
                      100,
                      0},
        tProgressCase{"AnEmptyRangeShowsNothingFilled",
                      {{PBM_SETRANGE, 0, range(5, 5)}, {PBM_SETPOS, 5, 0}},
                      5,
                      5,
                      0,
                      1,
                      0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(QtControls, ComboBoxTellsOnlyTheUsersSelectionChanges) {
    tScript script;
    script.when(
        "the dialog is shown", [] { return runningDialogWidget() != nullptr; },
        [] {
            HWND combo = GetDlgItem(runningDialog(), IDC_DISK_COMBO);
            auto text = [](const char* s) { return reinterpret_cast<LPARAM>(s); };
            // By index in the given order, sorted when added; inserting selects nothing.
            EXPECT_EQ(SendMessageA(combo, CB_INSERTSTRING, 0, text("Zulu")), 0);
            EXPECT_EQ(SendMessageA(combo, CB_INSERTSTRING, 0, text("alpha")), 0);
            EXPECT_EQ(SendMessageA(combo, CB_ADDSTRING, 0, text("Mike")), 1);
            EXPECT_EQ(SendMessageA(combo, CB_INSERTSTRING, static_cast<WPARAM>(-1), text("Bravo")),
                      3);
            EXPECT_EQ(SendMessageA(combo, CB_INSERTSTRING, 9, text("never")), CB_ERR);
            EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
            auto* shown = static_cast<QComboBox*>(widgetOf(combo));
            QStringList items;
            for (int i = 0; i < shown->count(); ++i)
                items << shown->itemText(i);
            EXPECT_EQ(items, (QStringList{"alpha", "Mike", "Zulu", "Bravo"}));
            EXPECT_EQ(shown->currentIndex(), -1);
            char item[16] = {};
            EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXTLEN, 3, 0), 5);
            EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXT, 3, reinterpret_cast<LPARAM>(item)), 5);
            EXPECT_STREQ(item, "Bravo");
            // The program's selection is no notification.
            EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 0, 0), 0);
            EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 7, 0), CB_ERR);
            EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
            SendMessageA(combo, CB_SETCURSEL, 0, 0);
            SetFocus(combo);
        });
    script.when(
        "the combo box has the focus", [] { return GetDlgCtrlID(GetFocus()) == IDC_DISK_COMBO; },
        [] {
            EXPECT_TRUE(commands().empty());
            pressKey(runningDialogWidget(), Qt::Key_Down);
            pressKey(runningDialogWidget(), Qt::Key_Down);
        });
    script.when(
        "the user has moved twice", [] { return commands().size() >= 2; },
        [] {
            HWND combo = GetDlgItem(runningDialog(), IDC_DISK_COMBO);
            EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2);
            char text[16] = {};
            EXPECT_EQ(GetWindowTextA(combo, text, sizeof text), 4);
            EXPECT_STREQ(text, "Zulu");
            EndDialog(runningDialog(), IDOK);
        });
    runTemplateDialog();
    EXPECT_TRUE(script.finished());
    std::string selectionChange =
        std::to_string(IDC_DISK_COMBO) + "/" + std::to_string(CBN_SELCHANGE);
    EXPECT_EQ(commands(), (std::vector<std::string>{selectionChange, selectionChange}));
}

struct tBoxCase {
    const char* name;
    UINT type;
    std::vector<int> keys; // pressed in order; the box ends on one of them
    int answer;
    QMessageBox::Icon icon;
};

// Cases print as their names.
void PrintTo(const tBoxCase& c, std::ostream* out) {
    *out << c.name;
}

class MessageBox : public QtControls, public ::testing::WithParamInterface<tBoxCase> {};

TEST_P(MessageBox, AnswersWithTheButtonTheKeysChose) {
    const tBoxCase& c = GetParam();
    tScript script;
    script.when(
        "the box is shown", [] { return activeBox() != nullptr; },
        [&] {
            QMessageBox* box = activeBox();
            EXPECT_EQ(box->windowTitle(), "Caption");
            EXPECT_EQ(box->text(), "first line\n<b>second</b> & more");
            EXPECT_EQ(box->icon(), c.icon);
            for (int key : c.keys)
                pressKey(box, key);
        });
    EXPECT_EQ(MessageBoxA(nullptr, "first line\n<b>second</b> & more", "Caption", c.type),
              c.answer);
    EXPECT_TRUE(script.finished());
}

INSTANTIATE_TEST_SUITE_P(
    Qt, MessageBox,
    ::testing::Values(
        tBoxCase{
            "OkEscape", MB_OK | MB_ICONEXCLAMATION, {Qt::Key_Escape}, IDOK, QMessageBox::Warning},
        tBoxCase{"OkCancelEnter",
                 MB_OKCANCEL | MB_ICONEXCLAMATION,
                 {Qt::Key_Return},
                 IDOK,
                 QMessageBox::Warning},
        tBoxCase{"OkCancelEscape", MB_OKCANCEL, {Qt::Key_Escape}, IDCANCEL, QMessageBox::NoIcon},
        tBoxCase{"SecondDefault",
                 MB_OKCANCEL | MB_DEFBUTTON2 | MB_ICONHAND,
                 {Qt::Key_Return},
                 IDCANCEL,
                 QMessageBox::Critical},
        tBoxCase{"YesNoIgnoresEscape",
                 MB_YESNO | MB_ICONQUESTION,
                 {Qt::Key_Escape, Qt::Key_Return},
                 IDYES,
                 QMessageBox::Question}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(QtControls, AnUnknownMessageBoxTypeFails) {
    SetLastError(0);
    EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", 7), 0);
    EXPECT_EQ(GetLastError(), 1438u);
}

} // namespace
