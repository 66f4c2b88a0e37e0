#pragma once

// Drives the Qt desktop from its own event loop while a modal dialog or box runs: the steps of
// a script run in order, each once its condition holds; input reaches the windows the way the
// platform delivers it, queued, and is handled when the event loop next looks. A step that
// waits too long fails the test and ends every modal window, so that nothing hangs.

#include "platform/win32_api.h"

#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <deque>
#include <functional>
#include <string>

namespace qtfixtures {

class tScript {
public:
    explicit tScript(std::chrono::milliseconds patience = std::chrono::seconds(15));
    ~tScript();
    tScript(const tScript&) = delete;
    tScript& operator=(const tScript&) = delete;

    // Runs `act` once `ready` holds.
    tScript& when(std::string what, std::function<bool()> ready, std::function<void()> act = {});
    // Runs `act` as soon as the previous steps are done.
    tScript& then(std::string what, std::function<void()> act);

    // Whether every step has run.
    bool finished() const { return steps.empty() && !gaveUp; }

private:
    struct tStep {
        std::string what;
        std::function<bool()> ready;
        std::function<void()> act;
    };

    void tick();

    std::chrono::milliseconds patience;
    std::chrono::steady_clock::time_point waitingSince;
    std::deque<tStep> steps;
    QTimer timer;
    bool gaveUp = false;
};

// The innermost modal window, and the same if it is a message box or one of our dialogs.
QWidget* activeModal();
QMessageBox* activeBox();
// The widget of the running dialog of the program (the innermost), or null.
QWidget* runningDialogWidget();
HWND runningDialog();
// The widget that shows window `handle`.
QWidget* widgetOf(HWND handle);

// Input as the platform reports it: queued for `window`'s top-level window.
void pressKey(QWidget* window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void click(QWidget* widget);

// Ends every modal box and dialog; what a failed script leaves behind.
void abandonModals();

} // namespace qtfixtures
