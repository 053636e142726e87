#pragma once
// The taskbar arrangement engine: keeps the task list in a list-view control
// and reorders the shell's taskbar buttons to match it.
#include <windows.h>
#include "framework/controls.h"
#include "framework/imagelist.h"

enum TaskbarKind { Unknown = 0, TabControl = 1, Toolbar = 2 };

// Implemented by the application object that owns the shared image of task
// icons; the engine finds it through AfxGetApp().
class CTaskImageSource {
public:
    virtual CImageList& GetTaskImageList() = 0;

protected:
    ~CTaskImageSource() = default;
};

class CTaskButtonList {
public:
    CTaskButtonList();
    virtual ~CTaskButtonList();

    // Shell and taskbar operations.
    static HWND FindButtonHost();
    static bool ActivateTab(HWND hWnd);
    static bool AddTab(HWND hWnd);
    static bool DeleteTab(HWND hWnd);

    // Task list.
    void Attach(CListCtrl* pList);
    static bool IsTaskWindow(HWND hWnd);
    static BOOL CALLBACK EnumTaskWindowProc(HWND hWnd, LPARAM lParam);
    HWND MoveEntry(int from, int to);
    HWND GetWindowAt(int index);

    // Taskbar order probe and refresh.
    int FindEntryAtTab(int tab);
    void Refresh();

    // Button reordering.
    HWND MoveButton(int from, int to);
    void MoveUp();
    void MoveDown();

    TaskbarKind GetKind() const { return static_cast<TaskbarKind>(m_kind); }
    // The kind rule on its own: ok is what GetVersionExA returned.
    static TaskbarKind KindFromVersion(BOOL ok, const OSVERSIONINFOA& version);

protected:
    LONG m_kind;
    CListCtrl* m_pList;
};
