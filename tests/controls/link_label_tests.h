#pragma once
// Resource ids of the hyperlink label's test dialog (400-499).
#define IDD_LINK_TEST    400
#define IDC_LINK_LEFT    401
#define IDC_LINK_RIGHT   402
#define IDC_LINK_CENTER  403
#define IDC_LINK_MIDDLE  404
#define IDC_LINK_BORDER  405
#define IDC_LINK_EMPTY   406
