#pragma once
// The main window: the task list and the commands that reorder the taskbar.
#include "app/task_list_ctrl.h"
#include "controls/sizing_dialog.h"
#include "engine/task_button_list.h"
#include "framework/controls.h"

class CMainDlg : public CSizingDialog {
public:
    explicit CMainDlg(CWnd* pParent = nullptr);
    ~CMainDlg() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

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

    CTaskButtonList m_taskButtons;
    CTaskListCtrl m_taskList;
    HICON m_hIcon;
    // Restoring the order after the shell's restart: when it began, and the
    // button count of the new taskbar at the last look (kNoHost without one).
    DWORD m_restoreStart = 0;
    int m_lastButtonCount = 0;
};
