#include "standin/button_host.h"
#include <algorithm>
#include <string>
#include <utility>

namespace {

// The controls keep their own copy of a button's text; the structures that
// carry it want a writable pointer all the same.
struct CTextCopy {
    explicit CTextCopy(LPCSTR text) : m_text(text ? text : "") {}
    LPSTR Get() { return m_text.data(); }

private:
    std::string m_text;
};

constexpr int kButtonHeight = 24;

}  // namespace

// ---------------------------------------------------------------- CButtonHost

LRESULT CButtonHost::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_selfCalls == 0 && ::InSendMessage())
        ++m_foreignMessages;
    return CWnd::WindowProc(message, wParam, lParam);
}

void CButtonHost::HoldRedraw()
{
    if (m_redrawHeld)
        return;
    CSelfCall call(*this);
    m_redrawHeld = true;
    SendMessage(WM_SETREDRAW, FALSE);
}

void CButtonHost::ReleaseRedraw()
{
    if (!m_redrawHeld)
        return;
    CSelfCall call(*this);
    m_redrawHeld = false;
    if (std::exchange(m_fitPending, false))
        DoFitButtons();
    DoReleaseRedraw();
    SendMessage(WM_SETREDRAW, TRUE);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void CButtonHost::FitButtons()
{
    // Every fit lays out the whole row again: in a burst of changes, once is enough.
    if (m_redrawHeld)
        m_fitPending = true;
    else
        DoFitButtons();
}

int CButtonHost::ButtonWidth(int count, int gap, int lead) const
{
    RECT client{};
    GetClientRect(&client);
    const int fit = count > 0 ? (client.right - client.left - lead - (count - 1) * gap) / count : kMaxButtonWidth;
    return std::clamp(fit, kMinButtonWidth, kMaxButtonWidth);
}

// ------------------------------------------------------------- CTabButtonHost

BEGIN_MESSAGE_MAP(CTabButtonHost, CButtonHost)
    ON_WM_SIZE()
END_MESSAGE_MAP()

BOOL CTabButtonHost::Create(HWND parent, const RECT& rect)
{
    // Button style draws tabs as a row of push buttons, as an old taskbar did;
    // fixed width lets every button shrink alike when the row fills up.
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_BUTTONS | TCS_FIXEDWIDTH |
                        TCS_FOCUSNEVER | TCS_SINGLELINE | TCS_FORCELABELLEFT;
    if (!CreateEx(0, WC_TABCONTROLA, "", style, rect, parent, 0))
        return FALSE;
    SetFont(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    FitButtons();
    return TRUE;
}

void CTabButtonHost::DoSetImageList(HIMAGELIST images)
{
    SendMessage(TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
}

void CTabButtonHost::DoInsertButton(int index, LPCSTR title, int image)
{
    CTextCopy text(title);
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = text.Get();
    item.iImage = image;
    SendMessage(TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    FitButtons();
}

void CTabButtonHost::DoDeleteButton(int index)
{
    SendMessage(TCM_DELETEITEM, static_cast<WPARAM>(index));
    FitButtons();
}

void CTabButtonHost::DoUpdateButton(int index, LPCSTR title, int image)
{
    CTextCopy text(title);
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = text.Get();
    item.iImage = image;
    SendMessage(TCM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void CTabButtonHost::DoShowActive(int index)
{
    // In button style the selection is the pressed button and the focus is
    // separate; both follow the active window. TCM_SETCURSEL sends no
    // notification, so the switcher is not told of a click that never was.
    // Moving the selection lays out the row again: in a burst of activations
    // (a probe) only the focus, which is what a prober asks for, moves at once.
    m_active = index;
    if (!IsRedrawHeld())
        SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(index));
    SendMessage(TCM_SETCURFOCUS, static_cast<WPARAM>(index));
}

void CTabButtonHost::DoReleaseRedraw()
{
    DoShowActive(m_active);
}

void CTabButtonHost::OnSize(UINT, int, int)
{
    Default();
    FitButtons();
}

void CTabButtonHost::DoFitButtons()
{
    const int count = static_cast<int>(SendMessage(TCM_GETITEMCOUNT));
    int width = ButtonWidth(count);
    SendMessage(TCM_SETITEMSIZE, 0, MAKELPARAM(width, kButtonHeight));
    // Button-style tabs start a little way in and stand a few pixels apart,
    // and the control decides how far: read both from the laid-out row. A row
    // wider than the control scrolls and hides its first buttons.
    RECT first{}, second{};
    if (count > 1 && SendMessage(TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first)) &&
        SendMessage(TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second)) && second.left >= first.right) {
        width = ButtonWidth(count, second.left - first.right, std::max(0, static_cast<int>(first.left)));
        SendMessage(TCM_SETITEMSIZE, 0, MAKELPARAM(width, kButtonHeight));
    }
    // Should the control still keep a margin of its own, it shows its scroll
    // arrows, a child up-down control: narrower buttons until they go.
    HWND arrows = ::FindWindowExA(m_hWnd, nullptr, UPDOWN_CLASSA, nullptr);
    while (arrows && ::IsWindowVisible(arrows) && width > kMinButtonWidth) {
        --width;
        SendMessage(TCM_SETITEMSIZE, 0, MAKELPARAM(width, kButtonHeight));
    }
}

// --------------------------------------------------------- CToolbarButtonHost

BEGIN_MESSAGE_MAP(CToolbarButtonHost, CButtonHost)
    ON_WM_SIZE()
END_MESSAGE_MAP()

BOOL CToolbarButtonHost::Create(HWND parent, const RECT& rect)
{
    // The switcher places the toolbar itself: no parent alignment, no resizing
    // of its own, no divider line.
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_LIST | TBSTYLE_FLAT |
                        CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER;
    if (!CreateEx(0, TOOLBARCLASSNAMEA, "", style, rect, parent, 0))
        return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    SendMessage(TB_SETMAXTEXTROWS, 1);
    SetFont(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    FitButtons();
    return TRUE;
}

void CToolbarButtonHost::DoSetImageList(HIMAGELIST images)
{
    SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
}

void CToolbarButtonHost::DoInsertButton(int index, LPCSTR title, int image)
{
    CTextCopy text(title);
    TBBUTTON button{};
    button.iBitmap = image;
    button.idCommand = m_nextCommand++;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_CHECK | BTNS_NOPREFIX;
    button.iString = reinterpret_cast<INT_PTR>(text.Get());
    SendMessage(TB_INSERTBUTTONA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button));
    FitButtons();
}

void CToolbarButtonHost::DoDeleteButton(int index)
{
    SendMessage(TB_DELETEBUTTON, static_cast<WPARAM>(index));
    FitButtons();
}

void CToolbarButtonHost::DoUpdateButton(int index, LPCSTR title, int image)
{
    CTextCopy text(title);
    TBBUTTONINFOA info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_TEXT | TBIF_IMAGE;
    info.iImage = image;
    info.pszText = text.Get();
    SendMessage(TB_SETBUTTONINFOA, static_cast<WPARAM>(CommandAt(index)), reinterpret_cast<LPARAM>(&info));
}

void CToolbarButtonHost::DoShowActive(int index)
{
    const int count = static_cast<int>(SendMessage(TB_BUTTONCOUNT));
    for (int i = 0; i < count; ++i)
        SendMessage(TB_CHECKBUTTON, static_cast<WPARAM>(CommandAt(i)), MAKELPARAM(i == index, 0));
}

void CToolbarButtonHost::OnSize(UINT, int, int)
{
    Default();
    FitButtons();
}

void CToolbarButtonHost::DoFitButtons()
{
    const int width = ButtonWidth(static_cast<int>(SendMessage(TB_BUTTONCOUNT)));
    SendMessage(TB_SETBUTTONWIDTH, 0, MAKELPARAM(width, width));
}

int CToolbarButtonHost::CommandAt(int index) const
{
    TBBUTTON button{};
    if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button)))
        return -1;
    return button.idCommand;
}
