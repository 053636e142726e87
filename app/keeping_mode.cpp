#include "app/keeping_mode.h"
#include "framework/owner.h"
#include "res/resource.h"
#include <string>
#include <utility>

namespace {

// How often the watch looks for new and gone task windows.
constexpr UINT kWatchMs = 500;
constexpr char kIconTip[] = "Corvane";

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

}  // namespace

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

void CKeepingMode::Resume()
{
    // The order kept in a former run: the list and the taskbar take it now.
    if (m_keptOrder.Resume()) {
        Start();
        m_keepHidden = m_trayStart;
    }
}

void CKeepingMode::Remember()
{
    m_keptOrder.Remember();
}

void CKeepingMode::OnKeepOrder()
{
    if (m_keptOrder.IsOn()) {
        m_keptOrder.TurnOff();
        Stop();
    } else {
        m_keptOrder.TurnOn();
        Start();
    }
}

void CKeepingMode::Start()
{
    m_wnd.SetTimer(kWatchTimer, kWatchMs);
    m_trayIcon.Show(m_wnd.m_hWnd, kIconId, kIconMessage, m_hSmallIcon, kIconTip);
}

void CKeepingMode::Stop()
{
    m_wnd.KillTimer(kWatchTimer);
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
}

bool CKeepingMode::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kWatchTimer)
        return false;
    if (!m_host.IsWatchHeld())
        m_keptOrder.Watch();
    return true;
}

void CKeepingMode::OnTaskbarCreated()
{
    m_trayIcon.AddAgain();
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
    ::CheckMenuItem(popup, ID_KEEP_ORDER, MF_BYCOMMAND | (m_keptOrder.IsOn() ? MF_CHECKED : MF_UNCHECKED));
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

void CKeepingMode::OnDestroy()
{
    m_trayIcon.Hide();
}
