#pragma once
// The stand-in taskbar seen from another process: starting and stopping it,
// and reading its buttons and call log through the requests of
// standin_protocol.h. For tests, benches and tools; the program never uses it.
#include <windows.h>
#include <vector>
#include "framework/cstring.h"
#include "standin/child_process.h"
#include "standin/standin_protocol.h"

// The path of a file given relative to the folder of this process's executable.
CString ModuleRelativePath(LPCSTR relative);

class CStandinClient {
public:
    // Talks to the running stand-in, if any.
    CStandinClient() : m_tray(StandinFindTray()) {}
    explicit CStandinClient(HWND tray) : m_tray(tray) {}

    HWND GetTray() const { return m_tray; }
    bool IsConnected() const { return m_tray && ::IsWindow(m_tray); }
    // The button host at the end of the window chain (tab control or toolbar).
    HWND GetButtonHost() const;

    struct CCall {
        StandinOp op;
        HWND hWnd;
        HRESULT result;
    };

    // -1 when the stand-in does not answer.
    int GetButtonCount() const;
    HWND GetButtonWindow(int index) const;
    // All button windows in order; empty when the stand-in does not answer.
    std::vector<HWND> GetButtons() const;
    std::vector<CCall> GetCalls() const;
    // -1 when the stand-in does not answer.
    int GetCallCount() const;
    LONG GetHostQueries() const;
    void ClearLog() const;
    void FailActivate(HWND hWnd, bool fail) const;
    // Makes the stand-in look at the windows now; gives the button count.
    int Rescan() const;

    struct CNotifyIcon {
        HWND window;  // the stand-in's window that shows it: its place, its tip
        HWND owner;   // the window that Shell_NotifyIcon named
        UINT id;
        CString tip;
    };
    // The notification icons from left to right; empty when the stand-in
    // does not answer.
    std::vector<CNotifyIcon> GetNotifyIcons() const;

private:
    bool Request(const char* name, WPARAM wParam, LPARAM lParam, LRESULT* result) const;

    HWND m_tray;
};

// Owner of a stand-in process: started by Start, closed by Stop or at the end.
class CStandinProcess {
public:
    CStandinProcess() = default;
    ~CStandinProcess() { Stop(); }
    CStandinProcess(const CStandinProcess&) = delete;
    CStandinProcess& operator=(const CStandinProcess&) = delete;

    // Runs exe with the arguments and waits until its tray can be found;
    // false when the process could not start, ended, or showed no tray in time.
    // The stand-in ends with this process too, however this one ends: a
    // leftover stand-in would answer the next program's calls.
    bool Start(LPCSTR exe, LPCSTR arguments, DWORD timeoutMs = 10000);
    // Closes the tray and waits for the process; ends it when it does not go
    // in time. Gives the exit code (STILL_ACTIVE when nothing ran).
    DWORD Stop(DWORD timeoutMs = 5000);

    HWND GetTray() const { return m_tray; }
    HANDLE GetProcess() const { return m_process.GetProcess(); }
    HANDLE GetThread() const { return m_process.GetThread(); }

private:
    CChildProcess m_process;
    HWND m_tray = nullptr;
};
