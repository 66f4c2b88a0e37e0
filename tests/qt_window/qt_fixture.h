#pragma once

// The program's dialog on the Qt desktop (offscreen): the application made once, the common
// controls registered, and a dialog procedure that records what the dialog is sent.

#include "qt_window/qt_script.h"

#include "app/bootdisk_app.h"
#include "platform/linux/qt_application.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qtfixtures {

struct tReceived {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class QtDesktop : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        platform::qt::application();
        INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        theApp.m_hInstance = GetModuleHandleA(nullptr);
    }

    void SetUp() override { received().clear(); }
    void TearDown() override { abandonModals(); }

    // Everything the recording procedure was sent, in order.
    static std::vector<tReceived>& received() {
        static std::vector<tReceived> messages;
        return messages;
    }

    // The commands among them, as "id/code".
    static std::vector<std::string> commands() {
        std::vector<std::string> seen;
        for (const tReceived& m : received())
            if (m.message == WM_COMMAND)
                seen.push_back(std::to_string(LOWORD(m.wParam)) + "/" +
                               std::to_string(HIWORD(m.wParam)));
        return seen;
    }

    // Runs the program's dialog template with the recording procedure until the script ends
    // it; the procedure handles every command itself, so nothing but EndDialog ends it.
    static INT_PTR runTemplateDialog() {
        return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_BOOTDISK_DIALOG),
                               nullptr, &recordingProc, 0);
    }

private:
    static INT_PTR CALLBACK recordingProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
        received().push_back({message, wParam, lParam});
        switch (message) {
        case WM_INITDIALOG:
        case WM_COMMAND:
            return TRUE;
        default:
            return FALSE;
        }
    }
};

} // namespace qtfixtures
