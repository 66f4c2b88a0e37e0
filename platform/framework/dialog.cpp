#include "platform/framework/dialog.h"

#include "platform/framework/application.h"

#include <cstring>

namespace {

// The dialog whose window is being created: DialogBoxParamA hands it over with WM_INITDIALOG,
// but WM_SETFONT and friends may come first.
thread_local CDialog* dialogBeingCreated = nullptr;

struct tActiveDialog {
    HWND window;
    CDialog* dialog;
    tActiveDialog* outer;
};
thread_local tActiveDialog* activeDialogs = nullptr;

CDialog* dialogOf(HWND window) {
    for (tActiveDialog* at = activeDialogs; at; at = at->outer)
        if (at->window == window)
            return at->dialog;
    return nullptr;
}

template <class T>
bool readAt(const BYTE* data, DWORD size, DWORD offset, T& value) {
    if (offset + sizeof(T) > size)
        return false;
    memcpy(&value, data + offset, sizeof(T));
    return true;
}

} // namespace

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    if (control.m_hWnd)
        return;
    control.Attach(::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, id));
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT id, CWnd* parent) : templateId(id), parentWindow(parent) {}

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal() {
    HWND parent = parentWindow ? parentWindow->m_hWnd : nullptr;
    dialogBeingCreated = this;
    INT_PTR result = DialogBoxParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(templateId), parent,
                                     &CDialog::dialogProc, reinterpret_cast<LPARAM>(this));
    dialogBeingCreated = nullptr;
    return result;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int result) {
    ::EndDialog(m_hWnd, result);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange exchange{this, saveAndValidate};
    DoDataExchange(&exchange);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

bool CDialog::templateWantsCentring() const {
    HMODULE module = AfxGetInstanceHandle();
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(templateId), RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!data)
        return false;
    DWORD size = SizeofResource(module, found);
    // DLGTEMPLATEEX starts with version 1 and signature 0xFFFF; the plain DLGTEMPLATE with
    // its style.
    WORD version = 0, signature = 0;
    DWORD style = 0;
    short x = 0, y = 0;
    bool extended = readAt(data, size, 0, version) && readAt(data, size, 2, signature) &&
                    version == 1 && signature == 0xFFFF;
    bool read = extended ? readAt(data, size, 12, style) && readAt(data, size, 18, x) &&
                               readAt(data, size, 20, y)
                         : readAt(data, size, 0, style) && readAt(data, size, 10, x) &&
                               readAt(data, size, 12, y);
    return read && x == 0 && y == 0 && !(style & (DS_CENTER | DS_CENTERMOUSE | DS_ABSALIGN));
}

INT_PTR CALLBACK CDialog::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* dialog = dialogOf(window);
    if (!dialog && message == WM_INITDIALOG)
        dialog = reinterpret_cast<CDialog*>(lParam);
    if (!dialog)
        dialog = dialogBeingCreated;
    if (!dialog)
        return FALSE;

    if (message == WM_INITDIALOG) {
        dialog->m_hWnd = window;
        auto* entry = new tActiveDialog{window, dialog, activeDialogs};
        activeDialogs = entry;
        BOOL focusDefault = dialog->OnInitDialog();
        if (dialog->templateWantsCentring())
            dialog->CenterWindow();
        return focusDefault;
    }

    INT_PTR result = dialog->handleMessage(message, wParam, lParam);

    if (message == WM_DESTROY) {
        for (tActiveDialog** at = &activeDialogs; *at; at = &(*at)->outer)
            if ((*at)->window == window) {
                tActiveDialog* gone = *at;
                *at = gone->outer;
                delete gone;
                break;
            }
        CWinApp* app = AfxGetApp();
        if (app && app->m_pMainWnd == dialog)
            app->m_pMainWnd = nullptr;
        dialog->m_hWnd = nullptr;
    }
    return result;
}

INT_PTR CDialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const framework::tMessageMapEntry* entry =
        framework::findEntry(GetMessageMap(), message, HIWORD(wParam), LOWORD(wParam));
    if (!entry)
        return FALSE;

    defaultRequested = false;
    INT_PTR result = TRUE;
    switch (entry->signature) {
    case framework::tSignature::command:
    case framework::tSignature::paint:
        (this->*entry->command)();
        break;
    case framework::tSignature::sysCommand:
        (this->*entry->sysCommand)(static_cast<UINT>(wParam), lParam);
        break;
    case framework::tSignature::queryDragIcon:
        // The one message whose answer the dialog procedure returns itself.
        result = reinterpret_cast<INT_PTR>((this->*entry->queryDragIcon)());
        break;
    case framework::tSignature::end:
        break;
    }
    return defaultRequested ? FALSE : result;
}
