#pragma once

// Modal dialogs built from a dialog template resource, with their data exchange.

#include "platform/framework/window.h"

class CDialog;

// What DoDataExchange is given: the dialog, and whether data flows from the controls.
struct CDataExchange {
    CDialog* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Attaches control `id` of the dialog to `control`, once.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog until it ends; its result, or -1 when it could not be created.
    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int result);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Whether the template leaves the dialog's place to the framework: position 0, 0 and no
    // centring or absolute-position style of its own.
    bool templateWantsCentring() const;

    UINT templateId;
    CWnd* parentWindow;
};
