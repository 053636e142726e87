#pragma once
// Resource ids of the resizable layout's test dialogs (300-399).
#define IDD_SIZING_TEST     300
#define IDC_SZ_STRETCH      301
#define IDC_SZ_MOVE         302
#define IDC_SZ_FIXED        303
#define IDC_SZ_PROPORTIONAL 304
#define IDC_SZ_PLAIN        305
