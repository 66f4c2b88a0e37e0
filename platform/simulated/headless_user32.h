#pragma once

// A headless user32 for tests: windows and dialog items are objects with state, dialogs are
// built from the program's compiled templates, message boxes are recorded and answered from a
// script, and the user's input to a modal dialog comes from a script too. Whatever the script
// does not answer is reported as a failure at once and ends the box or dialog, so a test never
// hangs waiting for input.

#include "platform/win32_api.h"

#include <functional>
#include <string>
#include <vector>

namespace headless {

struct tMessageBoxRecord {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
    int answer;
};

struct tSentMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct tIconDraw {
    HWND window; // the window whose paint context was drawn into
    int x;
    int y;
    HICON icon;
};

struct tProgressState {
    int lower;
    int upper;
    int position;
    int step;
};

// Forgets every window, script and record; the next test starts on an empty desktop.
void reset();

// How a failure of the script is reported (a test sets ADD_FAILURE here). By default the
// message is printed and the process aborts.
void setFailureHandler(std::function<void(const std::string&)> handler);

// Message boxes: the answers, in order; a function sees the box (and may look at the dialog
// behind it) and returns the button pressed.
void answerMessageBox(int button);
void answerMessageBox(std::function<int(const tMessageBoxRecord&)> answer);
const std::vector<tMessageBoxRecord>& messageBoxes();

// The user's input to modal dialogs, in order: each action runs when the innermost dialog
// waits for input.
void queueAction(std::function<void()> action);
void clickButton(int id);
void pressKey(int virtualKey);
void selectComboItem(int id, int index);
void systemCommand(UINT command);
// Minimises the dialog with the given client area, then paints it.
void minimise(int clientWidth, int clientHeight);
// Lets the test look at (and assert on) the running dialog.
void inspect(std::function<void(HWND dialog)> check);

// The innermost dialog running modally, or null.
HWND activeDialog();
int dialogsCreated();

// What windows hold.
std::string windowText(HWND window);
std::vector<std::string> comboItems(HWND combo);
int comboSelection(HWND combo);
tProgressState progressState(HWND progress);
// Where the window stood when it was first shown, in screen coordinates.
RECT shownRect(HWND window);
// How often a window was painted since it was created.
int paintCount(HWND window);
// Every text the window was given, and every position a progress bar took, in order.
std::vector<std::string> textHistory(HWND window);
std::vector<int> positionHistory(HWND progress);

// Every SendMessageA, and every icon drawn.
const std::vector<tSentMessage>& sentMessages();
const std::vector<tIconDraw>& iconDraws();

// The work area dialogs are centred in, and system metrics (SM_CXICON and so on).
RECT workArea();
void setSystemMetric(int index, int value);

} // namespace headless
