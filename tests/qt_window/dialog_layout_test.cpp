// The dialog on the Qt desktop: where its items stand, the tab order, and the keys and closes
// that reach its procedure as commands.

#include "qt_window/qt_fixture.h"

#include "platform/linux/dialog_template.h"

#include <QComboBox>

#include <ostream>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

#include <cmath>

namespace {

using namespace qtfixtures;

class QtDialog : public QtDesktop {};

// Dialog units to pixels, each value on its own, rounded to the nearest pixel.
int toPixels(int units, int base, int perBase) {
    return static_cast<int>(std::lround(units * static_cast<double>(base) / perBase));
}

TEST_F(QtDialog, ItemsStandWhereTheTemplatePutsThemInTheFontsBaseUnits) {
    platform::tDialogTemplate dialogTemplate;
    ASSERT_TRUE(platform::loadDialogTemplate(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_BOOTDISK_DIALOG), dialogTemplate));
    // The template's points at the screen's resolution, in whole pixels.
    double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchY();
    int pixelSize = static_cast<int>(std::lround(dialogTemplate.pointSize * dpi / 72));

    tScript script;
    script.when(
        "the dialog is shown", [] { return runningDialogWidget() != nullptr; },
        [&] {
            QWidget* dialog = runningDialogWidget();
            HWND handle = runningDialog();
            QFont font = dialog->font();
            EXPECT_EQ(QFontInfo(font).family(), QString("Liberation Sans"));
            EXPECT_EQ(font.pixelSize(), pixelSize);

            // The base units the desktop derives from a font: the average width of the 52 letters,
            // halved and rounded up, and the font's height.
            QFontMetrics metrics(font);
            int letters = metrics.horizontalAdvance(
                QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
            int baseX = (letters / 26 + 1) / 2;
            int baseY = metrics.height();
            ASSERT_GT(baseX, 3);
            ASSERT_GT(baseY, 8);

            EXPECT_EQ(dialog->size(), QSize(toPixels(dialogTemplate.cx, baseX, 4),
                                            toPixels(dialogTemplate.cy, baseY, 8)));
            for (const auto& item : dialogTemplate.items) {
                SCOPED_TRACE("item " + std::to_string(static_cast<short>(item.id)) + " " +
                             item.className);
                // The label is the one item with the id -1.
                QWidget* control = widgetOf(GetDlgItem(handle, static_cast<short>(item.id)));
                ASSERT_NE(control, nullptr);
                QRect expected(toPixels(item.x, baseX, 4), toPixels(item.y, baseY, 8),
                               toPixels(item.cx, baseX, 4), toPixels(item.cy, baseY, 8));
                EXPECT_EQ(control->geometry().topLeft(), expected.topLeft());
                EXPECT_EQ(control->width(), expected.width());
                if (qobject_cast<QComboBox*>(control)) {
                    // The template's height includes the dropped-down list.
                    EXPECT_GE(control->height(), metrics.height() + 4);
                    EXPECT_LT(control->height(), expected.height() / 2);
                } else {
                    EXPECT_EQ(control->height(), expected.height());
                }
                EXPECT_EQ(control->font(), font);
                // What the item says fits where it stands.
                if (!item.text.empty()) {
                    int margin = qobject_cast<QPushButton*>(control) ? 8 : 0;
                    EXPECT_LE(metrics.horizontalAdvance(QString::fromStdString(item.text)) + margin,
                              control->width());
                    EXPECT_LE(metrics.height(), control->height());
                }
            }
            EndDialog(handle, IDCANCEL);
        });
    EXPECT_EQ(runTemplateDialog(), IDCANCEL);
    EXPECT_TRUE(script.finished());
}

TEST_F(QtDialog, TabFollowsTheTemplateFromTheFirstTabStop) {
    std::vector<int> forward, backward;
    std::vector<int> defaults; // the id of the button drawn as default at each stop
    auto focusId = [] { return GetDlgCtrlID(GetFocus()); };
    auto defaultId = [] {
        for (int id : {IDOK, IDCANCEL})
            if (static_cast<QPushButton*>(widgetOf(GetDlgItem(runningDialog(), id)))->isDefault())
                return id;
        return 0;
    };
    auto record = [&](std::vector<int>& into) {
        into.push_back(focusId());
        defaults.push_back(defaultId());
    };

    tScript script;
    script.when(
        "the dialog has the focus", [&] { return runningDialogWidget() && focusId(); },
        [&] { record(forward); });
    for (int i = 0; i < 3; ++i) {
        script.then("Tab", [] { pressKey(runningDialogWidget(), Qt::Key_Tab); })
            .when(
                "the focus has moved", [&] { return focusId() != forward.back(); },
                [&] { record(forward); });
    }
    for (int i = 0; i < 3; ++i) {
        script
            .then("Shift+Tab",
                  [] { pressKey(runningDialogWidget(), Qt::Key_Backtab, Qt::ShiftModifier); })
            .when(
                "the focus has moved back",
                [&] { return focusId() != (backward.empty() ? forward.back() : backward.back()); },
                [&] { record(backward); });
    }
    script.then("end", [] { EndDialog(runningDialog(), IDCANCEL); });
    runTemplateDialog();
    EXPECT_TRUE(script.finished());

    // Make Bootable, Close, the combo box; the label, progress bar and status text take no focus.
    EXPECT_EQ(forward, (std::vector<int>{IDOK, IDCANCEL, IDC_DISK_COMBO, IDOK}));
    EXPECT_EQ(backward, (std::vector<int>{IDC_DISK_COMBO, IDCANCEL, IDOK}));
    // A focused push button is the default one; elsewhere the template's default is.
    EXPECT_EQ(defaults, (std::vector<int>{IDOK, IDCANCEL, IDOK, IDOK, IDOK, IDCANCEL, IDOK}));
}

TEST_F(QtDialog, MinimisingAsksForTheIconThatStandsForTheDialog) {
    tScript script;
    script.when(
        "the dialog is shown", [] { return runningDialogWidget() != nullptr; },
        [] {
            EXPECT_FALSE(IsIconic(runningDialog()));
            SendMessageA(runningDialog(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        });
    script.when(
        "the dialog is minimised", [] { return IsIconic(runningDialog()) != FALSE; },
        [] {
            EXPECT_TRUE(GetWindowLongA(runningDialog(), GWL_STYLE) & WS_MINIMIZE);
            EndDialog(runningDialog(), IDOK);
        });
    runTemplateDialog();
    EXPECT_TRUE(script.finished());
    std::vector<UINT> order;
    for (const tReceived& m : received())
        if (m.message == WM_SYSCOMMAND || m.message == WM_QUERYDRAGICON)
            order.push_back(m.message);
    EXPECT_EQ(order, (std::vector<UINT>{WM_SYSCOMMAND, WM_QUERYDRAGICON}));
}

struct tKeyCase {
    const char* name;
    int focus; // the control with the focus
    int key;   // 0: the title bar's close
    std::vector<std::string> commands;
};

// Cases print as their names.
void PrintTo(const tKeyCase& c, std::ostream* out) {
    *out << c.name;
}

class DialogKeys : public QtDialog, public ::testing::WithParamInterface<tKeyCase> {};

TEST_P(DialogKeys, ReachTheProcedureAsCommands) {
    const tKeyCase& c = GetParam();
    tScript script;
    script
        .when(
            "the dialog is shown", [] { return runningDialogWidget() != nullptr; },
            [&] { SetFocus(GetDlgItem(runningDialog(), c.focus)); })
        .when(
            "the focus is in place", [&] { return GetDlgCtrlID(GetFocus()) == c.focus; },
            [&] {
                if (c.key)
                    pressKey(runningDialogWidget(), c.key);
                else
                    runningDialogWidget()->close();
            })
        .when(
            "the command has come", [] { return !commands().empty(); },
            [] { EndDialog(runningDialog(), IDOK); });
    runTemplateDialog();
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(commands(), c.commands);
    if (!c.key) {
        // The close went the system menu's way: WM_SYSCOMMAND, WM_CLOSE, then IDCANCEL.
        std::vector<UINT> order;
        for (const tReceived& m : received())
            if (m.message == WM_SYSCOMMAND || m.message == WM_CLOSE || m.message == WM_COMMAND)
                order.push_back(m.message);
        EXPECT_EQ(order, (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_COMMAND}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Qt, DialogKeys,
    ::testing::Values(tKeyCase{"EnterOnMakeBootable", IDOK, Qt::Key_Return, {"1/0"}},
                      tKeyCase{"EnterOnTheComboBox", IDC_DISK_COMBO, Qt::Key_Return, {"1/0"}},
                      tKeyCase{"EnterOnClose", IDCANCEL, Qt::Key_Return, {"2/0"}},
                      tKeyCase{"KeypadEnter", IDC_DISK_COMBO, Qt::Key_Enter, {"1/0"}},
                      tKeyCase{"SpaceOnClose", IDCANCEL, Qt::Key_Space, {"2/0"}},
                      tKeyCase{"Escape", IDOK, Qt::Key_Escape, {"2/0"}},
                      tKeyCase{"TitleBarClose", IDOK, 0, {"2/0"}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
