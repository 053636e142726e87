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

using CTestMainDlg = CMainDlg;

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
    int Selected() const;
    void Select(int index);
    void Click(int id);

    std::unique_ptr<CFakeShell> m_shell;
    CTestWindowClass m_class{"CorvaneAppTestWindow", RGB(0, 128, 255)};
    std::vector<CTestWindow> m_windows;
    std::vector<HWND> m_handles;
    CTestMainDlg m_dlg;
};
