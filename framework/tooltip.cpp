#include "framework/tooltip.h"

namespace {

// The size that comctl32 5 accepts as well as 6: version 6 takes the shorter
// structure, version 5 rejects the longer one of newer headers.
TTTOOLINFOA MakeToolInfo(CWnd* pWnd, UINT_PTR nIDTool)
{
    TTTOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = pWnd->m_hWnd;
    info.uId = nIDTool;
    return info;
}

}  // namespace

CToolTipCtrl::~CToolTipCtrl()
{
    // The owner's destruction may have taken the window already; WM_NCDESTROY
    // then cleared m_hWnd.
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle)
{
    return CreateEx(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | dwStyle, CRect(),
                    pParentWnd ? pParentWnd->m_hWnd : nullptr, 0);
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCSTR text, LPCRECT rectTool, UINT_PTR nIDTool)
{
    if (!m_hWnd || !pWnd)
        return FALSE;
    TTTOOLINFOA info = MakeToolInfo(pWnd, nIDTool);
    if (rectTool)
        info.rect = *rectTool;
    else
        pWnd->GetClientRect(&info.rect);
    // The control copies the text; it never writes through the pointer.
    info.lpszText = const_cast<LPSTR>(text);
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)));
}

void CToolTipCtrl::UpdateTipText(LPCSTR text, CWnd* pWnd, UINT_PTR nIDTool)
{
    if (!m_hWnd || !pWnd)
        return;
    TTTOOLINFOA info = MakeToolInfo(pWnd, nIDTool);
    info.lpszText = const_cast<LPSTR>(text);
    SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::RelayEvent(LPMSG pMsg)
{
    if (m_hWnd)
        SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg));
}
