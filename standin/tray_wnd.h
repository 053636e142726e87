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
    UINT pollMs = 150;         // how often the windows are looked at
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
    std::unique_ptr<CTaskButtons> m_pButtons;
    std::vector<CCall> m_calls;
    bool m_redrawHeld = false;
    DWORD m_lastCallTick = 0;
};
