#pragma once
// What every engine test stands on: the application object that owns the task
// icons, a list-view control as the main window has it, an engine whose kind a
// test may set, and real task windows of classes with coloured icons.
#include <gtest/gtest.h>
#include "engine/task_button_list.h"
#include "framework/app.h"
#include "tests/support/fake_shell.h"
#include "tests/support/task_windows.h"
#include <memory>
#include <string>
#include <vector>

class CEngineTestApp : public CWinApp, public CTaskImageSource {
public:
    CEngineTestApp();
    CImageList& GetTaskImageList() override { return m_imageList; }
    CImageList m_imageList;
};
CEngineTestApp& TestApp();

// The engine with its kind open to tests (the constructor takes it from the
// Windows version Wine reports).
class CTestTaskButtonList : public CTaskButtonList {
public:
    void SetKind(TaskbarKind kind) { m_kind = kind; }
};

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

class EngineTest : public ::testing::Test {
protected:
    EngineTest();
    void SetUp() override;

    HIMAGELIST Images() const { return TestApp().m_imageList.GetSafeHandle(); }
    // A visible, unowned, titled window of the red, green or blue class.
    HWND AddWindow(const std::string& title, COLORREF color = kRed, DWORD exStyle = 0, HWND owner = nullptr,
                   bool visible = true);
    HWND AddWindowOf(const CTestWindowClass& cls, const std::string& title, DWORD exStyle = 0,
                     HWND owner = nullptr, bool visible = true);
    bool IsOwn(HWND hWnd) const;
    // Appends entries for the given windows, in this order, as an enumeration would.
    void Append(const std::vector<HWND>& windows);
    // Task windows that other programs (or Wine) have open.
    std::vector<HWND> ForeignTaskWindows() const;

    // What the list holds.
    int Count() const { return m_list.GetItemCount(); }
    std::vector<HWND> Entries() const;
    std::vector<HWND> OwnEntries() const;
    std::string TitleAt(int index) const;
    int ImageAt(int index) const;
    int Selected() const { return m_list.GetNextItem(-1, LVNI_SELECTED); }
    void Select(int index) { m_list.SetItemState(index, LVIS_SELECTED, LVIS_SELECTED); }

    CWnd m_host;
    CListCtrl m_list;
    CTestTaskButtonList m_engine;
    CTestWindowClass m_red;
    CTestWindowClass m_green;
    CTestWindowClass m_blue;
    CTestWindowClass m_noIcon;
    std::vector<CTestWindow> m_windows;
};

// Windows in list order, filtered to those in `windows`.
std::vector<HWND> Only(const std::vector<HWND>& order, const std::vector<HWND>& windows);
// The window sequence `order` repeated as the probes visit it: prefix lengths given.
std::vector<HWND> Concat(const std::vector<std::vector<HWND>>& parts);
