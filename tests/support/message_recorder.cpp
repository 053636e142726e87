#include "message_recorder.h"
#include <commctrl.h>
#include <algorithm>
#include <utility>

namespace {
thread_local CMessageRecorder* t_recorder = nullptr;
}  // namespace

CMessageRecorder::CMessageRecorder(HWND target)
    : m_target(target), m_previous(std::exchange(t_recorder, this)),
      m_hook(::SetWindowsHookExA(WH_CALLWNDPROC, &CMessageRecorder::Hook, nullptr, ::GetCurrentThreadId()))
{
}

CMessageRecorder::~CMessageRecorder()
{
    if (m_hook)
        ::UnhookWindowsHookEx(m_hook);
    t_recorder = m_previous;
}

int CMessageRecorder::Count(UINT message) const
{
    return static_cast<int>(std::count_if(m_sent.begin(), m_sent.end(),
                                          [message](const CWPSTRUCT& m) { return m.message == message; }));
}

LRESULT CALLBACK CMessageRecorder::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && t_recorder && cwp->hwnd == t_recorder->m_target) {
        t_recorder->m_sent.push_back(*cwp);
        if (cwp->message == TTM_RELAYEVENT && cwp->lParam)
            t_recorder->m_relayed.push_back(*reinterpret_cast<const MSG*>(cwp->lParam));
        if (t_recorder->m_look)
            t_recorder->m_look(*cwp);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
