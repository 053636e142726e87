#pragma once
// The main window: the task list and the commands that reorder the taskbar.
#include "app/keeping_mode.h"
#include "app/task_list_ctrl.h"
#include "controls/sizing_dialog.h"
#include "engine/task_button_list.h"
#include "framework/controls.h"
#include <functional>

class CMainDlg : public CSizingDialog, private CKeepingMode::CHost {
public:
    explicit CMainDlg(CWnd* pParent = nullptr);
    ~CMainDlg() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    // Started with "/tray": see CKeepingMode::SetTrayStart.
    void SetTrayStart(bool tray) { m_keeping.SetTrayStart(tray); }

protected:
    // Tests keep the order in registry keys of their own.
    CMainDlg(CWnd* pParent, COrderStore store);

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Closing hides the window while the order is kept (CKeepingMode::HideWindow).
    void OnOK() override;
    void OnCancel() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnMoveDown();
    void OnMoveUp();
    void OnRefresh();
    void OnBeginDragTaskList(NMHDR* pNMHDR, LRESULT* pResult);
    void OnAbout();
    void OnSize(UINT nType, int cx, int cy);
    void OnMoveToTop();
    void OnMoveToBottom();
    void OnSortByTitle();
    void OnArrangeTaskbar();
    LRESULT OnContextMenu(WPARAM wParam, LPARAM lParam);
    LRESULT OnTaskbarCreated(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR nIDEvent);
    void OnGroupByProgram();
    void OnKeepOrder();
    void OnStartAtLogon();
    void OnTrayShow();
    void OnTrayExit();
    LRESULT OnTrayIcon(WPARAM wParam, LPARAM lParam);
    LRESULT OnShowFromOtherCopy(WPARAM wParam, LPARAM lParam);
    LRESULT OnWindowPosChanging(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnSettingChange(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // The list's own keys: the moves and the menu. True when the key was one.
    bool OnListKey(const MSG& msg);
    // The task list's menu at this screen point, its moves greyed where they
    // would do nothing.
    void ShowTaskMenu(POINT screen);
    // Where the keyboard opens the menu: at the selected entry, else at the
    // list's top-left corner; in screen coordinates.
    POINT TaskMenuPointForKeys();
    // Tells the list what to say while it is empty: whether the refresh that
    // just ran found no taskbar, or a taskbar without task windows.
    void UpdateEmptyText();
    // After a move from the keyboard or the menu: the moved entry also takes
    // the focus and is scrolled into view, so that the arrows go on from it.
    void FollowSelection();

    // The restore after the shell's restart: one look at the new taskbar,
    // which arranges it once its button count has settled, unless a nested
    // loop runs. StopRestore ends the looks.
    void PollRestore();
    void StopRestore();

    // Runs action, a nested message loop of this window (a refresh with its
    // message boxes, the list's menu and its command, the notification
    // icon's menu and its command, the About box, a drag). The restore and
    // the watch wait while one runs: they would change the list and the
    // taskbar under the loop's feet. When the last one ends the restore looks
    // at the taskbar at once.
    void RunNestedLoop(const std::function<void()>& action) override;
    bool IsWatchHeld() const override { return m_nestedLoops > 0 || m_restoring; }

    CTaskButtonList m_taskButtons;

protected:
    CTaskListCtrl m_taskList;
    HICON m_hIcon;
    CKeepingMode m_keeping;

private:
    // Restoring the order after the shell's restart: whether it is under way,
    // and the button count of the new taskbar at the last look (kNoHost
    // without one, or when the host did not answer).
    bool m_restoring = false;
    int m_lastButtonCount = 0;
    int m_nestedLoops = 0;

protected:
    // The timer of the restore's looks at the new taskbar, and when the
    // restore began.
    static constexpr UINT_PTR kRestoreTimer = 1;
    DWORD m_restoreStart = 0;
    // The engine, whose grouping a test sets as another system would give it.
    CTaskButtonList& TaskButtons() { return m_taskButtons; }
};
