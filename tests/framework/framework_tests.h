#pragma once
// Resource ids of the framework suite's test dialog.
#define IDD_FW_TEST   200
#define IDC_FW_STATIC 201
#define IDC_FW_BUTTON 202
#define IDC_FW_LIST   203
