#include "framework/wnd.h"
#include "framework/app.h"
#include "framework/gdi.h"
#include <exception>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// The map from window handles to their CWnd objects. A window's messages are
// delivered on the thread that created it, so each thread keeps its own map
// and a CWnd is bound and unbound on its window's thread. A map, not a window
// property or GWLP_USERDATA: it leaves every window's data to its class, and
// a property costs a round trip to the window server for every message under
// Wine.
//
// The map lives on the heap while the thread has bound windows and is freed
// with the last one. A thread_local object with a destructor would do the
// same, but it brings in the runtime's thread-exit list, which imports
// GetModuleHandleExW, and Windows 2000 lacks it; a plain pointer needs none.
using CPermanentMap = std::unordered_map<HWND, CWnd*>;
thread_local CPermanentMap* t_pPermanentMap = nullptr;

// The object waiting for the next window created on this thread.
thread_local CWnd* t_pWndInit = nullptr;

// One line of debug output for an exception stopped at the window procedure:
// the window's class, the message and what the exception says.
void ReportException(HWND hwnd, UINT message, const char* what) noexcept
{
    char className[64] = "?";
    ::GetClassNameA(hwnd, className, sizeof className);
    char line[1024];
    // wsprintfA writes at most 1024 bytes: the exception's text is cut so
    // that the line always fits.
    ::wsprintfA(line, "Exception stopped at the window procedure: window %p of class \"%s\", message 0x%04X: %.400s\n",
                static_cast<void*>(hwnd), className, message, what ? what : "");
    ::OutputDebugStringA(line);
}

}  // namespace

CWnd* afx::PermanentWnd(HWND hwnd)
{
    return CWnd::FromHandlePermanent(hwnd);
}

bool afx::EraseBkgndCall(CWnd* w, WPARAM wp, LRESULT& r, BOOL (*call)(CWnd*, CDC*))
{
    CDC dc(reinterpret_cast<HDC>(wp));
    r = call(w, &dc);
    return true;
}

bool afx::CtlColorCall(CWnd* w, WPARAM wp, UINT ctlType, LRESULT& r, HBRUSH (*call)(CWnd*, CDC*, UINT))
{
    CDC dc(reinterpret_cast<HDC>(wp));
    HBRUSH brush = call(w, &dc, ctlType);
    // A null brush means the control leaves the colours to its parent.
    if (!brush)
        return false;
    r = reinterpret_cast<LRESULT>(brush);
    return true;
}

LRESULT CALLBACK CreateHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && t_pWndInit) {
        CWnd* wnd = t_pWndInit;
        t_pWndInit = nullptr;
        wnd->BindHandle(reinterpret_cast<HWND>(wParam));
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

afx::CreateHookScope::CreateHookScope(CWnd* wnd)
    : m_hook(::SetWindowsHookExA(WH_CBT, CreateHookProc, nullptr, ::GetCurrentThreadId())),
      m_previous(std::exchange(t_pWndInit, wnd))
{
}

afx::CreateHookScope::~CreateHookScope()
{
    t_pWndInit = m_previous;
    if (m_hook)
        ::UnhookWindowsHookEx(m_hook);
}

CWnd::~CWnd()
{
    if (m_hWnd) {
        // A window outliving its object must not call into freed memory.
        if (::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
        if (m_hWnd)
            Unbind();
    }
    if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == this)
        app->m_pMainWnd = nullptr;
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    if (!t_pPermanentMap)
        return nullptr;
    const auto it = t_pPermanentMap->find(hwnd);
    return it != t_pPermanentMap->end() ? it->second : nullptr;
}

void CWnd::BindHandle(HWND hwnd)
{
    m_hWnd = hwnd;
    if (!t_pPermanentMap)
        t_pPermanentMap = new CPermanentMap;
    (*t_pPermanentMap)[hwnd] = this;
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::AfxWndProc)));
}

bool CWnd::IsTopProcedure() const
{
    return reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC)) == &CWnd::AfxWndProc;
}

void CWnd::Unbind()
{
    // Only restore the procedure when nobody subclassed the window after us.
    // Unbinding under a later subclass happens only as the window goes (at
    // WM_NCDESTROY, or in the destructor after DestroyWindow): no message
    // comes through us again.
    if (::IsWindow(m_hWnd) && IsTopProcedure())
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    if (t_pPermanentMap) {
        t_pPermanentMap->erase(m_hWnd);
        if (t_pPermanentMap->empty()) {
            delete t_pPermanentMap;
            t_pPermanentMap = nullptr;
        }
    }
    m_hWnd = nullptr;
}

BOOL CWnd::SubclassWindow(HWND hwnd)
{
    if (!hwnd || m_hWnd || FromHandlePermanent(hwnd))
        return FALSE;
    m_hWnd = hwnd;
    PreSubclassWindow();
    BindHandle(hwnd);
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* parent)
{
    return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow()
{
    // A later subclass calls ours, which alone leads to the original procedure.
    if (!m_hWnd || (::IsWindow(m_hWnd) && !IsTopProcedure()))
        return nullptr;
    HWND hwnd = m_hWnd;
    Unbind();
    return hwnd;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style,
                    const RECT& rect, HWND parent, UINT nID, LPVOID param)
{
    if (m_hWnd)
        return FALSE;
    HWND hwnd;
    {
        afx::CreateHookScope hook(this);
        hwnd = ::CreateWindowExA(exStyle, className, windowName, style, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)),
                                 ::GetModuleHandleA(nullptr), param);
    }
    if (!hwnd) {
        if (m_hWnd)
            Unbind();
        return FALSE;
    }
    PreSubclassWindow();
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

CString CWnd::GetWindowText() const
{
    const int length = ::GetWindowTextLengthA(m_hWnd);
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    const int n = ::GetWindowTextA(m_hWnd, buffer.data(), length + 1);
    return CString(buffer.data(), n > 0 ? n : 0);
}

void CWnd::CenterWindow()
{
    HWND center = ::GetWindow(m_hWnd, GW_OWNER);
    if (!center) {
        CWnd* main = AfxGetMainWnd();
        if (main && main != this)
            center = main->m_hWnd;
    }
    if (center && (!::IsWindowVisible(center) || ::IsIconic(center)))
        center = nullptr;

    CRect work;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    HMONITOR monitor = ::MonitorFromWindow(center ? center : m_hWnd, MONITOR_DEFAULTTOPRIMARY);
    if (::GetMonitorInfoA(monitor, &info))
        work = info.rcWork;
    else
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    CRect around = work;
    if (center)
        ::GetWindowRect(center, &around);

    CRect self;
    GetWindowRect(&self);
    int x = (around.left + around.right) / 2 - self.Width() / 2;
    int y = (around.top + around.bottom) / 2 - self.Height() / 2;
    if (x + self.Width() > work.right) x = work.right - self.Width();
    if (x < work.left) x = work.left;
    if (y + self.Height() > work.bottom) y = work.bottom - self.Height();
    if (y < work.top) y = work.top;
    SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

const AFX_MSGMAP* CWnd::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_currentMsg.message, m_currentMsg.wParam, m_currentMsg.lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

bool CWnd::FindHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    UINT code = 0;
    UINT id = 0;
    const UINT plain = message >= WM_REFLECT_BASE ? message - WM_REFLECT_BASE : message;
    if (plain == WM_COMMAND) {
        code = HIWORD(wParam);
        id = LOWORD(wParam);
    } else if (plain == WM_NOTIFY) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        code = header->code;
        id = static_cast<UINT>(header->idFrom);
    }
    const bool reflected = message >= WM_REFLECT_BASE;
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->entries; e->handler; ++e) {
            if (e->message != message)
                continue;
            if ((plain == WM_COMMAND || plain == WM_NOTIFY) && (e->code != code || (!reflected && e->id != id)))
                continue;
            if (CallHandler(e->handler, wParam, lParam, pResult))
                return true;
        }
    }
    return false;
}

bool CWnd::CallHandler(AFX_PMSG handler, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    // A handler may send messages to its own window: each call has its own flag.
    struct Restore {
        BOOL& flag;
        BOOL saved;
        ~Restore() { flag = saved; }
    } restore{m_bMsgHandled, std::exchange(m_bMsgHandled, TRUE)};
    return handler(this, wParam, lParam, *pResult) && m_bMsgHandled;
}

bool CWnd::ReflectToChild(HWND child, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    CWnd* wnd = FromHandlePermanent(child);
    return wnd && wnd != this && wnd->OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return FindHandler(WM_REFLECT_BASE + message, wParam, lParam, pResult);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    // The control that sent a notification gets the first word on it.
    switch (message) {
    case WM_COMMAND:
        if (lParam && ReflectToChild(reinterpret_cast<HWND>(lParam), message, wParam, lParam, pResult))
            return TRUE;
        break;
    case WM_NOTIFY:
        if (ReflectToChild(reinterpret_cast<const NMHDR*>(lParam)->hwndFrom, message, wParam, lParam, pResult))
            return TRUE;
        break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
        if (ReflectToChild(reinterpret_cast<HWND>(lParam), message, wParam, lParam, pResult))
            return TRUE;
        break;
    default:
        break;
    }
    return FindHandler(message, wParam, lParam, pResult);
}

LRESULT CALLBACK CWnd::AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = FromHandlePermanent(hwnd);
    if (!wnd)
        return ::DefWindowProcA(hwnd, message, wParam, lParam);

    const MSG saved = wnd->m_currentMsg;
    wnd->m_currentMsg = MSG{hwnd, message, wParam, lParam, 0, {0, 0}};
    LRESULT result = 0;
    // No exception may unwind through the system's code that called us; each
    // is reported, so that the failure can be found.
    try {
        result = wnd->WindowProc(message, wParam, lParam);
    } catch (const std::exception& e) {
        ReportException(hwnd, message, e.what());
        result = 0;
    } catch (...) {
        ReportException(hwnd, message, "an exception that is not a std::exception");
        result = 0;
    }
    wnd->m_currentMsg = saved;

    if (message == WM_NCDESTROY) {
        wnd->Unbind();
        wnd->PostNcDestroy();
    }
    return result;
}
