#include "app/main_app.h"
#include "app/main_dlg.h"
#include <objbase.h>

CMainApp::CMainApp() : CWinApp(nullptr) {}

// m_imageList's own destructor releases the image list, once: the list-view
// control is told to share it and never destroys it.
CMainApp::~CMainApp() = default;

BOOL CMainApp::InitInstance()
{
    const bool trayStart = IsTrayStart(::GetCommandLineA());
    // Another copy runs in this session while the order is kept: it has been
    // asked to show itself, and this one ends before it does anything else.
    const COneCopy oneCopy(trayStart, COrderStore().ReadKeepOrder());
    if (!oneCopy.IsFirst())
        return FALSE;

    AfxEnableControlContainer();
    ::CoInitialize(nullptr);
    m_imageList.Create(16, 16, ILC_COLOR32, 0, 10);
    Enable3dControlsStatic();

    CMainDlg dlg(nullptr);
    dlg.SetTrayStart(trayStart);
    // Never left dangling: CWnd's destructor clears the main-window pointer
    // that names it.
    // cppcheck-suppress danglingLifetime
    m_pMainWnd = &dlg;
    dlg.DoModal();

    ::CoUninitialize();
    return FALSE;
}

bool IsTrayStart(LPCSTR commandLine)
{
    const auto isSpace = [](char c) { return c == ' ' || c == '\t'; };
    LPCSTR at = commandLine;
    // The program's path, quoted when it holds a blank. Neither a quote nor a
    // blank is ever the second byte of a double-byte character.
    if (*at == '"') {
        for (++at; *at && *at != '"'; ++at) {
        }
        if (*at)
            ++at;
    } else {
        while (*at && !isSpace(*at))
            ++at;
    }
    for (;;) {
        while (isSpace(*at))
            ++at;
        if (!*at)
            return false;
        LPCSTR end = at;
        while (*end && !isSpace(*end))
            ++end;
        if (end - at == 5 && at[0] == '/') {
            bool tray = true;
            for (int i = 1; i < 5; ++i)
                tray = tray && (at[i] | 0x20) == "/tray"[i];
            if (tray)
                return true;
        }
        at = end;
    }
}
