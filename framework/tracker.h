#pragma once
// Drags a rectangle's outline after the pointer, in a capture loop of its own.
#include "framework/wnd.h"

class CRectTracker {
public:
    enum StyleFlags { solidLine = 1, dottedLine = 2 };

    CRectTracker(LPCRECT rect, UINT style) : m_rect(*rect), m_nStyle(style) {}

    // Captures the mouse for pWnd and moves m_rect (pWnd's client coordinates)
    // with the pointer, keeping the offset it had from point. Ends with the left
    // button's release; Esc, the right button or a lost capture cancel it.
    // Nonzero only when the button was released after the rectangle had moved.
    BOOL Track(CWnd* pWnd, CPoint point, BOOL bAllowInvert = FALSE, CWnd* pWndClipTo = nullptr);

    CRect m_rect;
    UINT m_nStyle;
};
