#include "platform/framework/controls.h"

#include <vector>

void CComboBox::GetLBText(int index, CString& text) {
    LRESULT length = SendMessage(CB_GETLBTEXTLEN, WPARAM(index));
    if (length < 0) {
        text.Empty();
        return;
    }
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    LRESULT copied =
        SendMessage(CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(buffer.data()));
    text = CString(buffer.data(), copied > 0 ? static_cast<int>(copied) : 0);
}

CPaintDC::CPaintDC(CWnd* paintedWindow) : m_ps{}, window(paintedWindow->m_hWnd) {
    m_hDC = BeginPaint(window, &m_ps);
}

CPaintDC::~CPaintDC() {
    EndPaint(window, &m_ps);
}
