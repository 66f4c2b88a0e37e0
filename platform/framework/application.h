#pragma once

// The application object and the framework's global services.

#include "platform/framework/window.h"

// The command that asks for help; the application's map may route it to OnHelp.
#define ID_HELP 0xE146

class CWinApp : public CCmdTarget {
public:
    // The one application object registers itself; `name` captions every message box.
    explicit CWinApp(LPCSTR name);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    HICON LoadIcon(UINT id) const;

    LPCSTR m_pszAppName;
    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;

    void OnHelp();

protected:
    static const framework::tMessageMap* GetThisMessageMap();
    const framework::tMessageMap* GetMessageMap() const override;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();

// A message box captioned with the application's name, owned by its main window; a type that
// names no icon gets the exclamation mark.
int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT helpId = 0);

namespace framework {
// Runs the application: the common controls are registered, then InitInstance and ExitInstance.
// Returns the process's exit code. The program's entry point calls it.
int runApplication();
} // namespace framework
