#include "app/main_dlg.h"
#include "app/about_dlg.h"
#include "framework/gdi.h"
#include "framework/tracker.h"
#include "framework/owner.h"
#include "res/resource.h"
#include <windowsx.h>
#include <climits>
#include <string>
#include <utility>

namespace {

// The shell broadcasts this registered message when its taskbar has been
// (re)created: the buttons are then back in the shell's own order.
constexpr char kTaskbarCreatedMessage[] = "TaskbarCreated";
// How often the new taskbar is looked at, and for how long.
constexpr UINT kRestorePollMs = 200;
constexpr DWORD kRestoreGiveUpMs = 10000;
// How often the watch looks for new and gone task windows.
constexpr UINT kWatchMs = 500;
constexpr char kTrayTip[] = "Corvane";
// The button count before the taskbar's button host has been seen.
constexpr int kNoHost = INT_MIN;

// One more for as long as it lives.
class CCounted {
public:
    explicit CCounted(int& count) : m_count(++count) {}
    ~CCounted() { --m_count; }
    CCounted(const CCounted&) = delete;
    CCounted& operator=(const CCounted&) = delete;

private:
    int& m_count;
};

struct CMenuTraits {
    using Handle = HMENU;
    static BOOL Release(HMENU menu) { return ::DestroyMenu(menu); }
};
using CMenuOwner = CHandleOwner<CMenuTraits>;

bool IsDown(int vk)
{
    return ::GetKeyState(vk) < 0;
}

// The full path of this program, empty when it does not fit a path buffer.
std::string OwnPath()
{
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

}  // namespace

CMainDlg::CMainDlg(CWnd* pParent) : CMainDlg(pParent, COrderStore()) {}

CMainDlg::CMainDlg(CWnd* pParent, COrderStore store)
    : CSizingDialog(IDD_MAIN, pParent),
      m_keptOrder(m_taskButtons, std::move(store)),
      // A shared icon from the module's resources: never destroyed.
      m_hIcon(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      // The notification area shows small icons: the icon's own 16 x 16
      // picture rather than the large one shrunk. Shared too.
      m_hSmallIcon(static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME),
                                                   IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                   ::GetSystemMetrics(SM_CYSMICON), LR_SHARED)))
{
}

CMainDlg::~CMainDlg() = default;

BEGIN_MESSAGE_MAP(CMainDlg, CSizingDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_MOVE_DOWN, &CMainDlg::OnMoveDown)
    ON_BN_CLICKED(IDC_MOVE_UP, &CMainDlg::OnMoveUp)
    ON_BN_CLICKED(IDC_REFRESH, &CMainDlg::OnRefresh)
    ON_NOTIFY(LVN_BEGINDRAG, IDC_TASK_LIST, &CMainDlg::OnBeginDragTaskList)
    ON_BN_CLICKED(IDC_ABOUT, &CMainDlg::OnAbout)
    ON_WM_SIZE()
    ON_COMMAND(ID_TASK_MOVE_TOP, &CMainDlg::OnMoveToTop)
    ON_COMMAND(ID_TASK_MOVE_BOTTOM, &CMainDlg::OnMoveToBottom)
    ON_COMMAND(ID_TASK_SORT_BY_TITLE, &CMainDlg::OnSortByTitle)
    ON_COMMAND(ID_TASK_ARRANGE, &CMainDlg::OnArrangeTaskbar)
    ON_MESSAGE(WM_CONTEXTMENU, &CMainDlg::OnContextMenu)
    // A registered message: its number is known once the table is first built.
    ON_MESSAGE(::RegisterWindowMessageA(kTaskbarCreatedMessage), &CMainDlg::OnTaskbarCreated)
    ON_WM_TIMER()
    ON_COMMAND(ID_TASK_GROUP_BY_PROGRAM, &CMainDlg::OnGroupByProgram)
    ON_COMMAND(ID_KEEP_ORDER, &CMainDlg::OnKeepOrder)
    ON_COMMAND(ID_TRAY_SHOW, &CMainDlg::ShowFromTray)
    ON_COMMAND(ID_TRAY_START_AT_LOGON, &CMainDlg::OnStartAtLogon)
    ON_COMMAND(ID_TRAY_EXIT, &CMainDlg::OnTrayExit)
    ON_MESSAGE(kTrayIconMessage, &CMainDlg::OnTrayIcon)
    ON_MESSAGE(WM_WINDOWPOSCHANGING, &CMainDlg::OnWindowPosChanging)
    ON_MESSAGE(WM_DESTROY, &CMainDlg::OnDestroy)
    ON_MESSAGE(WM_SETTINGCHANGE, &CMainDlg::OnSettingChange)
END_MESSAGE_MAP()

template <class Action>
void CMainDlg::RunNestedLoop(Action action)
{
    {
        const CCounted nested(m_nestedLoops);
        action();
    }
    // The restore that waited runs now if the count is still what the last
    // look inside the loop saw.
    if (m_nestedLoops == 0 && m_restoring && m_hWnd)
        PollRestore();
}

void CMainDlg::DoDataExchange(CDataExchange* pDX)
{
    CSizingDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_TASK_LIST, m_taskList);
}

BOOL CMainDlg::OnInitDialog()
{
    CSizingDialog::OnInitDialog();

    if (HMENU sysMenu = GetSystemMenu(FALSE)) {
        CString about;
        about.LoadString(IDS_ABOUTBOX);
        if (!about.IsEmpty()) {
            ::AppendMenuA(sysMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(sysMenu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    // A tool window without WS_EX_APPWINDOW owns no taskbar button, so the
    // program never lists itself.
    const LONG exStyle = ::GetWindowLongA(m_hWnd, GWL_EXSTYLE);
    ::SetWindowLongA(m_hWnd, GWL_EXSTYLE, exStyle & ~WS_EX_APPWINDOW);

    m_taskButtons.Attach(&m_taskList);
    m_taskButtons.Refresh();
    UpdateEmptyText();
    // The order kept in a former run: the list and the taskbar take it now.
    if (m_keptOrder.Resume()) {
        StartKeeping();
        m_keepHidden = m_trayStart;
    }

    AddAnchor(IDOK, 2, 0, true);
    AddAnchor(IDC_REFRESH, 2, 0, true);
    AddAnchor(IDC_MOVE_UP, 2, 2, true);
    AddAnchor(IDC_MOVE_DOWN, 2, 2, true);
    AddAnchor(IDC_ABOUT, 2, 2, true);
    AddAnchor(IDC_TASK_LIST, 1, 1, true);
    return TRUE;
}

void CMainDlg::OnSysCommand(UINT nID, LPARAM)
{
    if ((nID & 0xFFF0) == IDM_ABOUTBOX)
        OnAbout();
    else
        Default();
}

void CMainDlg::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int cxIcon = ::GetSystemMetrics(SM_CXICON);
    const int cyIcon = ::GetSystemMetrics(SM_CYICON);
    CRect rect;
    GetClientRect(&rect);
    const int x = (rect.Width() - cxIcon + 1) / 2;
    const int y = (rect.Height() - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CMainDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

void CMainDlg::OnMoveDown()
{
    m_taskButtons.MoveDown();
    m_keptOrder.Remember();
}

void CMainDlg::OnMoveUp()
{
    m_taskButtons.MoveUp();
    m_keptOrder.Remember();
}

void CMainDlg::OnRefresh()
{
    // The probe's message boxes run loops of their own while it reads the
    // taskbar's order.
    RunNestedLoop([this] { m_taskButtons.Refresh(); });
    UpdateEmptyText();
}

void CMainDlg::UpdateEmptyText()
{
    // A refresh without a taskbar leaves the list as it was and says nothing:
    // the host is looked for again here, which costs a few window look-ups.
    CString text;
    text.LoadString(CTaskButtonList::FindButtonHost() ? IDS_EMPTY_NO_TASK_WINDOWS : IDS_EMPTY_NO_TASKBAR);
    m_taskList.SetEmptyText(text);
}

void CMainDlg::OnBeginDragTaskList(NMHDR* pNMHDR, LRESULT* pResult)
{
    const NMLISTVIEW* pNMListView = reinterpret_cast<const NMLISTVIEW*>(pNMHDR);
    const int from = pNMListView->iItem;
    CRect rect;
    m_taskList.GetItemRect(from, &rect, LVIR_BOUNDS);
    CPoint start(pNMListView->ptAction);
    // The list reports in its own client coordinates and the tracker works in
    // the dialog's: convert both, or the frame is drawn off the entry and a
    // release where the drag began counts as a move.
    ::MapWindowPoints(m_taskList.m_hWnd, m_hWnd, reinterpret_cast<LPPOINT>(&rect), 2);
    ::MapWindowPoints(m_taskList.m_hWnd, m_hWnd, &start, 1);

    // The drag holds an entry's index until the drop.
    RunNestedLoop([&] {
        CRectTracker tracker(&rect, CRectTracker::dottedLine);
        if (!tracker.Track(this, start, FALSE, nullptr))
            return;
        // The drop place is where the pointer is now, not where the frame was drawn.
        CPoint point;
        ::GetCursorPos(&point);
        m_taskList.ScreenToClient(&point);
        UINT flags = 0;
        const int to = m_taskList.HitTest(point, &flags);
        if (flags & (LVHT_ONITEMICON | LVHT_ONITEMLABEL)) {
            m_taskButtons.DragButton(from, to);
            m_keptOrder.Remember();
        }
    });
    *pResult = 0;
}

void CMainDlg::OnAbout()
{
    RunNestedLoop([] {
        CAboutDlg dlg;
        dlg.DoModal();
    });
}

void CMainDlg::OnSize(UINT nType, int cx, int cy)
{
    CSizingDialog::OnSize(nType, cx, cy);
    // Before initialisation the list has no window yet, and nothing to size.
    if (!m_taskList.m_hWnd)
        return;
    CRect client;
    m_taskList.GetClientRect(&client);
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    column.cx = client.right;
    m_taskList.SendMessage(LVM_SETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
}

void CMainDlg::OnMoveToTop()
{
    m_taskButtons.MoveToTop();
    m_keptOrder.Remember();
}

void CMainDlg::OnMoveToBottom()
{
    m_taskButtons.MoveToBottom();
    m_keptOrder.Remember();
}

void CMainDlg::OnSortByTitle()
{
    m_taskButtons.SortByTitle();
    m_keptOrder.Remember();
}

void CMainDlg::OnGroupByProgram()
{
    m_taskButtons.GroupByProgram();
    m_keptOrder.Remember();
}

void CMainDlg::OnArrangeTaskbar()
{
    m_taskButtons.ArrangeTaskbar();
}

BOOL CMainDlg::PreTranslateMessage(MSG* pMsg)
{
    // Taken before the list sees them: it would move its selection on
    // Ctrl+arrows, and the menu keys would reach it as plain keys.
    if (pMsg->hwnd == m_taskList.m_hWnd && OnListKey(*pMsg))
        return TRUE;
    return CSizingDialog::PreTranslateMessage(pMsg);
}

bool CMainDlg::OnListKey(const MSG& msg)
{
    const bool control = IsDown(VK_CONTROL);
    const bool shift = IsDown(VK_SHIFT);
    const bool alt = IsDown(VK_MENU);
    if (msg.message == WM_KEYDOWN && control && !shift && !alt) {
        switch (msg.wParam) {
        case VK_UP: OnMoveUp(); break;
        case VK_DOWN: OnMoveDown(); break;
        case VK_HOME: OnMoveToTop(); break;
        case VK_END: OnMoveToBottom(); break;
        default: return false;
        }
        FollowSelection();
        return true;
    }
    // F10 comes as a system key. The menu key's release is taken too, since
    // some systems open the context menu on it.
    const bool menuKey = (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_APPS;
    const bool shiftF10 = (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && msg.wParam == VK_F10 &&
                          shift && !control && !alt;
    if (!menuKey && !shiftF10)
        return false;
    if (msg.message != WM_KEYUP)
        ShowTaskMenu(TaskMenuPointForKeys());
    return true;
}

void CMainDlg::FollowSelection()
{
    const int selected = m_taskButtons.GetSelected();
    if (selected < 0)
        return;
    m_taskList.SetItemState(selected, LVIS_FOCUSED, LVIS_FOCUSED);
    m_taskList.SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(selected), FALSE);
}

LRESULT CMainDlg::OnContextMenu(WPARAM wParam, LPARAM lParam)
{
    if (reinterpret_cast<HWND>(wParam) != m_taskList.m_hWnd)
        return Default();
    // A context menu asked for from the keyboard comes without a point: both
    // coordinates -1. On 64-bit Windows the lParam may carry them in its low
    // half only (0x00000000FFFFFFFF), which is not -1.
    if (GET_X_LPARAM(lParam) == -1 && GET_Y_LPARAM(lParam) == -1) {
        ShowTaskMenu(TaskMenuPointForKeys());
    } else {
        const POINT pointer{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ShowTaskMenu(pointer);
    }
    return 0;
}

POINT CMainDlg::TaskMenuPointForKeys()
{
    POINT point{0, 0};
    const int selected = m_taskButtons.GetSelected();
    if (selected >= 0) {
        m_taskList.SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(selected), FALSE);
        CRect label;
        if (m_taskList.GetItemRect(selected, &label, LVIR_LABEL)) {
            point.x = label.left;
            point.y = label.bottom;
        }
    }
    m_taskList.ClientToScreen(&point);
    return point;
}

void CMainDlg::ShowTaskMenu(POINT screen)
{
    const CMenuOwner menu(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TASK_MENU)));
    HMENU popup = ::GetSubMenu(menu.GetSafeHandle(), 0);
    if (!popup)
        return;
    const int selected = m_taskButtons.GetSelected();
    const int last = m_taskList.GetItemCount() - 1;
    const bool canRise = selected > 0;
    const bool canFall = selected >= 0 && selected < last;
    const auto enable = [popup](UINT id, bool on) { ::EnableMenuItem(popup, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
    enable(IDC_MOVE_UP, canRise);
    enable(ID_TASK_MOVE_TOP, canRise);
    enable(IDC_MOVE_DOWN, canFall);
    enable(ID_TASK_MOVE_BOTTOM, canFall);
    ::CheckMenuItem(popup, ID_KEEP_ORDER, MF_BYCOMMAND | (m_keptOrder.IsOn() ? MF_CHECKED : MF_UNCHECKED));

    // The command comes back here rather than as a message, so that a move
    // chosen from the menu is followed like one from the keys. The restore
    // waits for the command too: the items were greyed for the list as it is.
    RunNestedLoop([&] {
        const UINT command = static_cast<UINT>(::TrackPopupMenu(
            popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, screen.x, screen.y, 0, m_hWnd, nullptr));
        if (!command)
            return;
        SendMessage(WM_COMMAND, MAKEWPARAM(command, 0), 0);
        if (command == IDC_MOVE_UP || command == IDC_MOVE_DOWN || command == ID_TASK_MOVE_TOP ||
            command == ID_TASK_MOVE_BOTTOM)
            FollowSelection();
    });
}

LRESULT CMainDlg::OnTaskbarCreated(WPARAM, LPARAM)
{
    // The new taskbar's buttons stand in the shell's own order. Its button
    // host may not exist yet, and the shell adds the buttons over a moment:
    // the list is put back once the host shows the same count twice running.
    m_restoring = true;
    m_restoreStart = ::GetTickCount();
    m_lastButtonCount = kNoHost;
    SetTimer(kRestoreTimer, kRestorePollMs);
    // The new shell's notification area starts empty.
    m_trayIcon.AddAgain();
    return 0;
}

void CMainDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kWatchTimer) {
        // Not inside a nested loop, which may hold an entry's index or show
        // menu items for the list as it is; nor while the restore waits for
        // a new taskbar, which it then arranges by the list anyway.
        if (m_nestedLoops == 0 && !m_restoring)
            m_keptOrder.Watch();
        return;
    }
    if (nIDEvent != kRestoreTimer) {
        Default();
        return;
    }
    if (m_restoring)
        PollRestore();
}

void CMainDlg::PollRestore()
{
    HWND host = CTaskButtonList::FindButtonHost();
    // A host that does not answer (a shell still starting, or hung) tells
    // nothing about its buttons: it counts as no host yet.
    int count = host ? CTaskButtonList::CountButtons(host) : kNoHost;
    if (count < 0)
        count = kNoHost;
    const bool settled = count != kNoHost && count == m_lastButtonCount;
    m_lastButtonCount = count;
    // Inside a nested loop the looks go on, and the last loop's end decides.
    if (m_nestedLoops > 0)
        return;
    if (settled) {
        StopRestore();
        m_taskButtons.ArrangeTaskbar();
        return;
    }
    // A shell that does not come back in time is left alone, without a word.
    if (::GetTickCount() - m_restoreStart >= kRestoreGiveUpMs)
        StopRestore();
}

void CMainDlg::StopRestore()
{
    m_restoring = false;
    KillTimer(kRestoreTimer);
}

void CMainDlg::OnKeepOrder()
{
    if (m_keptOrder.IsOn()) {
        m_keptOrder.TurnOff();
        StopKeeping();
    } else {
        m_keptOrder.TurnOn();
        StartKeeping();
    }
}

void CMainDlg::StartKeeping()
{
    SetTimer(kWatchTimer, kWatchMs);
    m_trayIcon.Show(m_hWnd, kTrayIconId, kTrayIconMessage, m_hSmallIcon, kTrayTip);
}

void CMainDlg::StopKeeping()
{
    KillTimer(kWatchTimer);
    m_trayIcon.Hide();
    // Without the icon a hidden window could not be reached again.
    if (!IsWindowVisible())
        ShowFromTray();
}

void CMainDlg::OnOK()
{
    if (!HideToTray())
        CSizingDialog::OnOK();
}

void CMainDlg::OnCancel()
{
    if (!HideToTray())
        CSizingDialog::OnCancel();
}

bool CMainDlg::HideToTray()
{
    if (!m_keptOrder.IsOn() || !m_trayIcon.IsInArea())
        return false;
    ShowWindow(SW_HIDE);
    return true;
}

void CMainDlg::ShowFromTray()
{
    m_keepHidden = false;
    ShowWindow(SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
}

void CMainDlg::OnStartAtLogon()
{
    const std::string path = OwnPath();
    const COrderStore& store = m_keptOrder.GetStore();
    if (store.IsStartedAtLogon(path))
        store.RemoveStartAtLogon();
    else if (!path.empty())
        store.SetStartAtLogon(path);
}

void CMainDlg::OnTrayExit()
{
    EndDialog(IDCANCEL);
}

LRESULT CMainDlg::OnTrayIcon(WPARAM wParam, LPARAM lParam)
{
    if (wParam != kTrayIconId)
        return 0;
    switch (lParam) {
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK: ShowFromTray(); break;
    case WM_RBUTTONUP: ShowTrayMenu(); break;
    default: break;
    }
    return 0;
}

void CMainDlg::ShowTrayMenu()
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
    RunNestedLoop([&] {
        // The platform's rules for a notification icon's menu: its window in
        // front first, or a click elsewhere does not close the menu; and a
        // message posted after it, or the next menu may vanish at once.
        ::SetForegroundWindow(m_hWnd);
        const UINT command = static_cast<UINT>(::TrackPopupMenu(
            popup, TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, pointer.x, pointer.y, 0, m_hWnd,
            nullptr));
        PostMessage(WM_NULL);
        if (command)
            SendMessage(WM_COMMAND, MAKEWPARAM(command, 0), 0);
    });
}

LRESULT CMainDlg::OnWindowPosChanging(WPARAM, LPARAM lParam)
{
    if (m_keepHidden) {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        pos->flags &= ~SWP_SHOWWINDOW;
        // Nor taken to the front, as an unseen window that takes the keyboard would be.
        pos->flags |= SWP_NOACTIVATE | SWP_NOZORDER;
    }
    return Default();
}

LRESULT CMainDlg::OnDestroy(WPARAM, LPARAM)
{
    // Gone with the window, whatever ends it.
    m_trayIcon.Hide();
    return Default();
}

LRESULT CMainDlg::OnSettingChange(WPARAM, LPARAM)
{
    // The taskbar's properties broadcast this when grouping is turned on or off.
    m_taskButtons.UpdateGrouping();
    return Default();
}
