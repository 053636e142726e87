#include "app/main_app.h"
#include "app/main_dlg.h"
#include <objbase.h>

CMainApp::CMainApp() : CWinApp(nullptr) {}

// m_imageList's own destructor releases the image list, once: the list-view
// control is told to share it and never destroys it.
CMainApp::~CMainApp() = default;

BOOL CMainApp::InitInstance()
{
    AfxEnableControlContainer();
    ::CoInitialize(nullptr);
    m_imageList.Create(16, 16, ILC_COLOR32, 0, 10);
    Enable3dControlsStatic();

    CMainDlg dlg(nullptr);
    // Never left dangling: CWnd's destructor clears the main-window pointer
    // that names it.
    // cppcheck-suppress danglingLifetime
    m_pMainWnd = &dlg;
    dlg.DoModal();

    ::CoUninitialize();
    return FALSE;
}
