#pragma once

// Window objects for the common controls a dialog attaches with DDX_Control, and the paint
// context.

#include "platform/framework/window.h"

class CComboBox : public CWnd {
public:
    int GetCount() { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) { return static_cast<int>(SendMessage(CB_SETCURSEL, WPARAM(index))); }
    int InsertString(int index, LPCSTR text) {
        return static_cast<int>(
            SendMessage(CB_INSERTSTRING, WPARAM(index), reinterpret_cast<LPARAM>(text)));
    }
    int AddString(LPCSTR text) {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    void GetLBText(int index, CString& text);
};

class CProgressCtrl : public CWnd {
public:
    void SetRange(short lower, short upper) {
        SendMessage(PBM_SETRANGE, 0, MAKELPARAM(lower, upper));
    }
    int SetStep(int step) { return static_cast<int>(SendMessage(PBM_SETSTEP, WPARAM(step))); }
    int StepIt() { return static_cast<int>(SendMessage(PBM_STEPIT)); }
    int SetPos(int position) { return static_cast<int>(SendMessage(PBM_SETPOS, WPARAM(position))); }
    int GetPos() { return static_cast<int>(SendMessage(PBM_GETPOS)); }
};

class CStatic : public CWnd {};

// BeginPaint for the lifetime of the object.
class CPaintDC {
public:
    explicit CPaintDC(CWnd* window);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }

    HDC m_hDC;
    PAINTSTRUCT m_ps;

private:
    HWND window;
};
