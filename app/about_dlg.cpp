#include "app/about_dlg.h"
#include "res/resource.h"

// No parent: the framework makes the main window the owner while it runs.
CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX, nullptr) {}

CAboutDlg::~CAboutDlg() = default;

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
END_MESSAGE_MAP()

void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_HOMEPAGE_LINK, m_homePageLink);
}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_homePageLink.SetLinkUrl(CORVANE_HOME_PAGE);
    m_homePageLink.SetUnderlineMode(CLinkLabel::UnderlineAlways);
    return TRUE;
}
