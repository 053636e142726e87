#pragma once
// A tooltip control owned by its wrapper: the window is made by Create and
// destroyed with the wrapper, unless its owner window took it down first.
#include "framework/wnd.h"
#include <commctrl.h>

class CToolTipCtrl : public CWnd {
public:
    CToolTipCtrl() = default;
    ~CToolTipCtrl() override;

    // A popup tooltip window owned by pParentWnd (by its top-level window when
    // pParentWnd is a child), with no style beyond WS_POPUP unless given.
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);

    // Adds tool nIDTool of pWnd with no flags: the tip shows over rectTool (pWnd's
    // client coordinates; its whole client area when null) and learns of the mouse
    // only through RelayEvent.
    BOOL AddTool(CWnd* pWnd, LPCSTR text, LPCRECT rectTool = nullptr, UINT_PTR nIDTool = 0);
    void UpdateTipText(LPCSTR text, CWnd* pWnd, UINT_PTR nIDTool = 0);
    // Hands a message meant for a tool window to the tooltip (TTM_RELAYEVENT).
    void RelayEvent(LPMSG pMsg);
};
