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
    // The control paints first, as on every system; the text goes over it.
    // (The version-6 control's own notification for an empty list exists
    // only from Vista on.)
    Default();
    if (GetItemCount() == 0 && !m_emptyText.IsEmpty())
        DrawEmptyText();
}

void CTaskListCtrl::OnSize(UINT, int, int)
{
    Default();
    // The text is centred and wrapped to the width: a new size moves all of
    // it, not only the part the control repaints.
    if (GetItemCount() == 0 && !m_emptyText.IsEmpty())
        Invalidate();
}

void CTaskListCtrl::DrawEmptyText()
{
    CRect client;
    GetClientRect(&client);
    CClientDC dc(m_hWnd);
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
