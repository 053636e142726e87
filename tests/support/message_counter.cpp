#include "tests/support/message_counter.h"
#include <utility>

namespace {

// The counter the hook of this thread reports to; counters nest.
thread_local CMessageCounter* t_counter = nullptr;

}  // namespace

CMessageCounter::CMessageCounter(HWND target)
    : m_target(target), m_previous(std::exchange(t_counter, this)),
      m_hook(::SetWindowsHookExA(WH_CALLWNDPROC, &CMessageCounter::Hook, nullptr, ::GetCurrentThreadId()))
{
}

CMessageCounter::~CMessageCounter()
{
    if (m_hook)
        ::UnhookWindowsHookEx(m_hook);
    t_counter = m_previous;
}

LRESULT CALLBACK CMessageCounter::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && t_counter && reinterpret_cast<const CWPSTRUCT*>(lParam)->hwnd == t_counter->m_target)
        ++t_counter->m_count;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
