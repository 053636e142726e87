#include "framework/gdi.h"

void CDC::FillSolidRect(LPCRECT r, COLORREF color)
{
    // ExtTextOut with ETO_OPAQUE fills without creating a brush.
    const COLORREF old = ::SetBkColor(m_hDC, color);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, r, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

CSize CDC::GetTextExtent(LPCSTR text, int length) const
{
    SIZE size{0, 0};
    ::GetTextExtentPoint32A(m_hDC, text, length, &size);
    return CSize(size.cx, size.cy);
}
