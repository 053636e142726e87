#pragma once
// An in-process stand-in for the shell's taskbar, for unit tests and the
// benchmark: the window chain that leads to the button host (a real tab
// control and/or a real toolbar) and a TaskbarList COM class registered on
// this thread, whose objects record every call and keep a button order.
// Everything is undone when the object goes: windows destroyed, classes
// unregistered, COM class revoked.
#include <windows.h>
#include <objbase.h>
#include <shobjidl.h>
#include "framework/handles.h"
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

enum class TaskbarOp { AddTab, DeleteTab, ActivateTab };

struct TaskbarCall {
    TaskbarOp op;
    HWND hWnd;
    friend bool operator==(const TaskbarCall& a, const TaskbarCall& b) { return a.op == b.op && a.hWnd == b.hWnd; }
};

// Which windows the fake shell creates under its tray.
struct FakeTaskbarLayout {
    bool tray = true;        // false: no tray window at all (no taskbar to find)
    bool rebar = true;       // false: the task switcher sits straight under the tray
    bool toolbar = false;    // a ToolbarWindow32 under the switcher, created first
    bool tabControl = true;  // a SysTabControl32 under the switcher

    static FakeTaskbarLayout Tabs() { return {}; }
    static FakeTaskbarLayout Toolbar() { return {true, true, true, false}; }
    static FakeTaskbarLayout NoTray() { return {false, false, false, false}; }
};

class CFakeShell {
public:
    explicit CFakeShell(const FakeTaskbarLayout& layout = FakeTaskbarLayout::Tabs());
    ~CFakeShell();
    CFakeShell(const CFakeShell&) = delete;
    CFakeShell& operator=(const CFakeShell&) = delete;

    // False when the COM class could not be registered or a window not made.
    bool IsReady() const { return m_ready; }

    HWND Tray() const { return m_tray; }
    HWND Rebar() const { return m_rebar; }
    HWND Switcher() const { return m_switcher; }
    HWND TabControl() const { return m_tabs; }
    HWND ToolbarHost() const { return m_toolbar; }

    // The button order, first button first. The tab control's tabs mirror it.
    const std::vector<HWND>& Buttons() const { return m_buttons; }
    void SetButtons(const std::vector<HWND>& buttons);
    // The windows of the tab control's tabs, read from the control.
    std::vector<HWND> TabOrder() const;

    // Every AddTab, DeleteTab and ActivateTab in the order received.
    const std::vector<TaskbarCall>& Calls() const { return m_calls; }
    std::vector<HWND> CallsOf(TaskbarOp op) const;
    void ClearCalls() { m_calls.clear(); }
    // Off: calls still act but are not logged (long benchmark runs).
    void SetRecording(bool on) { m_recording = on; }

    // COM accounting: objects made, HrInit calls, objects not yet released.
    int ObjectsCreated() const { return m_created; }
    int HrInitCalls() const { return m_hrInits; }
    int LiveObjects() const { return m_live; }

    // Failures on demand. A failing result leaves the buttons unchanged.
    void SetCreationFails(bool fails) { m_creationFails = fails; }
    void SetResult(TaskbarOp op, HRESULT result);
    void SetActivateFailsFor(HWND hWnd) { m_activateFailsFor = hWnd; }
    // The tray takes notification icons (the default), or refuses them.
    void SetTakesIcons(bool takes);
    // A taskbar that groups similar buttons: AddTab puts the button of a
    // window whose program already has buttons right after that program's
    // last button. programOf gives a window's program, equal strings for the
    // same program; empty (the default): AddTab appends.
    void SetGroupingBy(std::function<std::string(HWND)> programOf) { m_programOf = std::move(programOf); }

private:
    class CTaskbarList;
    class CClassFactory;
    friend class CTaskbarList;
    friend class CClassFactory;

    HRESULT OnAddTab(HWND hWnd);
    HRESULT OnDeleteTab(HWND hWnd);
    HRESULT OnActivateTab(HWND hWnd);
    void Record(TaskbarOp op, HWND hWnd);
    int PositionOf(HWND hWnd) const;
    // Where AddTab puts a new button: the end, or after its program's last.
    int AddedPosition(HWND hWnd) const;
    void InsertTab(int position, HWND hWnd);

    bool m_ready = false;
    HINSTANCE m_instance;
    // Unregistered after the destructor has destroyed the windows.
    CWindowClass m_trayClass;
    CWindowClass m_switcherClass;
    HWND m_tray = nullptr;
    HWND m_rebar = nullptr;
    HWND m_switcher = nullptr;
    HWND m_toolbar = nullptr;
    HWND m_tabs = nullptr;

    std::vector<HWND> m_buttons;
    std::vector<TaskbarCall> m_calls;
    bool m_recording = true;
    int m_created = 0;
    int m_hrInits = 0;
    int m_live = 0;
    bool m_creationFails = false;
    HRESULT m_results[3] = {S_OK, S_OK, S_OK};
    HWND m_activateFailsFor = nullptr;
    std::function<std::string(HWND)> m_programOf;

    std::unique_ptr<CClassFactory> m_factory;
    DWORD m_cookie = 0;
};
