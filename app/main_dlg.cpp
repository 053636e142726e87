#include "app/main_dlg.h"
#include "app/about_dlg.h"
#include "framework/app.h"
#include "framework/gdi.h"
#include "framework/tracker.h"
#include "res/resource.h"

CMainDlg::CMainDlg(CWnd* pParent)
    : CSizingDialog(IDD_MAIN, pParent),
      // A shared icon from the module's resources: never destroyed.
      m_hIcon(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME)))
{
}

CMainDlg::~CMainDlg() = default;

BEGIN_MESSAGE_MAP(CMainDlg, CSizingDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_MOVE_DOWN, &CMainDlg::OnMoveDown)
    ON_BN_CLICKED(IDC_MOVE_UP, &CMainDlg::OnMoveUp)
    ON_BN_CLICKED(IDC_REFRESH, &CMainDlg::OnRefresh)
    ON_NOTIFY(LVN_BEGINDRAG, IDC_TASK_LIST, &CMainDlg::OnBeginDragTaskList)
    ON_BN_CLICKED(IDC_ABOUT, &CMainDlg::OnAbout)
    ON_WM_SIZE()
END_MESSAGE_MAP()

void CMainDlg::DoDataExchange(CDataExchange* pDX)
{
    CSizingDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_TASK_LIST, m_taskList);
}

BOOL CMainDlg::OnInitDialog()
{
    CSizingDialog::OnInitDialog();

    if (HMENU sysMenu = GetSystemMenu(FALSE)) {
        CString about;
        about.LoadString(IDS_ABOUTBOX);
        if (!about.IsEmpty()) {
            ::AppendMenuA(sysMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(sysMenu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    // A tool window without WS_EX_APPWINDOW owns no taskbar button, so the
    // program never lists itself.
    if (CWnd* main = AfxGetMainWnd()) {
        const LONG exStyle = ::GetWindowLongA(main->m_hWnd, GWL_EXSTYLE);
        ::SetWindowLongA(main->m_hWnd, GWL_EXSTYLE, exStyle & ~WS_EX_APPWINDOW);
    }

    m_taskButtons.Attach(&m_taskList);
    m_taskButtons.Refresh();

    AddAnchor(IDOK, 2, 0, true);
    AddAnchor(IDC_REFRESH, 2, 0, true);
    AddAnchor(IDC_MOVE_UP, 2, 2, true);
    AddAnchor(IDC_MOVE_DOWN, 2, 2, true);
    AddAnchor(IDC_ABOUT, 2, 2, true);
    AddAnchor(IDC_TASK_LIST, 1, 1, true);
    return TRUE;
}

void CMainDlg::OnSysCommand(UINT nID, LPARAM)
{
    if ((nID & 0xFFF0) == IDM_ABOUTBOX)
        OnAbout();
    else
        Default();
}

void CMainDlg::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int cxIcon = ::GetSystemMetrics(SM_CXICON);
    const int cyIcon = ::GetSystemMetrics(SM_CYICON);
    CRect rect;
    GetClientRect(&rect);
    const int x = (rect.Width() - cxIcon + 1) / 2;
    const int y = (rect.Height() - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CMainDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

void CMainDlg::OnMoveDown()
{
    m_taskButtons.MoveDown();
}

void CMainDlg::OnMoveUp()
{
    m_taskButtons.MoveUp();
}

void CMainDlg::OnRefresh()
{
    m_taskButtons.Refresh();
}

void CMainDlg::OnBeginDragTaskList(NMHDR* pNMHDR, LRESULT* pResult)
{
    const NMLISTVIEW* pNMListView = reinterpret_cast<const NMLISTVIEW*>(pNMHDR);
    const int from = pNMListView->iItem;
    CRect rect;
    m_taskList.GetItemRect(from, &rect, LVIR_BOUNDS);
    CPoint start(pNMListView->ptAction);
    // The list reports in its own client coordinates and the tracker works in
    // the dialog's: convert both, or the frame is drawn off the entry and a
    // release where the drag began counts as a move.
    ::MapWindowPoints(m_taskList.m_hWnd, m_hWnd, reinterpret_cast<LPPOINT>(&rect), 2);
    ::MapWindowPoints(m_taskList.m_hWnd, m_hWnd, &start, 1);

    CRectTracker tracker(&rect, CRectTracker::dottedLine);
    if (tracker.Track(this, start, FALSE, nullptr)) {
        // The drop place is where the pointer is now, not where the frame was drawn.
        CPoint point;
        ::GetCursorPos(&point);
        m_taskList.ScreenToClient(&point);
        UINT flags = 0;
        const int to = m_taskList.HitTest(point, &flags);
        if (flags & (LVHT_ONITEMICON | LVHT_ONITEMLABEL))
            m_taskButtons.MoveButton(from, to);
    }
    *pResult = 0;
}

void CMainDlg::OnAbout()
{
    CAboutDlg dlg;
    dlg.DoModal();
}

void CMainDlg::OnSize(UINT nType, int cx, int cy)
{
    CSizingDialog::OnSize(nType, cx, cy);
    // Before initialisation the list has no window yet, and nothing to size.
    if (!m_taskList.m_hWnd)
        return;
    CRect client;
    m_taskList.GetClientRect(&client);
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    column.cx = client.right;
    m_taskList.SendMessage(LVM_SETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
}
