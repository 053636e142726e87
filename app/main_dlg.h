#pragma once
// The main window: the task list and the commands that reorder the taskbar.
#include "controls/sizing_dialog.h"
#include "engine/task_button_list.h"
#include "framework/controls.h"

class CMainDlg : public CSizingDialog {
public:
    explicit CMainDlg(CWnd* pParent = nullptr);
    ~CMainDlg() override;

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
    DECLARE_MESSAGE_MAP()

    CTaskButtonList m_taskButtons;
    CListCtrl m_taskList;
    HICON m_hIcon;
};
