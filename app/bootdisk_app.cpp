#include "app/bootdisk_app.h"

#include "app/bootdisk_dialog.h"

tBootDiskApp theApp;

BEGIN_MESSAGE_MAP(tBootDiskApp, CWinApp)
ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

tBootDiskApp::tBootDiskApp() : CWinApp(applicationName) {}

tBootDiskApp::~tBootDiskApp() = default;

BOOL tBootDiskApp::InitInstance() {
    CWinApp::InitInstance();

    tBootDiskDialog dialog;
    if (dialog.diskList.empty()) {
        AfxMessageBox("No USB flash disks detected.  Please connect a USB flash disk and restart "
                      "this application.",
                      MB_OK);
    } else {
        m_pMainWnd = &dialog;
        dialog.DoModal();
    }
    // The dialog has ended: no message loop follows.
    return FALSE;
}
