// The program on the Qt desktop with the demo's machine: the confirmation, a whole format with
// the formatter stand-in, input given while the formatter runs, and the minimised dialog.

#include "qt_window/qt_fixture.h"

#include "app/bootdisk_dialog.h"
#include "demo/demo_inventory.h"
#include "platform/process_fixture.h"
#include "platform/simulated/simulated_platform.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include <functional>
#include <optional>
#include <set>

namespace {

using namespace qtfixtures;
namespace fs = std::filesystem;

// Calls `onPaint` whenever the watched widget is painted.
class tPaintWatch : public QObject {
public:
    explicit tPaintWatch(std::function<void()> onPaint) : onPaint(std::move(onPaint)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            onPaint();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onPaint;
};

// Calls `onHide` when the watched widget is hidden.
class tHideWatch : public QObject {
public:
    explicit tHideWatch(std::function<void()> onHide) : onHide(std::move(onHide)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide)
            onHide();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onHide;
};

class QtProgram : public QtDesktop {
protected:
    void SetUp() override {
        QtDesktop::SetUp();
        devices = demo::inventory(scratch.path() / "state");
        std::string error;
        ASSERT_TRUE(demo::prepareImages(devices, error)) << error;
        environment.set("FAKE_FORMATTER_RECORD", record().string());
        // The standard handles the run passes on live as long as the process does.
        GetStdHandle(STD_INPUT_HANDLE);
        GetStdHandle(STD_OUTPUT_HANDLE);
    }

    fs::path record() const { return scratch / "record.txt"; }

    // The program from start to end, with the demo's machine.
    void runProgram() {
        sim::tSimulatedPlatform platform(devices);
        platform.setLogging(false);
        theApp.InitInstance();
    }

    static HWND item(int id) { return GetDlgItem(runningDialog(), id); }
    static std::string statusText() {
        char text[256] = {};
        GetWindowTextA(item(IDC_STATUS), text, sizeof text);
        return text;
    }
    static int position() {
        return static_cast<int>(SendMessageA(item(IDC_PROGRESS), PBM_GETPOS, 0, 0));
    }
    static tBootDiskDialog& dialog() { return *static_cast<tBootDiskDialog*>(theApp.m_pMainWnd); }
    static std::string label(std::size_t index) { return dialog().diskList.at(index).label; }

    fixtures::tScratchDirectory scratch;
    fixtures::tEnvironment environment;
    sim::tInventory devices;
};

TEST_F(QtProgram, EnterAsksToConfirmAndEscapeEndsTheProgram) {
    std::string expected;
    tScript script;
    script.when(
        "the dialog is shown", [] { return runningDialogWidget() != nullptr; },
        [&] {
            // Centred in the work area by the framework before it was shown; the frame that Qt
            // learns of on showing may move the centre by its width.
            QWidget* widget = runningDialogWidget();
            QRect area = QGuiApplication::primaryScreen()->availableGeometry();
            QPoint offset = widget->frameGeometry().center() - area.center();
            int frame = widget->frameGeometry().width() - widget->width();
            EXPECT_LE(std::abs(offset.x()), frame / 2 + 1);
            EXPECT_LE(std::abs(offset.y()), frame / 2 + 1);
            expected =
                "WARNING: Existing data on drive:\n\n" + label(0) + "\n\nwill be erased.  Proceed?";
            pressKey(runningDialogWidget(), Qt::Key_Return);
        });
    script.when(
        "the confirmation is shown", [] { return activeBox() != nullptr; },
        [&] {
            QMessageBox* box = activeBox();
            EXPECT_EQ(box->text().toStdString(), expected);
            EXPECT_EQ(box->windowTitle().toStdString(), applicationName);
            EXPECT_EQ(box->icon(), QMessageBox::Warning);
            ASSERT_EQ(box->buttons().size(), 2);
            EXPECT_EQ(box->standardButton(box->buttons()[0]), QMessageBox::Ok);
            EXPECT_EQ(box->standardButton(box->buttons()[1]), QMessageBox::Cancel);
            EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Ok));
            EXPECT_EQ(box->parentWidget(), runningDialogWidget());
            pressKey(box, Qt::Key_Escape);
        });
    script.when(
        "the confirmation is gone", [] { return activeBox() == nullptr; },
        [&] {
            EXPECT_NE(runningDialogWidget(), nullptr) << "the dialog stays open";
            EXPECT_EQ(statusText(), "");
            EXPECT_EQ(position(), 1);
            pressKey(runningDialogWidget(), Qt::Key_Escape);
        });
    runProgram();
    EXPECT_TRUE(script.finished());
    EXPECT_FALSE(fs::exists(record())) << "Cancel runs no formatter";
    EXPECT_EQ(runningDialog(), nullptr);
}

TEST_F(QtProgram, FormatsTheSecondStickWhileTheBarMovesOnScreen) {
    environment.set("FAKE_FORMATTER_SLEEP_MS", "800");
    std::vector<int> paintedPositions;
    std::set<std::pair<std::string, int>> paintedTexts; // with the bar's position then
    tPaintWatch barWatch([&] {
        paintedPositions.push_back(
            static_cast<QProgressBar*>(widgetOf(item(IDC_PROGRESS)))->value());
    });
    tPaintWatch textWatch([&] {
        paintedTexts.insert(
            {static_cast<QLabel*>(widgetOf(item(IDC_STATUS)))->text().toStdString(), position()});
    });
    std::string secondLabel;

    tScript script;
    script.when(
        "the dialog is shown", [] { return runningDialogWidget() != nullptr; },
        [&] {
            HWND combo = item(IDC_DISK_COMBO);
            EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 2);
            EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
            secondLabel = label(1);
            widgetOf(item(IDC_PROGRESS))->installEventFilter(&barWatch);
            widgetOf(item(IDC_STATUS))->installEventFilter(&textWatch);
            // To the combo box the way a user goes: Tab, Tab.
            pressKey(runningDialogWidget(), Qt::Key_Tab);
            pressKey(runningDialogWidget(), Qt::Key_Tab);
        });
    script.when(
        "the combo box has the focus", [] { return GetDlgCtrlID(GetFocus()) == IDC_DISK_COMBO; },
        [] { pressKey(runningDialogWidget(), Qt::Key_Down); });
    script.when(
        "the second stick is chosen",
        [] { return SendMessageA(item(IDC_DISK_COMBO), CB_GETCURSEL, 0, 0) == 1; },
        [] {
            EXPECT_EQ(dialog().targetPath, "\\\\.\\PhysicalDrive2");
            pressKey(runningDialogWidget(), Qt::Key_Return);
        });
    script.when(
        "the confirmation is shown", [] { return activeBox() != nullptr; },
        [&] {
            EXPECT_NE(activeBox()->text().toStdString().find("\n\n" + secondLabel + "\n\n"),
                      std::string::npos);
            paintedPositions.clear();
            paintedTexts.clear();
            pressKey(activeBox(), Qt::Key_Return);
        });
    script.when(
        "the format is complete", [] { return statusText() == "Format complete."; },
        [] {
            EXPECT_EQ(position(), 1000);
            pressKey(runningDialogWidget(), Qt::Key_Escape);
        });
    runProgram();
    EXPECT_TRUE(script.finished());

    // The formatter wrote the second stick's image.
    fixtures::tRecord run = fixtures::readRecord(record());
    ASSERT_TRUE(run.present);
    ASSERT_GE(run.arguments.size(), 3u);
    EXPECT_EQ(run.arguments[1], "-o");
    EXPECT_EQ(run.arguments[2], devices.disks[2].backingFile);
    // While it ran, the screen showed the status text and a bar that moved.
    // The status text was on screen before the bar's first step: the run's paint messages
    // showed it, not a repaint of the bar.
    EXPECT_TRUE(paintedTexts.count({"Formatting drive...", 1}))
        << "the status text was not painted before the first step";
    std::set<int> moving;
    for (int value : paintedPositions)
        if (value > 1 && value < 1000)
            moving.insert(value);
    EXPECT_GE(moving.size(), 2u) << "the bar was not painted as it moved";
    EXPECT_EQ(paintedPositions.back(), 1000);
}

TEST_F(QtProgram, InputGivenDuringTheRunIsHandledWhenTheRunHasEnded) {
    environment.set("FAKE_FORMATTER_SLEEP_MS", "1200");
    bool injected = false;
    std::optional<std::string> statusWhenClosed;
    std::optional<int> positionWhenClosed;
    // While the run repaints the bar, the user presses Escape and clicks Close.
    tPaintWatch barWatch([&] {
        if (injected || statusText() != "Formatting drive..." || position() <= 1)
            return;
        injected = true;
        pressKey(runningDialogWidget(), Qt::Key_Escape);
        click(widgetOf(item(IDCANCEL)));
    });
    tHideWatch dialogWatch([&] {
        if (!statusWhenClosed) {
            statusWhenClosed = statusText();
            positionWhenClosed = position();
        }
    });

    tScript script;
    script.when(
        "the dialog is shown", [] { return runningDialogWidget() != nullptr; },
        [&] {
            widgetOf(item(IDC_PROGRESS))->installEventFilter(&barWatch);
            runningDialogWidget()->installEventFilter(&dialogWatch);
            pressKey(runningDialogWidget(), Qt::Key_Return);
        });
    script.when(
        "the confirmation is shown", [] { return activeBox() != nullptr; },
        [] { pressKey(activeBox(), Qt::Key_Return); });
    runProgram();
    EXPECT_TRUE(script.finished());

    EXPECT_TRUE(injected) << "the bar was never repainted during the run";
    // The dialog closed on that input, and only once the run had ended.
    ASSERT_TRUE(statusWhenClosed.has_value());
    EXPECT_EQ(*statusWhenClosed, "Format complete.");
    EXPECT_EQ(positionWhenClosed, 1000);
}

TEST_F(QtProgram, TheMinimisedDialogShowsItsIconInTheMiddle) {
    QImage painted, expected;
    tScript script;
    script.when(
        "the dialog is shown", [] { return runningDialogWidget() != nullptr; },
        [] { SendMessageA(runningDialog(), WM_SYSCOMMAND, SC_MINIMIZE, 0); });
    script.when(
        "the dialog is minimised", [] { return IsIconic(runningDialog()) != FALSE; },
        [&] {
            QWidget* widget = runningDialogWidget();
            // The dialog's own painting, without its controls.
            painted = QImage(widget->size(), QImage::Format_RGB32);
            widget->render(&painted, QPoint(), QRegion(), QWidget::DrawWindowBackground);
            // The icon's background, then the icon centred as the dialog computes it.
            expected = QImage(widget->size(), QImage::Format_RGB32);
            expected.fill(widget->palette().window().color());
            QPainter painter(&expected);
            int x = (widget->width() - 32 + 1) / 2;
            int y = (widget->height() - 32 + 1) / 2;
            painter.drawPixmap(QRect(x, y, 32, 32), QApplication::windowIcon().pixmap(32, 32));
            painter.end();
            SendMessageA(runningDialog(), WM_SYSCOMMAND, SC_RESTORE, 0);
        });
    script.when(
        "the dialog is restored", [] { return IsIconic(runningDialog()) == FALSE; },
        [] { pressKey(runningDialogWidget(), Qt::Key_Escape); });
    runProgram();
    EXPECT_TRUE(script.finished());
    ASSERT_FALSE(QApplication::windowIcon().isNull()) << "the program's icon is its windows' icon";
    ASSERT_FALSE(painted.isNull());
    EXPECT_EQ(painted, expected);
}

} // namespace
