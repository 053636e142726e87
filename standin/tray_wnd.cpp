#include "standin/tray_wnd.h"
#include <commctrl.h>

namespace {

constexpr UINT_PTR kPollTimer = 1;
constexpr UINT_PTR kRedrawTimer = 2;
// A client's calls come in bursts (a refresh makes thousands); the buttons
// are drawn once the calls have paused this long.
constexpr DWORD kRedrawPauseMs = 100;

// The class names by which a client finds the chain (see FindButtonHost).
constexpr char kSwitcherClass[] = "MSTaskSwWClass";

WNDCLASSEXA PlainClass(LPCSTR name)
{
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = name;
    return wc;
}

HWND ToWindow(WPARAM wParam)
{
    return reinterpret_cast<HWND>(wParam);
}

}  // namespace

// ------------------------------------------------------------- CTaskSwitchWnd

BEGIN_MESSAGE_MAP(CTaskSwitchWnd, CWnd)
    ON_WM_SIZE()
END_MESSAGE_MAP()

BOOL CTaskSwitchWnd::Create(LPCSTR className, HWND parent, const RECT& rect)
{
    return CreateEx(0, className, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, rect, parent, 0);
}

void CTaskSwitchWnd::OnSize(UINT, int cx, int cy)
{
    if (m_pHost && m_pHost->GetSafeHwnd())
        m_pHost->MoveWindow(CRect(0, 0, cx, cy));
}

// ------------------------------------------------------------------ CTrayWnd

// The protocol's requests are registered messages: their numbers are known
// only at run time, when this table is first built.
BEGIN_MESSAGE_MAP(CTrayWnd, CWnd)
    ON_MESSAGE(::RegisterWindowMessageA(kStandinMsgAddTab), &CTrayWnd::OnAddTab)
    ON_MESSAGE(::RegisterWindowMessageA(kStandinMsgDeleteTab), &CTrayWnd::OnDeleteTab)
    ON_MESSAGE(::RegisterWindowMessageA(kStandinMsgActivateTab), &CTrayWnd::OnActivateTab)
    ON_MESSAGE(::RegisterWindowMessageA(kStandinMsgButtonCount), &CTrayWnd::OnButtonCount)
    ON_MESSAGE(::RegisterWindowMessageA(kStandinMsgButtonWindow), &CTrayWnd::OnButtonWindow)
    ON_MESSAGE(::RegisterWindowMessageA(kStandinMsgCallCount), &CTrayWnd::OnCallCount)
    ON_MESSAGE(::RegisterWindowMessageA(kStandinMsgCallOp), &CTrayWnd::OnCallOp)
    ON_MESSAGE(::RegisterWindowMessageA(kStandinMsgCallWindow), &CTrayWnd::OnCallWindow)
    ON_MESSAGE(::RegisterWindowMessageA(kStandinMsgCallResult), &CTrayWnd::OnCallResult)
    ON_MESSAGE(::RegisterWindowMessageA(kStandinMsgClearLog), &CTrayWnd::OnClearLog)
    ON_MESSAGE(::RegisterWindowMessageA(kStandinMsgHostQueries), &CTrayWnd::OnHostQueries)
    ON_MESSAGE(::RegisterWindowMessageA(kStandinMsgFailActivate), &CTrayWnd::OnFailActivate)
    ON_MESSAGE(::RegisterWindowMessageA(kStandinMsgRescan), &CTrayWnd::OnRescan)
    ON_MESSAGE(WM_DISPLAYCHANGE, &CTrayWnd::OnDisplayChange)
    ON_MESSAGE(WM_DESTROY, &CTrayWnd::OnDestroy)
    ON_WM_SIZE()
    ON_WM_TIMER()
END_MESSAGE_MAP()

CTrayWnd::CTrayWnd(const CStandinOptions& options) : m_options(options)
{
    if (m_options.toolbar)
        m_pHost = std::make_unique<CToolbarButtonHost>();
    else
        m_pHost = std::make_unique<CTabButtonHost>();
}

CTrayWnd::~CTrayWnd()
{
    // The window goes before the members that its children belong to.
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

BOOL CTrayWnd::Create()
{
    if (!m_trayClass.Register(PlainClass(kStandinTrayClass)) || !m_switcherClass.Register(PlainClass(kSwitcherClass)))
        return FALSE;

    // A tool window owns no button of its own on any taskbar; topmost keeps
    // the strip in sight above the windows it lists.
    const CRect start(0, 0, ::GetSystemMetrics(SM_CXSCREEN), kTrayHeight);
    if (!CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, m_trayClass.GetName(), "", WS_POPUP | WS_CLIPCHILDREN,
                  start, nullptr, 0))
        return FALSE;

    CRect client;
    GetClientRect(&client);
    HWND switcherParent = m_hWnd;
    if (m_options.rebar) {
        if (!CreateRebar(client))
            return FALSE;
        switcherParent = m_rebar.m_hWnd;
    }
    if (!m_switcher.Create(m_switcherClass.GetName(), switcherParent, client))
        return FALSE;
    CRect switcherClient;
    m_switcher.GetClientRect(&switcherClient);
    if (!m_pHost->Create(m_switcher.m_hWnd, switcherClient))
        return FALSE;
    m_switcher.SetHost(m_pHost.get());

    if (m_options.rebar) {
        REBARBANDINFOA band{};
        band.cbSize = sizeof band;
        band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_SIZE;
        band.fStyle = RBBS_NOGRIPPER;
        band.hwndChild = m_switcher.m_hWnd;
        band.cyMinChild = static_cast<UINT>(client.Height());
        band.cx = static_cast<UINT>(client.Width());
        m_rebar.SendMessage(RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
    }

    m_pButtons = std::make_unique<CTaskButtons>(*m_pHost, ::GetCurrentProcessId());
    m_pButtons->AddExisting();
    PlaceOnScreen();
    ShowWindow(SW_SHOWNOACTIVATE);
    SetTimer(kPollTimer, m_options.pollMs);
    ::SetPropA(m_hWnd, kStandinTrayProperty, reinterpret_cast<HANDLE>(kStandinTrayMagic));
    // As a shell that (re)starts does: programs that keep something on the
    // taskbar put it back when they hear this. Posted to every top-level
    // window, so that no hung program can hold the taskbar up.
    ::PostMessageA(HWND_BROADCAST, ::RegisterWindowMessageA(kTaskbarCreatedMessage), 0, 0);
    return TRUE;
}

BOOL CTrayWnd::CreateRebar(const RECT& rect)
{
    // The tray places the rebar itself, along its whole client area.
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | RBS_FIXEDORDER |
                        CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE;
    if (!m_rebar.CreateEx(0, REBARCLASSNAMEA, "", style, rect, m_hWnd, 0))
        return FALSE;
    REBARINFO info{};
    info.cbSize = sizeof info;
    m_rebar.SendMessage(RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info));
    return TRUE;
}

void CTrayWnd::PlaceOnScreen()
{
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    SetWindowPos(HWND_TOPMOST, 0, height - kTrayHeight, width, kTrayHeight, SWP_NOACTIVATE);
}

void CTrayWnd::OnSize(UINT, int cx, int cy)
{
    const CRect client(0, 0, cx, cy);
    if (m_rebar.m_hWnd) {
        m_rebar.MoveWindow(client);
        // The band, and with it the switcher, follows the rebar's width.
        REBARBANDINFOA band{};
        band.cbSize = sizeof band;
        band.fMask = RBBIM_SIZE | RBBIM_CHILDSIZE;
        band.cx = static_cast<UINT>(cx);
        band.cyMinChild = static_cast<UINT>(cy);
        m_rebar.SendMessage(RB_SETBANDINFOA, 0, reinterpret_cast<LPARAM>(&band));
    } else if (m_switcher.m_hWnd) {
        m_switcher.MoveWindow(client);
    }
}

void CTrayWnd::OnTimer(UINT_PTR id)
{
    if (id == kPollTimer && m_pButtons) {
        m_pButtons->Scan();
    } else if (id == kRedrawTimer && ::GetTickCount() - m_lastCallTick >= kRedrawPauseMs) {
        KillTimer(kRedrawTimer);
        m_redrawHeld = false;
        m_pHost->ReleaseRedraw();
    }
}

void CTrayWnd::HoldRedraw()
{
    // Drawing the buttons after every call of a burst would make each call
    // wait for a repaint of the whole row: the calls' cost would grow with
    // the number of buttons.
    m_lastCallTick = ::GetTickCount();
    if (!m_redrawHeld) {
        m_redrawHeld = true;
        m_pHost->HoldRedraw();
        SetTimer(kRedrawTimer, kRedrawPauseMs);
    }
}

LRESULT CTrayWnd::OnDisplayChange(WPARAM, LPARAM)
{
    PlaceOnScreen();
    return 0;
}

LRESULT CTrayWnd::OnDestroy(WPARAM, LPARAM)
{
    // No client may find a tray that is going away.
    ::RemovePropA(m_hWnd, kStandinTrayProperty);
    KillTimer(kPollTimer);
    return Default();
}

void CTrayWnd::PostNcDestroy()
{
    ::PostQuitMessage(0);
}

HRESULT CTrayWnd::Log(StandinOp op, HWND hWnd, HRESULT result)
{
    m_calls.push_back(CCall{op, hWnd, result});
    return result;
}

const CTrayWnd::CCall* CTrayWnd::CallAt(WPARAM index) const
{
    return index < m_calls.size() ? &m_calls[index] : nullptr;
}

LRESULT CTrayWnd::OnAddTab(WPARAM wParam, LPARAM)
{
    HoldRedraw();
    return Log(StandinOpAddTab, ToWindow(wParam), m_pButtons->AddTab(ToWindow(wParam)));
}

LRESULT CTrayWnd::OnDeleteTab(WPARAM wParam, LPARAM)
{
    HoldRedraw();
    return Log(StandinOpDeleteTab, ToWindow(wParam), m_pButtons->DeleteTab(ToWindow(wParam)));
}

LRESULT CTrayWnd::OnActivateTab(WPARAM wParam, LPARAM)
{
    HoldRedraw();
    return Log(StandinOpActivateTab, ToWindow(wParam), m_pButtons->ActivateTab(ToWindow(wParam)));
}

LRESULT CTrayWnd::OnButtonCount(WPARAM, LPARAM)
{
    return m_pButtons->GetCount();
}

LRESULT CTrayWnd::OnButtonWindow(WPARAM wParam, LPARAM)
{
    // An index beyond int's range is outside the buttons too.
    if (wParam > static_cast<WPARAM>(m_pButtons->GetCount()))
        return 0;
    return reinterpret_cast<LRESULT>(m_pButtons->GetWindowAt(static_cast<int>(wParam)));
}

LRESULT CTrayWnd::OnCallCount(WPARAM, LPARAM)
{
    return static_cast<LRESULT>(m_calls.size());
}

LRESULT CTrayWnd::OnCallOp(WPARAM wParam, LPARAM)
{
    const CCall* call = CallAt(wParam);
    return call ? call->op : StandinOpNone;
}

LRESULT CTrayWnd::OnCallWindow(WPARAM wParam, LPARAM)
{
    const CCall* call = CallAt(wParam);
    return call ? reinterpret_cast<LRESULT>(call->hWnd) : 0;
}

LRESULT CTrayWnd::OnCallResult(WPARAM wParam, LPARAM)
{
    const CCall* call = CallAt(wParam);
    return call ? call->result : 0;
}

LRESULT CTrayWnd::OnClearLog(WPARAM, LPARAM)
{
    m_calls.clear();
    m_pHost->ResetForeignMessages();
    return 0;
}

LRESULT CTrayWnd::OnHostQueries(WPARAM, LPARAM)
{
    return m_pHost->GetForeignMessages();
}

LRESULT CTrayWnd::OnFailActivate(WPARAM wParam, LPARAM lParam)
{
    m_pButtons->SetActivateFailure(ToWindow(wParam), lParam != 0);
    return 0;
}

LRESULT CTrayWnd::OnRescan(WPARAM, LPARAM)
{
    m_pButtons->Scan();
    return m_pButtons->GetCount();
}
