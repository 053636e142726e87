#pragma once
// What the engine benches share: an application object that owns the task
// image list the engine reaches through the framework, an engine whose
// taskbar kind the bench chooses, and a scene of real task windows with a
// list view for the engine in a hidden host window.
#include "engine/task_button_list.h"
#include "framework/app.h"
#include "tests/support/fake_shell.h"
#include "tests/support/task_windows.h"
#include <memory>
#include <string>
#include <vector>

class CBenchApp : public CWinApp, public CTaskImageSource {
public:
    CImageList& GetTaskImageList() override { return m_imageList; }
    CImageList m_imageList;
};

class CBenchButtonList : public CTaskButtonList {
public:
    void SetKind(TaskbarKind kind) { m_kind = kind; }
};

class CEngineScene {
public:
    // n task windows titled "Task window <i>", of as many classes as there
    // are colours (each class's icon one colour), and the engine attached to
    // the list with a new image list in `app`.
    CEngineScene(CBenchApp& app, const std::string& classPrefix, int n, const std::vector<COLORREF>& colours);

    // Lists the windows in enumeration order, then gives the shell's taskbar
    // the same windows in a fixed shuffled order, which a refresh on a
    // tab-control taskbar must find.
    void ShuffleOnto(CFakeShell& shell);

    // Declared first: the classes outlive their windows.
    std::vector<std::unique_ptr<CTestWindowClass>> m_classes;
    std::vector<CTestWindow> m_windows;
    CWnd m_host;
    CListCtrl m_list;
    CBenchButtonList m_engine;
};

// The windows of the list's entries, in list order.
inline std::vector<HWND> Entries(const CListCtrl& list) { return ListEntryWindows(list.GetSafeHwnd()); }
