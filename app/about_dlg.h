#pragma once
// The About box: version, localisation credit and a link to the home page.
#include "controls/link_label.h"
#include "framework/dialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
    ~CAboutDlg() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    DECLARE_MESSAGE_MAP()

    CLinkLabel m_homePageLink;
};
