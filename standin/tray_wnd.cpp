#include "standin/tray_wnd.h"
#include "framework/gdi.h"
#include <commctrl.h>
#include <shellapi.h>
#include <algorithm>
#include <string>
#include <utility>

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

// The record that Wine's shell32 (Wine 8.0, Debian 12) sends a window of class
// Shell_TrayWnd for every Shell_NotifyIcon call: WM_COPYDATA with the NIM_
// code as dwData and the icon's window as wParam. With NIF_ICON the icon
// travels as bits, since no icon handle crosses processes under Wine: the
// mask's bits, then the colour bits, each as GetBitmapBits gives them, right
// after the record. Later Wine versions moved the icon's description up and
// added a balloon icon's: a record whose size does not fit this layout is
// refused.
struct CWineNotifyData {
    LONG hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    WCHAR szTip[128];
    DWORD dwState;
    DWORD dwStateMask;
    WCHAR szInfo[256];
    UINT uTimeoutOrVersion;
    WCHAR szInfoTitle[64];
    DWORD dwInfoFlags;
    GUID guidItem;
    UINT iconWidth;
    UINT iconHeight;
    UINT iconPlanes;
    UINT iconBitsPerPixel;
};
static_assert(sizeof(CWineNotifyData) == 960, "the layout of Wine 8.0's record");

constexpr char kNotifyAreaClass[] = "TrayNotifyWnd";
constexpr char kNotifyIconClass[] = "CorvaneStandinIcon";

// The bytes of a bitmap's bits as Wine counts them for the record.
size_t BitmapBytes(UINT width, UINT height, UINT planes, UINT bitsPerPixel)
{
    return (static_cast<size_t>(planes) * width * height * bitsPerPixel + 15) / 16 * 2;
}

// The bytes of the icon's bits that the record describes: the mask, then the
// colour bits; 0 for a description of no icon a shell could show. A
// monochrome icon comes as one mask of twice the height, which is as many
// bytes as a mask and 1-bit colour bits.
size_t IconBytes(const CWineNotifyData& data)
{
    const UINT width = data.iconWidth, height = data.iconHeight, bpp = data.iconBitsPerPixel;
    if (width == 0 || height == 0 || width > 256 || height > 256 || data.iconPlanes != 1 ||
        (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32))
        return 0;
    return BitmapBytes(width, height, 1, 1) + BitmapBytes(width, height, 1, bpp);
}

// The icon rebuilt from bits that IconBytes has measured.
CIcon IconFromBits(const CWineNotifyData& data, const BYTE* bits)
{
    const size_t mask = BitmapBytes(data.iconWidth, data.iconHeight, 1, 1);
    return CIcon(::CreateIcon(::GetModuleHandleA(nullptr), static_cast<int>(data.iconWidth),
                              static_cast<int>(data.iconHeight), 1, static_cast<BYTE>(data.iconBitsPerPixel), bits,
                              bits + mask));
}

// The tip in the ANSI code page; the record's text need not be terminated.
std::string TipText(const CWineNotifyData& data)
{
    int length = 0;
    while (length < 128 && data.szTip[length])
        ++length;
    char tip[512] = {};
    ::WideCharToMultiByte(CP_ACP, 0, data.szTip, length, tip, sizeof tip - 1, nullptr, nullptr);
    return tip;
}

}  // namespace

// ------------------------------------------------------------ CNotifyIconWnd

BEGIN_MESSAGE_MAP(CNotifyIconWnd, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CNotifyIconWnd::~CNotifyIconWnd()
{
    // The window goes before the icon it draws.
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

BOOL CNotifyIconWnd::Create(LPCSTR className, HWND parent)
{
    return CreateEx(0, className, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), parent, 0);
}

void CNotifyIconWnd::SetIcon(CIcon icon)
{
    m_icon = std::move(icon);
    Invalidate();
}

LRESULT CNotifyIconWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A click leaves the activation where it is: the icon's program takes it
    // for its menu, and under Wine the strip's own activation by the click
    // would come after that, asynchronously, and close the menu at once.
    if (message == WM_MOUSEACTIVATE)
        return MA_NOACTIVATE;
    // Posted, as a shell does: the icon's program may be busy or hung.
    if (message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK && m_callback)
        ::PostMessageA(m_owner, m_callback, m_id, static_cast<LPARAM>(message));
    return CWnd::WindowProc(message, wParam, lParam);
}

void CNotifyIconWnd::OnPaint()
{
    CPaintDC dc(m_hWnd);
    if (!m_icon.GetSafeHandle())
        return;
    CRect client;
    GetClientRect(&client);
    const int size = ::GetSystemMetrics(SM_CXSMICON);
    ::DrawIconEx(dc, (client.Width() - size) / 2, (client.Height() - size) / 2, m_icon, size, size, 0, nullptr,
                 DI_NORMAL);
}

// ------------------------------------------------------------ CTrayNotifyWnd

BEGIN_MESSAGE_MAP(CTrayNotifyWnd, CWnd)
    ON_WM_SIZE()
END_MESSAGE_MAP()

CTrayNotifyWnd::~CTrayNotifyWnd()
{
    // The windows go before their classes.
    m_icons.clear();
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

BOOL CTrayNotifyWnd::Create(HWND tray)
{
    WNDCLASSEXA icon = PlainClass(kNotifyIconClass);
    // A double click is a message of its own for the icon's program.
    icon.style = CS_DBLCLKS;
    if (!m_areaClass.Register(PlainClass(kNotifyAreaClass)) || !m_iconClass.Register(icon))
        return FALSE;
    return CreateEx(0, m_areaClass.GetName(), "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, CRect(0, 0, 0, 0), tray,
                    0);
}

BOOL CTrayNotifyWnd::OnNotifyIcon(DWORD message, HWND owner, const void* data, DWORD size)
{
    if (!data || size < sizeof(CWineNotifyData) || !owner)
        return FALSE;
    const auto& record = *static_cast<const CWineNotifyData*>(data);
    // Bits follow the record only for an icon, and then exactly as many as
    // it describes; anything else is a layout this stand-in does not know.
    const BYTE* bits = static_cast<const BYTE*>(data) + sizeof record;
    const size_t bitsSize = size - sizeof record;
    if (bitsSize != 0 && bitsSize != IconBytes(record))
        return FALSE;
    CNotifyIconWnd* icon = Find(owner, record.uID);
    switch (message) {
    case NIM_ADD:
        if (icon)
            return FALSE;
        m_icons.push_back(std::make_unique<CNotifyIconWnd>(owner, record.uID));
        if (!m_icons.back()->Create(m_iconClass.GetName(), m_hWnd)) {
            m_icons.pop_back();
            return FALSE;
        }
        icon = m_icons.back().get();
        break;
    case NIM_MODIFY:
        if (!icon)
            return FALSE;
        break;
    case NIM_DELETE:
        if (!icon)
            return FALSE;
        m_icons.erase(std::find_if(m_icons.begin(), m_icons.end(), [icon](const auto& p) { return p.get() == icon; }));
        PlaceIcons();
        return TRUE;
    case NIM_SETFOCUS:
        return icon != nullptr;
    default:
        // NIM_SETVERSION among them: clicks come in the classic form only.
        return FALSE;
    }
    if (record.uFlags & NIF_MESSAGE)
        icon->SetCallback(record.uCallbackMessage);
    if (record.uFlags & NIF_TIP)
        icon->SetTip(TipText(record).c_str());
    if (record.uFlags & NIF_ICON)
        icon->SetIcon(bitsSize ? IconFromBits(record, bits) : CIcon());
    PlaceIcons();
    return TRUE;
}

bool CTrayNotifyWnd::DropOrphans()
{
    const auto orphan = [](const std::unique_ptr<CNotifyIconWnd>& icon) { return !::IsWindow(icon->GetOwner()); };
    const auto first = std::remove_if(m_icons.begin(), m_icons.end(), orphan);
    if (first == m_icons.end())
        return false;
    m_icons.erase(first, m_icons.end());
    PlaceIcons();
    return true;
}

int CTrayNotifyWnd::GetWidth() const
{
    return GetCount() * kSlotWidth;
}

CNotifyIconWnd* CTrayNotifyWnd::Find(HWND owner, UINT id)
{
    for (const auto& icon : m_icons) {
        if (icon->Is(owner, id))
            return icon.get();
    }
    return nullptr;
}

void CTrayNotifyWnd::OnSize(UINT, int, int)
{
    PlaceIcons();
}

void CTrayNotifyWnd::PlaceIcons()
{
    CRect client;
    GetClientRect(&client);
    for (size_t i = 0; i < m_icons.size(); ++i) {
        const int left = static_cast<int>(i) * kSlotWidth;
        m_icons[i]->MoveWindow(CRect(left, 0, left + kSlotWidth, client.Height()));
    }
}

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
    ON_MESSAGE(::RegisterWindowMessageA(kStandinMsgIconCount), &CTrayWnd::OnIconCount)
    ON_MESSAGE(::RegisterWindowMessageA(kStandinMsgIconWindow), &CTrayWnd::OnIconWindow)
    ON_MESSAGE(::RegisterWindowMessageA(kStandinMsgIconOwner), &CTrayWnd::OnIconOwner)
    ON_MESSAGE(::RegisterWindowMessageA(kStandinMsgIconId), &CTrayWnd::OnIconId)
    ON_MESSAGE(WM_COPYDATA, &CTrayWnd::OnCopyData)
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
    m_createdTick = ::GetTickCount();
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
    if (!m_notify.Create(m_hWnd))
        return FALSE;

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

    m_pButtons = std::make_unique<CTaskButtons>(*m_pHost, ::GetCurrentProcessId(), m_options.grouping);
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

void CTrayWnd::OnSize(UINT, int, int)
{
    Layout();
}

void CTrayWnd::Layout()
{
    CRect client;
    GetClientRect(&client);
    const int icons = m_notify.m_hWnd ? m_notify.GetWidth() : 0;
    const CRect tasks(0, 0, std::max(0, client.Width() - icons), client.Height());
    if (m_notify.m_hWnd)
        m_notify.MoveWindow(CRect(tasks.right, 0, client.Width(), client.Height()));
    if (m_rebar.m_hWnd) {
        m_rebar.MoveWindow(tasks);
        // The band, and with it the switcher, follows the rebar's width.
        REBARBANDINFOA band{};
        band.cbSize = sizeof band;
        band.fMask = RBBIM_SIZE | RBBIM_CHILDSIZE;
        band.cx = static_cast<UINT>(tasks.Width());
        band.cyMinChild = static_cast<UINT>(tasks.Height());
        m_rebar.SendMessage(RB_SETBANDINFOA, 0, reinterpret_cast<LPARAM>(&band));
    } else if (m_switcher.m_hWnd) {
        m_switcher.MoveWindow(tasks);
    }
}

void CTrayWnd::OnTimer(UINT_PTR id)
{
    if (id == kPollTimer && m_pButtons) {
        m_pButtons->Scan();
        if (m_notify.DropOrphans())
            Layout();
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
    if (m_notify.DropOrphans())
        Layout();
    return m_pButtons->GetCount();
}

LRESULT CTrayWnd::OnCopyData(WPARAM wParam, LPARAM lParam)
{
    const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!copy)
        return FALSE;
    const bool adds = copy->dwData == NIM_ADD || copy->dwData == NIM_MODIFY;
    if (adds && ::GetTickCount() - m_createdTick < m_options.refuseIconsMs)
        return FALSE;
    const BOOL done =
        m_notify.OnNotifyIcon(static_cast<DWORD>(copy->dwData), ToWindow(wParam), copy->lpData, copy->cbData);
    Layout();
    return done;
}

LRESULT CTrayWnd::OnIconCount(WPARAM, LPARAM)
{
    return m_notify.GetCount();
}

LRESULT CTrayWnd::OnIconWindow(WPARAM wParam, LPARAM)
{
    const CNotifyIconWnd* icon = m_notify.GetAt(wParam);
    return icon ? reinterpret_cast<LRESULT>(icon->GetSafeHwnd()) : 0;
}

LRESULT CTrayWnd::OnIconOwner(WPARAM wParam, LPARAM)
{
    const CNotifyIconWnd* icon = m_notify.GetAt(wParam);
    return icon ? reinterpret_cast<LRESULT>(icon->GetOwner()) : 0;
}

LRESULT CTrayWnd::OnIconId(WPARAM wParam, LPARAM)
{
    const CNotifyIconWnd* icon = m_notify.GetAt(wParam);
    return icon ? static_cast<LRESULT>(icon->GetId()) : 0;
}
