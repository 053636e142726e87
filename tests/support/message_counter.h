#pragma once
// Counts the messages sent to one window on this thread while it lives (a
// WH_CALLWNDPROC hook on this thread only). Counts do not depend on the
// machine's load, which makes them a steadier measure than times.
#include <windows.h>

class CMessageCounter {
public:
    explicit CMessageCounter(HWND target);
    ~CMessageCounter();
    CMessageCounter(const CMessageCounter&) = delete;
    CMessageCounter& operator=(const CMessageCounter&) = delete;

    bool IsHooked() const { return m_hook != nullptr; }
    int Count() const { return m_count; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);

    HWND m_target;
    CMessageCounter* m_previous;
    HHOOK m_hook;
    int m_count = 0;
};
