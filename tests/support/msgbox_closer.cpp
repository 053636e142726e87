#include "msgbox_closer.h"

namespace {
thread_local MessageBoxCloser* t_active = nullptr;

std::string TextOf(HWND hwnd)
{
    char buffer[1024] = {};
    ::GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}
}  // namespace

MessageBoxCloser::MessageBoxCloser(int answer)
    : m_hook(::SetWindowsHookExA(WH_CBT, &MessageBoxCloser::HookProc, nullptr, ::GetCurrentThreadId())),
      m_answer(answer), m_previous(t_active)
{
    t_active = this;
}

MessageBoxCloser::~MessageBoxCloser()
{
    t_active = m_previous;
    ::UnhookWindowsHookEx(m_hook);
}

LRESULT CALLBACK MessageBoxCloser::HookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && t_active) {
        HWND box = reinterpret_cast<HWND>(wParam);
        char cls[32] = {};
        ::GetClassNameA(box, cls, sizeof cls);
        // A message box is a system dialog whose text is static 0xFFFF.
        HWND textItem = ::GetDlgItem(box, 0xFFFF);
        if (std::string(cls) == "#32770" && textItem) {
            SeenMessageBox seen;
            seen.caption = TextOf(box);
            seen.text = TextOf(textItem);
            seen.owner = ::GetWindow(box, GW_OWNER);
            HICON exclamation = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32515));  // IDI_EXCLAMATION
            seen.exclamationIcon = false;
            for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
                if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                    reinterpret_cast<HICON>(::SendMessageA(child, STM_GETICON, 0, 0)) == exclamation)
                    seen.exclamationIcon = true;
            }
            t_active->m_seen.push_back(seen);
            ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(t_active->m_answer, BN_CLICKED), 0);
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void PumpMessages()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

void PumpMessagesFor(DWORD ms)
{
    const DWORD start = ::GetTickCount();
    do {
        PumpMessages();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (::GetTickCount() - start < ms);
    PumpMessages();
}
