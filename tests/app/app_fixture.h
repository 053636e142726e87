#pragma once
// The main window created modeless from its real template, over the in-process
// fake shell and a few real task windows.
#include <gtest/gtest.h>
#include "app/main_app.h"
#include "app/main_dlg.h"
#include "res/resource.h"
#include "tests/support/fake_shell.h"
#include "tests/support/pump.h"
#include "tests/support/task_windows.h"
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The application object as the program makes it, without running it.
CMainApp& TestApp();

// Where the test main window keeps the order: keys of its own under
// HKEY_CURRENT_USER, removed before and after every test.
constexpr char kTestKeysRoot[] = "Software\\CorvaneAppTests";

// The main window with the restore's looks at the taskbar and its clock, the
// watch's looks and the notification icon's clicks in the test's hands.
class CTestMainDlg : public CMainDlg {
public:
    CTestMainDlg() : CMainDlg(nullptr, Store()) {}
    static COrderStore Store()
    {
        return COrderStore(HKEY_CURRENT_USER, "Software\\CorvaneAppTests\\Corvane", "Software\\CorvaneAppTests\\Run");
    }
    // One look for new and gone task windows, as the watch's timer gives it,
    // and the same look queued, for a nested loop to deliver.
    void Watch() { SendMessage(WM_TIMER, kWatchTimer, 0); }
    void QueueWatch() { PostMessage(WM_TIMER, kWatchTimer, 0); }
    // A mouse message on the notification icon, as the shell passes it on.
    void OnIcon(UINT mouseMessage) { SendMessage(kTrayIconMessage, kTrayIconId, mouseMessage); }
    // One look at the new taskbar, as the restore's timer gives it.
    void LookAtTaskbar() { SendMessage(WM_TIMER, kRestoreTimer, 0); }
    // The same look, queued: for a nested loop to deliver.
    void QueueLookAtTaskbar() { PostMessage(WM_TIMER, kRestoreTimer, 0); }
    // The restore as if the shell had restarted ms earlier than it did.
    void AgeRestore(DWORD ms) { m_restoreStart -= ms; }
    using CMainDlg::TaskButtons;
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

// A drag as the list reports it, with the hand's input queued for the tracker:
// the pointer moves, then ends at `drop` (list client coordinates).
class DragTest : public MainDlgTest {
protected:
    CPoint LabelOf(int index) const
    {
        RECT r{};
        r.left = LVIR_LABEL;
        ::SendMessageA(List(), LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    void Drag(int from, CPoint drop, UINT endMessage = WM_LBUTTONUP, bool move = true)
    {
        const CPoint start = LabelOf(from);
        CPoint screenDrop = drop;
        ::ClientToScreen(List(), &screenDrop);
        ::SetCursorPos(screenDrop.x, screenDrop.y);
        CPoint dlgDrop = screenDrop;
        m_dlg.ScreenToClient(&dlgDrop);
        if (move)
            m_dlg.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(dlgDrop.x + 3, dlgDrop.y + 3));
        if (endMessage == WM_KEYDOWN)
            m_dlg.PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
        else
            m_dlg.PostMessage(endMessage, 0, MAKELPARAM(dlgDrop.x, dlgDrop.y));
        NMLISTVIEW nm{};
        nm.hdr.hwndFrom = List();
        nm.hdr.idFrom = IDC_TASK_LIST;
        nm.hdr.code = LVN_BEGINDRAG;
        nm.iItem = from;
        nm.ptAction = start;
        m_dlg.SendMessage(WM_NOTIFY, IDC_TASK_LIST, reinterpret_cast<LPARAM>(&nm));
        // What a cancel left queued (the release after Esc) is harmless.
        PumpMessages();
    }
};

// Runs open, which shows a popup menu of this thread, and inMenu inside that
// menu's own loop once it shows; the menu then ends without a command.
void InMenu(const std::function<void()>& open, std::function<void(HWND popup)> inMenu);
// The items of a menu: each item's text, or "-" for a separator.
// Asks the dialog for the list's menu with this lParam and runs inMenu in it.
void InListMenu(CWnd& dlg, HWND list, LPARAM lParam, std::function<void(HWND popup)> inMenu);
std::vector<std::string> MenuTexts(HMENU menu);
bool IsChecked(HMENU menu, UINT id);
