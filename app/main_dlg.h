#pragma once
// The main window: the task list and the commands that reorder the taskbar.
#include "app/task_list_ctrl.h"
#include "app/tray_icon.h"
#include "controls/sizing_dialog.h"
#include "engine/kept_order.h"
#include "engine/task_button_list.h"
#include "framework/controls.h"

class CMainDlg : public CSizingDialog {
public:
    explicit CMainDlg(CWnd* pParent = nullptr);
    ~CMainDlg() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    // Started with "/tray": the window stays hidden at start when the order
    // is kept, and shows as usual otherwise. Before the window is created.
    void SetTrayStart(bool tray) { m_trayStart = tray; }

protected:
    // Tests keep the order in registry keys of their own.
    CMainDlg(CWnd* pParent, COrderStore store);

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // While the order is kept, closing hides the window in the notification
    // area; otherwise, or when the shell has not taken the icon (no window
    // could show it again), it ends the dialog.
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
    void OnTrayExit();
    LRESULT OnTrayIcon(WPARAM wParam, LPARAM lParam);
    LRESULT OnWindowPosChanging(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnSettingChange(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // The mode of keeping the order, on: watching and the notification icon.
    void StartKeeping();
    // Off: no more watching, no icon, and the window shown if it was hidden.
    void StopKeeping();
    // The window in front again, from the notification area.
    void ShowFromTray();
    // "关闭", Enter, Esc or the close box while the order is kept: true when the
    // window was hidden to its icon.
    bool HideToTray();
    // The notification icon's menu at the pointer.
    void ShowTrayMenu();

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
    template <class Action>
    void RunNestedLoop(Action action);

    CTaskButtonList m_taskButtons;
    CKeptOrder m_keptOrder;
    CTaskListCtrl m_taskList;
    HICON m_hIcon;
    // The notification icon while the order is kept, and its picture (a
    // shared icon from the module's resources, never destroyed).
    CTrayIcon m_trayIcon;
    HICON m_hSmallIcon;
    bool m_trayStart = false;
    // Every show of the window is held back while this is set: the dialog
    // manager and the modal loop both show it once created.
    bool m_keepHidden = false;
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
    // The timer of the watch for new and gone task windows while the order
    // is kept.
    static constexpr UINT_PTR kWatchTimer = 2;
    // The notification icon's id and callback message.
    static constexpr UINT kTrayIconId = 1;
    static constexpr UINT kTrayIconMessage = WM_APP + 1;
    // The engine, whose grouping a test sets as another system would give it.
    CTaskButtonList& TaskButtons() { return m_taskButtons; }
};
