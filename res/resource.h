#pragma once
// Resource and control identifiers of the program. The numbers are fixed.
#define IDD_ABOUTBOX        100
#define IDS_ABOUTBOX        101
#define IDS_EMPTY_NO_TASKBAR        103
#define IDS_EMPTY_NO_TASK_WINDOWS   104
#define IDS_WRITE_FAILED            105
#define IDD_MAIN            102
#define IDR_MAINFRAME       128
#define IDR_TASK_MENU       129
#define IDR_TRAY_MENU       130
#define IDM_ABOUTBOX        0x0010
#define IDC_TASK_LIST       1002
#define IDC_MOVE_UP         1003
#define IDC_MOVE_DOWN       1004
#define IDC_REFRESH         1005
#define IDC_ABOUT           1007
#define IDC_HOMEPAGE_LINK   1009
#define IDC_SIZE_GRIP       17733

// Commands of the task list's menu that no button carries; its other items
// send the commands of the buttons they stand for.
#define ID_TASK_MOVE_TOP       32771
#define ID_TASK_MOVE_BOTTOM    32772
#define ID_TASK_SORT_BY_TITLE  32773
#define ID_TASK_ARRANGE        32774
#define ID_TASK_GROUP_BY_PROGRAM 32775
// Keeping the order, from the list's menu and the notification icon's menu.
#define ID_KEEP_ORDER          32776
// The notification icon's menu.
#define ID_TRAY_SHOW           32777
#define ID_TRAY_START_AT_LOGON 32778
#define ID_TRAY_EXIT           32779

// The home page: the About box's link text and the target it opens.
#define CORVANE_HOME_PAGE   "https://corvane.example.org/"
