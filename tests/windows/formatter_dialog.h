#pragma once

// The main dialog on the real user32, made to run the formatter once as it opens, with what
// its progress bar and status text went through; and a watcher that answers message boxes.

#include "app/bootdisk_dialog.h"
#include "writer/formatter_run.h"

#include <cstdint>
#include <string>
#include <vector>

namespace wine {

// One message that moved the progress bar, and the bar's position before and after it.
struct tBarMessage {
    UINT message; // PBM_STEPIT or PBM_SETPOS
    int before;
    int after;
};

// The dialog runs runFormatter(*this, target) from OnInitDialog, right after the base's
// initialisation, and then ends itself. DoModal returns IDOK once that has happened.
class tFormatterDialog : public tBootDiskDialog {
public:
    explicit tFormatterDialog(CString target);

    tFormatResult result = -1;
    std::vector<tBarMessage> barMessages; // during the run
    std::vector<std::string> statusTexts; // every text the status control was given in the run
    int finalPosition = -1;
    std::string finalStatus;
    // The kernel handles open in this process before and after the run.
    std::vector<std::uintptr_t> handlesBefore;
    std::vector<std::uintptr_t> handlesAfter;

protected:
    BOOL OnInitDialog() override;

private:
    static LRESULT CALLBACK observe(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    CString target;
    WNDPROC progressProc = nullptr;
    WNDPROC statusProc = nullptr;
};

// What a message box showed while it was up.
struct tShownBox {
    std::string caption;
    std::string text;
    bool visible;
    bool hasIcon;
    std::string status; // the dialog's status text at that moment
    int position;       // the progress bar's position at that moment
};

// While it lives, every message box of this thread is recorded and closed with IDOK, from a
// thread timer that the box's own modal loop dispatches.
class tBoxWatcher {
public:
    explicit tBoxWatcher(tFormatterDialog& dialog);
    ~tBoxWatcher();
    tBoxWatcher(const tBoxWatcher&) = delete;
    tBoxWatcher& operator=(const tBoxWatcher&) = delete;

    std::vector<tShownBox> boxes;

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);

    tFormatterDialog& dialog;
    std::vector<HWND> answered;
    UINT_PTR timer;
};

} // namespace wine
