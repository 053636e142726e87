#pragma once
// Driving the real corvane.exe from outside: the processes it runs with, its
// windows, its list read across the process boundary, and real input.
#include <windows.h>
#include <functional>
#include <vector>
#include "framework/cstring.h"
#include "framework/handles.h"
#include "framework/types.h"
#include "standin/child_process.h"
#include "tests/support/app_version.h"
#include "tests/support/process_windows.h"
#include "tests/support/real_input.h"

CString CorvaneExe();
CString StandinExe();
CString SamplesExe();

// Polls cond at least every 20 ms, answering this thread's messages in
// between, until it holds; false when timeoutMs passed first.
bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs = 5000);

CString WindowText(HWND hWnd);
// The window that has the keyboard focus in hWnd's thread, and the one that
// has captured the mouse there.
HWND FocusOfThread(HWND hWnd);
HWND CaptureOfThread(HWND hWnd);
// The active window of hWnd's thread.
HWND ActiveOfThread(HWND hWnd);

// SendMessageTimeout that gives up on a hung receiver at once and on a busy
// one after timeoutMs: false when the message was not answered in time.
bool SendWithin(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs, LRESULT* result = nullptr);
// The popup menu that the process shows now, or NULL.
HWND PopupMenuOf(DWORD processId);
// The message boxes (dialogs of class "#32770" with a static text equal to
// text) that the process has now, shown or about to show.
std::vector<HWND> MessageBoxesOf(DWORD processId, const CString& text);

// A list-view control of another process. Its item messages carry pointers,
// which mean nothing there: the structures travel through a buffer allocated
// in that process.
class CRemoteListView {
public:
    explicit CRemoteListView(HWND list);
    ~CRemoteListView();
    CRemoteListView(const CRemoteListView&) = delete;
    CRemoteListView& operator=(const CRemoteListView&) = delete;

    bool IsValid() const { return m_remote != nullptr; }
    HWND GetHwnd() const { return m_list; }
    int GetCount() const;
    // The windows the entries stand for (their item data), in list order.
    std::vector<HWND> GetWindows() const;
    CString GetText(int index) const;
    // The first selected entry, or -1.
    int GetSelected() const;
    int GetSelectedCount() const;
    // Makes index the only selected entry, and the focused one.
    bool Select(int index);
    // The centre of the entry's label, in screen coordinates.
    CPoint GetLabelCentre(int index) const;

private:
    // Copies `in` to the remote buffer, sends the message with the buffer's
    // address as lParam and copies `out` back from it.
    bool Exchange(UINT message, WPARAM wParam, const void* in, size_t inSize, void* out, size_t outSize,
                  LRESULT* result) const;

    HWND m_list;
    CHandle m_process;
    void* m_remote = nullptr;
};

