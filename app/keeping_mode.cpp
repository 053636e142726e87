#include "app/keeping_mode.h"
#include "framework/owner.h"
#include "res/resource.h"
#include <string>
#include <utility>

namespace {

// How often the watch looks for new and gone task windows.
constexpr UINT kWatchMs = 500;
constexpr char kIconTip[] = "Corvane";
// Without a "Global\\" or "Local\\" prefix a name lives in the session's
// own namespace wherever Windows has sessions, and in the one namespace of
// a Windows 2000 without Terminal Services: one copy per session either way.
constexpr char kOneCopyMutex[] = "Corvane.OneCopy.8C1F2D6E";
constexpr char kShowMessage[] = "Corvane.ShowWindow.8C1F2D6E";
constexpr char kWindowMark[] = "Corvane.MainWindow.8C1F2D6E";
// How long a later start waits for the first copy: for its window to be made
// (it may be starting too), and for its answer.
constexpr DWORD kAnswerMs = 5000;
constexpr DWORD kLookAgainMs = 100;

struct CMenuTraits {
    using Handle = HMENU;
    static BOOL Release(HMENU menu) { return ::DestroyMenu(menu); }
};
using CMenuOwner = CHandleOwner<CMenuTraits>;

// The full path of this program, empty when it does not fit a path buffer.
std::string OwnPath()
{
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

BOOL CALLBACK FindMark(HWND hWnd, LPARAM lParam)
{
    // A window property is read without a message: a hung window cannot
    // hold the search up.
    if (!::GetPropA(hWnd, kWindowMark))
        return TRUE;
    *reinterpret_cast<HWND*>(lParam) = hWnd;
    return FALSE;
}

// The marked main window of the first copy, or null. This copy has no
// window yet when it looks.
HWND FindMarkedWindow()
{
    HWND found = nullptr;
    ::EnumWindows(FindMark, reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace

COneCopy::COneCopy(bool trayStart, bool keepsOrder)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        HANDLE mutex = ::CreateMutexA(nullptr, FALSE, kOneCopyMutex);
        const bool exists = mutex && ::GetLastError() == ERROR_ALREADY_EXISTS;
        m_mutex.Attach(mutex);
        // Without a mutex at all, or without the order kept, the program
        // runs as it always did.
        if (!exists || !keepsOrder)
            return;
        HWND first = FindMarkedWindow();
        if (first) {
            m_first = false;
            if (trayStart)
                return;
            DWORD process = 0;
            ::GetWindowThreadProcessId(first, &process);
            // This start is the user's and may take the front: it hands that
            // right to the first copy, which would otherwise only flash.
            ::AllowSetForegroundWindow(process);
            DWORD_PTR answer = 0;
            ::SendMessageTimeoutA(first, ShowMessage(), 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerMs, &answer);
            return;
        }
        // The first copy's window is not made yet, or it is ending and its
        // mutex goes with it: looked at again, for a while.
        m_mutex.Close();
        if (::GetTickCount() - start >= kAnswerMs) {
            m_first = false;
            return;
        }
        ::Sleep(kLookAgainMs);
    }
}

UINT COneCopy::ShowMessage()
{
    return ::RegisterWindowMessageA(kShowMessage);
}

CKeepingMode::CKeepingMode(CWnd& wnd, CHost& host, CTaskButtonList& taskButtons, COrderStore store)
    : m_wnd(wnd),
      m_host(host),
      m_keptOrder(taskButtons, std::move(store)),
      // The notification area shows small icons: the icon's own 16 x 16
      // picture rather than the large one shrunk. Shared: never destroyed.
      m_hSmallIcon(static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME),
                                                   IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                   ::GetSystemMetrics(SM_CYSMICON), LR_SHARED)))
{
}

void CKeepingMode::OnInitDialog()
{
    ::SetPropA(m_wnd.m_hWnd, kWindowMark, reinterpret_cast<HANDLE>(1));
    // The order kept in a former run: the list and the taskbar take it now.
    if (m_keptOrder.Resume()) {
        Start();
        m_keepHidden = m_trayStart;
    }
    SayWriteFailure();
}

void CKeepingMode::Remember()
{
    m_keptOrder.Remember();
    SayWriteFailure();
}

void CKeepingMode::AfterRefresh()
{
    // Without a taskbar the refresh left the list as it was, and there is
    // nothing to arrange.
    if (m_keptOrder.IsOn() && CTaskButtonList::FindButtonHost())
        m_keptOrder.Rearrange();
    SayWriteFailure();
}

void CKeepingMode::OnKeepOrder()
{
    // The command does what its check mark offers: a mode that is on but
    // could not be stored shows unchecked, and is turned on again.
    if (IsStoredOn()) {
        m_keptOrder.TurnOff();
        Stop();
    } else {
        m_keptOrder.TurnOn();
        Start();
    }
    SayWriteFailure();
}

void CKeepingMode::SayWriteFailure()
{
    if (m_writeFailureSaid || !m_keptOrder.GetStore().HasWriteFailed())
        return;
    m_writeFailureSaid = true;
    CString text;
    text.LoadString(IDS_WRITE_FAILED);
    // Captioned with the product's name, not the executable's.
    m_host.RunNestedLoop([&] { ::MessageBoxA(m_wnd.m_hWnd, text, "Corvane", MB_OK | MB_ICONEXCLAMATION); });
}

void CKeepingMode::Start()
{
    m_wnd.SetTimer(kWatchTimer, kWatchMs);
    // At logon the notification area may not exist yet, or the shell may be
    // too busy to answer in time.
    if (!m_trayIcon.Show(m_wnd.m_hWnd, kIconId, kIconMessage, m_hSmallIcon, kIconTip))
        StartIconRetries();
}

void CKeepingMode::Stop()
{
    m_wnd.KillTimer(kWatchTimer);
    StopIconRetries();
    m_trayIcon.Hide();
    // Without the icon a hidden window could not be reached again.
    if (!m_wnd.IsWindowVisible())
        ShowWindow();
}

bool CKeepingMode::HideWindow()
{
    if (!m_keptOrder.IsOn() || !m_trayIcon.IsInArea())
        return false;
    m_wnd.ShowWindow(SW_HIDE);
    return true;
}

void CKeepingMode::ShowWindow()
{
    m_keepHidden = false;
    m_wnd.ShowWindow(SW_SHOW);
    ::SetForegroundWindow(m_wnd.m_hWnd);
}

void CKeepingMode::OnStartAtLogon()
{
    const std::string path = OwnPath();
    const COrderStore& store = m_keptOrder.GetStore();
    if (store.IsStartedAtLogon(path))
        store.RemoveStartAtLogon();
    else if (!path.empty())
        store.SetStartAtLogon(path);
    SayWriteFailure();
}

void CKeepingMode::StartIconRetries()
{
    m_iconRetryStart = ::GetTickCount();
    m_wnd.SetTimer(kIconTimer, m_iconRetryMs);
}

void CKeepingMode::StopIconRetries()
{
    m_wnd.KillTimer(kIconTimer);
}

void CKeepingMode::OfferIconAgain()
{
    if (m_trayIcon.OfferAgain()) {
        StopIconRetries();
        return;
    }
    if (::GetTickCount() - m_iconRetryStart < m_iconGiveUpMs)
        return;
    // Refused for good: a hidden window would stay out of reach.
    StopIconRetries();
    if (!m_wnd.IsWindowVisible())
        ShowWindow();
}

bool CKeepingMode::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kIconTimer) {
        OfferIconAgain();
        return true;
    }
    if (nIDEvent != kWatchTimer)
        return false;
    // Without a taskbar (none yet, or one this program cannot arrange) the
    // list says so and stays as the refresh left it: no window is listed
    // and no button touched until a host appears.
    if (!m_host.IsWatchHeld() && CTaskButtonList::FindButtonHost()) {
        m_keptOrder.Watch();
        SayWriteFailure();
    }
    return true;
}

void CKeepingMode::OnTaskbarCreated()
{
    // A new shell: its area takes the icon now, and the offers to the shell
    // that refused it end; if this one refuses it too, they begin anew.
    if (m_trayIcon.AddAgain())
        StopIconRetries();
    else if (m_trayIcon.IsShown())
        StartIconRetries();
}

LRESULT CKeepingMode::OnIconMessage(WPARAM wParam, LPARAM lParam)
{
    if (wParam != kIconId)
        return 0;
    switch (lParam) {
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK: ShowWindow(); break;
    case WM_RBUTTONUP: ShowIconMenu(); break;
    default: break;
    }
    return 0;
}

void CKeepingMode::ShowIconMenu()
{
    const CMenuOwner menu(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAY_MENU)));
    HMENU popup = ::GetSubMenu(menu.GetSafeHandle(), 0);
    if (!popup)
        return;
    const std::string path = OwnPath();
    ::SetMenuDefaultItem(popup, ID_TRAY_SHOW, FALSE);
    ::CheckMenuItem(popup, ID_KEEP_ORDER, MF_BYCOMMAND | (IsStoredOn() ? MF_CHECKED : MF_UNCHECKED));
    ::CheckMenuItem(popup, ID_TRAY_START_AT_LOGON,
                    MF_BYCOMMAND | (m_keptOrder.GetStore().IsStartedAtLogon(path) ? MF_CHECKED : MF_UNCHECKED));
    if (path.empty())
        ::EnableMenuItem(popup, ID_TRAY_START_AT_LOGON, MF_BYCOMMAND | MF_GRAYED);
    POINT pointer{};
    ::GetCursorPos(&pointer);
    m_host.RunNestedLoop([&] {
        // The platform's rules for a notification icon's menu: its window in
        // front first, or a click elsewhere does not close the menu; and a
        // message posted after it, or the next menu may vanish at once.
        ::SetForegroundWindow(m_wnd.m_hWnd);
        const UINT command = static_cast<UINT>(::TrackPopupMenu(
            popup, TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, pointer.x, pointer.y, 0,
            m_wnd.m_hWnd, nullptr));
        m_wnd.PostMessage(WM_NULL);
        if (command)
            m_wnd.SendMessage(WM_COMMAND, MAKEWPARAM(command, 0), 0);
    });
}

void CKeepingMode::OnWindowPosChanging(WINDOWPOS& pos) const
{
    if (m_keepHidden) {
        pos.flags &= ~SWP_SHOWWINDOW;
        // Nor taken to the front, as an unseen window that takes the keyboard would be.
        pos.flags |= SWP_NOACTIVATE | SWP_NOZORDER;
    }
}

LRESULT CKeepingMode::OnShowMessage()
{
    ShowWindow();
    return 1;
}

void CKeepingMode::OnDestroy()
{
    m_trayIcon.Hide();
    // A window's properties are its owner's to remove before it goes.
    ::RemovePropA(m_wnd.m_hWnd, kWindowMark);
}
