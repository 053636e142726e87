#pragma once
// Records the messages sent to one window on this thread while the object
// lives (a WH_CALLWNDPROC hook on this thread only, so posted messages are
// not seen). Counts do not depend on the machine's load, which makes them a
// steadier measure than times. Recorders nest: the innermost one records.
#include <windows.h>
#include <functional>
#include <vector>

class CMessageRecorder {
public:
    explicit CMessageRecorder(HWND target);
    ~CMessageRecorder();
    CMessageRecorder(const CMessageRecorder&) = delete;
    CMessageRecorder& operator=(const CMessageRecorder&) = delete;

    bool IsHooked() const { return m_hook != nullptr; }
    const std::vector<CWPSTRUCT>& Sent() const { return m_sent; }
    int Count() const { return static_cast<int>(m_sent.size()); }
    int Count(UINT message) const;
    // The messages handed to a tooltip with TTM_RELAYEVENT, copied as they
    // were sent (the pointer sent with them lives no longer than the call).
    const std::vector<MSG>& Relayed() const { return m_relayed; }
    // Called with each recorded message as it is sent, before the window
    // handles it: the moment to look at what the window still holds.
    void OnSent(std::function<void(const CWPSTRUCT&)> look) { m_look = std::move(look); }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);

    HWND m_target;
    CMessageRecorder* m_previous;
    HHOOK m_hook;
    std::vector<CWPSTRUCT> m_sent;
    std::vector<MSG> m_relayed;
    std::function<void(const CWPSTRUCT&)> m_look;
};
