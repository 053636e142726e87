#pragma once
// The main window created modeless from its real template, over the in-process
// fake shell and a few real task windows.
#include <gtest/gtest.h>
#include "app/main_app.h"
#include "app/main_dlg.h"
#include "res/resource.h"
#include "tests/support/fake_shell.h"
#include "tests/support/task_windows.h"
#include <memory>
#include <string>
#include <vector>

// The application object as the program makes it, without running it.
CMainApp& TestApp();

// The main window with the restore's looks at the taskbar and its clock in
// the test's hands.
class CTestMainDlg : public CMainDlg {
public:
    // One look at the new taskbar, as the restore's timer gives it.
    void LookAtTaskbar() { SendMessage(WM_TIMER, kRestoreTimer, 0); }
    // The same look, queued: for a nested loop to deliver.
    void QueueLookAtTaskbar() { PostMessage(WM_TIMER, kRestoreTimer, 0); }
    // The restore as if the shell had restarted ms earlier than it did.
    void AgeRestore(DWORD ms) { m_restoreStart -= ms; }
};

class MainDlgTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // n task windows with buttons in this order on the fake taskbar.
    void AddWindows(int n);
    // Creates the main window as the program does (hidden during initialisation).
    void Open();

    HWND List() const { return m_dlg.GetDlgItem(IDC_TASK_LIST); }
    // The list's windows, filtered to the test's own.
    std::vector<HWND> Listed() const;
    std::vector<HWND> OnTaskbar() const;
    int IndexOf(HWND hWnd) const;
    // Every entry, the test's own windows and any other.
    size_t ListCount() const;
    int Selected() const;
    void Select(int index);
    void Click(int id);
    // The shell's broadcast after its taskbar was (re)created.
    void TaskbarCreated();
    // The restart as a nested loop sees it: the broadcast and two looks at an
    // unchanged taskbar, enough for the restore to arrange it at once.
    // Gives whether that touched any button.
    bool RestartShellNow();
    // Whether any button was taken off or added since the calls were cleared.
    bool ButtonsTouched() const;

    std::unique_ptr<CFakeShell> m_shell;
    CTestWindowClass m_class{"CorvaneAppTestWindow", RGB(0, 128, 255)};
    std::vector<CTestWindow> m_windows;
    std::vector<HWND> m_handles;
    CTestMainDlg m_dlg;
};
