#include "dialog_watcher.h"
#include "framework/wnd.h"
#include <utility>

namespace {

thread_local CDialogWatcher* t_active = nullptr;

std::string TextOf(HWND hwnd)
{
    char buffer[1024] = {};
    ::GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}

bool IsDialog(HWND hwnd)
{
    char cls[32] = {};
    ::GetClassNameA(hwnd, cls, sizeof cls);
    return std::string(cls) == "#32770";
}

// A message box is a system dialog whose text is static 0xFFFF. A dialog of
// the program's own may have an item of that id too (a static without id),
// but it is bound to its CDialog from its first message on.
bool IsMessageBox(HWND dialog)
{
    return ::GetDlgItem(dialog, 0xFFFF) && !CWnd::FromHandlePermanent(dialog);
}

bool ShowsExclamation(HWND box)
{
    const HICON exclamation = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32515));  // IDI_EXCLAMATION
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            reinterpret_cast<HICON>(::SendMessageA(child, STM_GETICON, 0, 0)) == exclamation)
            return true;
    }
    return false;
}

}  // namespace

CDialogWatcher::CDialogWatcher(int answer) : CDialogWatcher(Handler(), answer) {}

CDialogWatcher::CDialogWatcher(Handler handler, int answer)
    : m_hook(::SetWindowsHookExA(WH_CBT, &CDialogWatcher::HookProc, nullptr, ::GetCurrentThreadId())),
      m_handler(std::move(handler)), m_answer(answer), m_previous(std::exchange(t_active, this))
{
}

CDialogWatcher::~CDialogWatcher()
{
    t_active = m_previous;
    if (m_hook)
        ::UnhookWindowsHookEx(m_hook);
}

void CDialogWatcher::PressEnter(HWND dialog, int id)
{
    ::PostMessageA(::GetDlgItem(dialog, id), WM_KEYDOWN, VK_RETURN, 0);
}

void CDialogWatcher::OnActivate(HWND dialog)
{
    if (m_handler && m_handler(dialog))
        return;
    if (!IsMessageBox(dialog))
        return;
    SeenMessageBox seen;
    seen.caption = TextOf(dialog);
    seen.text = TextOf(::GetDlgItem(dialog, 0xFFFF));
    seen.owner = ::GetWindow(dialog, GW_OWNER);
    seen.exclamationIcon = ShowsExclamation(dialog);
    m_seen.push_back(seen);
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(m_answer, BN_CLICKED), 0);
}

LRESULT CALLBACK CDialogWatcher::HookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && t_active && IsDialog(reinterpret_cast<HWND>(wParam)))
        t_active->OnActivate(reinterpret_cast<HWND>(wParam));
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
