#pragma once

// The command target at the root of every class with a message map, and the window object
// that wraps one HWND.

#include "platform/framework/cstring.h"
#include "platform/framework/message_map.h"

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    virtual const framework::tMessageMap* GetMessageMap() const;

protected:
    static const framework::tMessageMap* GetThisMessageMap();
};

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    BOOL Attach(HWND window);
    HWND Detach();

    void SetWindowText(LPCSTR text);
    void GetWindowText(CString& text) const;
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL IsIconic() const;
    void GetClientRect(LPRECT rect) const;
    void GetWindowRect(LPRECT rect) const;
    HWND GetDlgItemHandle(int id) const;
    // Centres the window over its parent, or over the work area when it has none.
    void CenterWindow();

protected:
    // Handlers with default processing; a derived class's map entry reaches them.
    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();

    // Leaves the message being handled to the platform's default processing.
    void Default();

    friend class CDialog;
    bool defaultRequested = false;
};
