#include "app/task_list_ctrl.h"
#include "framework/gdi.h"

BEGIN_MESSAGE_MAP(CTaskListCtrl, CListCtrl)
    ON_WM_PAINT()
    ON_WM_SIZE()
END_MESSAGE_MAP()

void CTaskListCtrl::SetEmptyText(const CString& text)
{
    if (text == m_emptyText)
        return;
    m_emptyText = text;
    if (m_hWnd && GetItemCount() == 0)
        Invalidate();
}

void CTaskListCtrl::OnPaint()
{
    if (GetItemCount() != 0 || m_emptyText.IsEmpty()) {
        Default();
        return;
    }
    // One paint for the control and the text: the control paints into this
    // paint's DC, passed in wParam as the common controls accept it, and the
    // text follows in the same DC, whose clipping is the area being painted.
    // Drawn anywhere else, the smoothed edges of the glyphs would be drawn
    // again over themselves and darken. (The version-6 control's own
    // notification for an empty list exists only from Vista on.)
    CPaintDC dc(m_hWnd);
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    DrawEmptyText(dc);
}

void CTaskListCtrl::OnSize(UINT, int, int)
{
    Default();
    // The text is centred and wrapped to the width: a new size moves all of
    // it, not only the part the control repaints.
    if (GetItemCount() == 0 && !m_emptyText.IsEmpty())
        Invalidate();
}

void CTaskListCtrl::DrawEmptyText(CDC& dc)
{
    CRect client;
    GetClientRect(&client);
    // The dialog's font, which the list's own entries use too.
    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(GetParent(), WM_GETFONT, 0, 0));
    const CSelectObject selected(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(dc, &metrics);
    // A margin of two average characters on either side, one line above and below.
    CRect area = client;
    area.InflateRect(-2 * metrics.tmAveCharWidth, -metrics.tmHeight);
    if (area.Width() <= 0 || area.Height() <= 0)
        return;

    // Word breaks, and within a run too long for a line (a Chinese sentence
    // has no blanks) a break between characters.
    const UINT format = DT_CENTER | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX;
    CRect text = area;
    ::DrawTextA(dc, m_emptyText, m_emptyText.GetLength(), &text, format | DT_CALCRECT);
    const int height = text.Height();
    text = area;
    if (height < area.Height())
        text.top = area.top + (area.Height() - height) / 2;
    dc.SetTextColor(::GetSysColor(COLOR_GRAYTEXT));
    dc.SetBkMode(TRANSPARENT);
    ::DrawTextA(dc, m_emptyText, m_emptyText.GetLength(), &text, format);
}
