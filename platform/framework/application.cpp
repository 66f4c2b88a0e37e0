#include "platform/framework/application.h"

namespace {
CWinApp* theApplication = nullptr;
}

CWinApp::CWinApp(LPCSTR name) : m_pszAppName(name) {
    theApplication = this;
}

CWinApp::~CWinApp() {
    if (theApplication == this)
        theApplication = nullptr;
}

const framework::tMessageMap* CWinApp::GetMessageMap() const {
    return GetThisMessageMap();
}

const framework::tMessageMap* CWinApp::GetThisMessageMap() {
    return CCmdTarget::GetThisMessageMap();
}

BOOL CWinApp::InitInstance() {
    if (!m_hInstance)
        m_hInstance = GetModuleHandleA(nullptr);
    return TRUE;
}

int CWinApp::ExitInstance() {
    return 0;
}

HICON CWinApp::LoadIcon(UINT id) const {
    return ::LoadIconA(m_hInstance ? m_hInstance : GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
}

void CWinApp::OnHelp() {
    // The program ships no help file; asking for help changes nothing.
}

CWinApp* AfxGetApp() {
    return theApplication;
}

HINSTANCE AfxGetInstanceHandle() {
    CWinApp* app = AfxGetApp();
    return app && app->m_hInstance ? app->m_hInstance : GetModuleHandleA(nullptr);
}

int AfxMessageBox(LPCSTR text, UINT type, UINT /*helpId*/) {
    CWinApp* app = AfxGetApp();
    HWND owner = nullptr;
    if (app && app->m_pMainWnd && IsWindow(app->m_pMainWnd->m_hWnd))
        owner = app->m_pMainWnd->m_hWnd;
    if ((type & MB_ICONMASK) == 0)
        type |= MB_ICONEXCLAMATION;
    return MessageBoxA(owner, text, app ? app->m_pszAppName : nullptr, type);
}

namespace framework {

int runApplication() {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->m_hInstance = GetModuleHandleA(nullptr);
    // An application that returns TRUE would want a message loop; this framework runs modal
    // programs only, so both answers lead to ExitInstance.
    app->InitInstance();
    return app->ExitInstance();
}

} // namespace framework
