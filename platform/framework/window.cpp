#include "platform/framework/window.h"

#include <vector>

const framework::tMessageMap* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

const framework::tMessageMap* CCmdTarget::GetThisMessageMap() {
    static const framework::tMessageMapEntry entries[] = {
        {0, 0, 0, framework::tSignature::end, nullptr, nullptr, nullptr}};
    static const framework::tMessageMap map = {nullptr, entries};
    return &map;
}

CWnd::~CWnd() = default;

BOOL CWnd::Attach(HWND window) {
    if (!window || m_hWnd)
        return FALSE;
    m_hWnd = window;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND window = m_hWnd;
    m_hWnd = nullptr;
    return window;
}

void CWnd::SetWindowText(LPCSTR text) {
    ::SetWindowTextA(m_hWnd, text);
}

void CWnd::GetWindowText(CString& text) const {
    int length = GetWindowTextLengthA(m_hWnd);
    std::vector<char> buffer(static_cast<std::size_t>(length > 0 ? length : 0) + 1);
    int copied = ::GetWindowTextA(m_hWnd, buffer.data(), static_cast<int>(buffer.size()));
    text = CString(buffer.data(), copied > 0 ? copied : 0);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::IsIconic() const {
    return ::IsIconic(m_hWnd);
}

void CWnd::GetClientRect(LPRECT rect) const {
    ::GetClientRect(m_hWnd, rect);
}

void CWnd::GetWindowRect(LPRECT rect) const {
    ::GetWindowRect(m_hWnd, rect);
}

HWND CWnd::GetDlgItemHandle(int id) const {
    return ::GetDlgItem(m_hWnd, id);
}

void CWnd::CenterWindow() {
    RECT window{};
    if (!::GetWindowRect(m_hWnd, &window))
        return;
    RECT area{};
    HWND parent = ::GetParent(m_hWnd);
    if (!parent || !::GetWindowRect(parent, &area))
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    // Keep the caption reachable on a work area smaller than the window.
    if (x < area.left)
        x = area.left;
    if (y < area.top)
        y = area.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::OnSysCommand(UINT, LPARAM) {
    Default();
}

void CWnd::OnPaint() {
    Default();
}

HCURSOR CWnd::OnQueryDragIcon() {
    Default();
    return nullptr;
}

void CWnd::Default() {
    defaultRequested = true;
}
