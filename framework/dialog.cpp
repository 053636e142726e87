#include "framework/dialog.h"
#include "framework/app.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control)
{
    if (control.m_hWnd)
        return;
    control.SubclassWindow(pDX->m_pDlgWnd->GetDlgItem(nIDC));
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParent) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParent) {}

namespace {
INT_PTR CALLBACK NullDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    // Every message is handled by the subclassed window procedure.
    return FALSE;
}
}  // namespace

HWND CDialog::CreateFromTemplate(HWND owner)
{
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    afx::CreateHookScope hook(this);
    HWND hwnd = ::CreateDialogParamA(instance, MAKEINTRESOURCEA(m_nIDTemplate), owner, NullDialogProc, 0);
    if (!hwnd && m_hWnd)
        Unbind();
    return hwnd;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParent)
{
    if (nIDTemplate)
        m_nIDTemplate = nIDTemplate;
    if (pParent)
        m_pParentWnd = pParent;
    if (m_hWnd)
        return FALSE;
    return CreateFromTemplate(m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr) != nullptr;
}

INT_PTR CDialog::DoModal()
{
    // The owner is the given parent, else the main window; the last active
    // popup of its top-level window, so that nested dialogs stack correctly.
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner) {
        CWnd* main = AfxGetMainWnd();
        if (main && main != this)
            owner = main->m_hWnd;
    }
    if (owner && ::IsWindow(owner)) {
        while (HWND up = ::GetParent(owner)) {
            if (!(::GetWindowLongA(owner, GWL_STYLE) & WS_CHILD))
                break;
            owner = up;
        }
        owner = ::GetLastActivePopup(owner);
    } else {
        owner = nullptr;
    }

    bool enableOwner = false;
    if (owner && ::IsWindowEnabled(owner)) {
        ::EnableWindow(owner, FALSE);
        enableOwner = true;
    }

    m_nModalResult = -1;
    if (CreateFromTemplate(owner)) {
        // A template without WS_VISIBLE is shown here, as the dialog manager
        // shows one with it after WM_INITDIALOG.
        if (!IsWindowVisible())
            ShowWindow(SW_SHOWNORMAL);
        m_bModalRunning = true;
        MSG msg;
        // The window may die without EndDialog (destroyed, with its owner or
        // by a message from another thread): WM_NCDESTROY ends the loop.
        while (m_bModalRunning && m_hWnd) {
            const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
            if (got == 0) {
                // WM_QUIT ends the loop and is left for the caller's loop.
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (got == -1)
                break;
            if (!WalkPreTranslate(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
        m_bModalRunning = false;
    }

    if (enableOwner)
        ::EnableWindow(owner, TRUE);
    if (m_hWnd) {
        // Hide first so that activation passes to the owner, not elsewhere.
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        if (owner && ::GetActiveWindow() == m_hWnd)
            ::SetActiveWindow(owner);
        DestroyWindow();
    } else if (owner && enableOwner && ::IsWindow(owner)) {
        ::SetActiveWindow(owner);
    }
    return m_nModalResult;
}

bool CDialog::WalkPreTranslate(MSG* pMsg)
{
    for (HWND h = pMsg->hwnd; h && h != m_hWnd; h = ::GetParent(h)) {
        if (CWnd* wnd = FromHandlePermanent(h); wnd && wnd->PreTranslateMessage(pMsg))
            return true;
        if (!(::GetWindowLongA(h, GWL_STYLE) & WS_CHILD))
            break;
    }
    return PreTranslateMessage(pMsg) != FALSE;
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    return m_hWnd && ::IsDialogMessageA(m_hWnd, pMsg);
}

void CDialog::EndDialog(int result)
{
    m_nModalResult = result;
    if (m_bModalRunning) {
        m_bModalRunning = false;
        // Wakes the modal loop if the call came from a nested loop.
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
    } else if (m_hWnd) {
        DestroyWindow();
    }
}

BOOL CDialog::UpdateData(BOOL save)
{
    CDataExchange dx(this, save);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_NCDESTROY && m_bModalRunning) {
        // Destroyed without EndDialog: the modal loop ends with -1, as the
        // system's dialog manager's does, and is woken should it be waiting
        // (the destruction came in a message sent from another thread).
        m_bModalRunning = false;
        m_nModalResult = -1;
        ::PostThreadMessageA(::GetCurrentThreadId(), WM_NULL, 0, 0);
    }
    if (message != WM_INITDIALOG)
        return CWnd::OnWndMsg(message, wParam, lParam, pResult);

    // The dialog manager shows the window after WM_INITDIALOG; centre it first,
    // unless initialisation placed it itself.
    CRect before;
    GetWindowRect(&before);
    *pResult = OnInitDialog();
    CRect after;
    GetWindowRect(&after);
    if (!(GetStyle() & (WS_CHILD | WS_VISIBLE)) && before == after && !(GetStyle() & DS_CENTER))
        CenterWindow();
    return TRUE;
}
