#pragma once
// The stand-in's window chain, a strip along the bottom of the screen:
// Shell_TrayWnd -> RebarWindow32 (a real rebar; optional) -> MSTaskSwWClass ->
// SysTabControl32 or ToolbarWindow32. The tray answers the requests of
// standin_protocol.h and looks at the windows on a timer.
#include <memory>
#include <vector>
#include "framework/handles.h"
#include "framework/wnd.h"
#include "standin/button_host.h"
#include "standin/standin_protocol.h"
#include "standin/task_buttons.h"

struct CStandinOptions {
    bool toolbar = false;      // a toolbar host instead of the tab control
    bool rebar = true;         // false: the switcher sits straight under the tray
    bool grouping = false;     // new buttons join their program's buttons
    UINT pollMs = 150;         // how often the windows are looked at
    // Notification icons are refused (added or changed) for this long after
    // the tray is made, as a shell that is still starting at logon, or too
    // busy to answer in time, refuses them.
    UINT refuseIconsMs = 0;
};

// MSTaskSwWClass: holds the button host and keeps it filling its client area.
class CTaskSwitchWnd : public CWnd {
public:
    BOOL Create(LPCSTR className, HWND parent, const RECT& rect);
    void SetHost(CButtonHost* host) { m_pHost = host; }

protected:
    void OnSize(UINT type, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    CButtonHost* m_pHost = nullptr;
};

// One notification icon: a small window at the tray's right end that draws
// the icon, carries its tip as its text, and passes every mouse message on to
// the icon's window with the icon's callback message (wParam the icon's id,
// lParam the mouse message), as a shell does for an icon that asked for no
// newer behaviour.
class CNotifyIconWnd : public CWnd {
public:
    CNotifyIconWnd(HWND owner, UINT id) : m_owner(owner), m_id(id) {}
    ~CNotifyIconWnd() override;

    BOOL Create(LPCSTR className, HWND parent);
    bool Is(HWND owner, UINT id) const { return m_owner == owner && m_id == id; }
    HWND GetOwner() const { return m_owner; }
    UINT GetId() const { return m_id; }
    void SetCallback(UINT message) { m_callback = message; }
    void SetIcon(CIcon icon);
    void SetTip(LPCSTR tip) { SetWindowText(tip); }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    HWND m_owner;
    UINT m_id;
    UINT m_callback = 0;
    CIcon m_icon;
};

// The notification area (TrayNotifyWnd): its icons from left to right, in the
// order they were added. It takes what Wine's Shell_NotifyIcon sends a tray.
class CTrayNotifyWnd : public CWnd {
public:
    ~CTrayNotifyWnd() override;

    BOOL Create(HWND tray);
    // Carries out one Shell_NotifyIcon call, as WM_COPYDATA brought it from
    // the icon's window `owner`; its result is the call's.
    BOOL OnNotifyIcon(DWORD message, HWND owner, const void* data, DWORD size);
    // Takes away the icons whose window is gone, as a shell does once it
    // finds out; true when there were any.
    bool DropOrphans();
    // The width the icons need.
    int GetWidth() const;

    int GetCount() const { return static_cast<int>(m_icons.size()); }
    // The icon at index from the left, or null.
    const CNotifyIconWnd* GetAt(WPARAM index) const { return index < m_icons.size() ? m_icons[index].get() : nullptr; }

    static constexpr int kSlotWidth = 24;

protected:
    void OnSize(UINT type, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    CNotifyIconWnd* Find(HWND owner, UINT id);
    void PlaceIcons();

    CWindowClass m_areaClass;
    CWindowClass m_iconClass;
    std::vector<std::unique_ptr<CNotifyIconWnd>> m_icons;
};

class CTrayWnd : public CWnd {
public:
    explicit CTrayWnd(const CStandinOptions& options);
    ~CTrayWnd() override;

    // Builds the chain, gives the existing task windows their buttons, shows
    // the strip and only then makes the tray findable by clients.
    BOOL Create();

    static constexpr int kTrayHeight = 32;

protected:
    LRESULT OnAddTab(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeleteTab(WPARAM wParam, LPARAM lParam);
    LRESULT OnActivateTab(WPARAM wParam, LPARAM lParam);
    LRESULT OnButtonCount(WPARAM wParam, LPARAM lParam);
    LRESULT OnButtonWindow(WPARAM wParam, LPARAM lParam);
    LRESULT OnCallCount(WPARAM wParam, LPARAM lParam);
    LRESULT OnCallOp(WPARAM wParam, LPARAM lParam);
    LRESULT OnCallWindow(WPARAM wParam, LPARAM lParam);
    LRESULT OnCallResult(WPARAM wParam, LPARAM lParam);
    LRESULT OnClearLog(WPARAM wParam, LPARAM lParam);
    LRESULT OnHostQueries(WPARAM wParam, LPARAM lParam);
    LRESULT OnFailActivate(WPARAM wParam, LPARAM lParam);
    LRESULT OnRescan(WPARAM wParam, LPARAM lParam);
    LRESULT OnCopyData(WPARAM wParam, LPARAM lParam);
    LRESULT OnIconCount(WPARAM wParam, LPARAM lParam);
    LRESULT OnIconWindow(WPARAM wParam, LPARAM lParam);
    LRESULT OnIconOwner(WPARAM wParam, LPARAM lParam);
    LRESULT OnIconId(WPARAM wParam, LPARAM lParam);
    LRESULT OnDisplayChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    void OnSize(UINT type, int cx, int cy);
    void OnTimer(UINT_PTR id);
    void PostNcDestroy() override;
    DECLARE_MESSAGE_MAP()

private:
    struct CCall {
        StandinOp op;
        HWND hWnd;
        HRESULT result;
    };

    BOOL CreateRebar(const RECT& rect);
    void PlaceOnScreen();
    // The task switcher (or the rebar that holds it) to the left, the
    // notification area at the right end, as wide as its icons.
    void Layout();
    HRESULT Log(StandinOp op, HWND hWnd, HRESULT result);
    void HoldRedraw();
    const CCall* CallAt(WPARAM index) const;

    CStandinOptions m_options;
    // The classes outlive every window of theirs: declared first, gone last.
    CWindowClass m_trayClass;
    CWindowClass m_switcherClass;
    std::unique_ptr<CButtonHost> m_pHost;
    CWnd m_rebar;
    CTaskSwitchWnd m_switcher;
    CTrayNotifyWnd m_notify;
    std::unique_ptr<CTaskButtons> m_pButtons;
    std::vector<CCall> m_calls;
    bool m_redrawHeld = false;
    DWORD m_lastCallTick = 0;
    DWORD m_createdTick = 0;
};
