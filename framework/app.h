#pragma once
// The application object: exactly one per process, constructed statically by
// the program, found by AfxGetApp().
#include <windows.h>
#include "framework/cstring.h"

class CWnd;

class CWinApp {
public:
    // A null name makes the title the executable's file name without extension.
    explicit CWinApp(LPCSTR appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Returns TRUE to run a message loop, FALSE to end the program.
    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return 0; }

    // The caption of the application's message boxes.
    LPCSTR GetTitle() const { return m_title; }
    // Dialogs are drawn by the system's themes now; kept for the classic start-up sequence.
    void Enable3dControlsStatic() {}
    void OnHelp() {}

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;

private:
    CString m_title;
    CWinApp* m_pPrevious;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// Nothing to set up: the program hosts no ActiveX controls.
inline void AfxEnableControlContainer(void* = nullptr) {}
// Shows a message box captioned with the application's title and owned by its
// active window; MB_ICONEXCLAMATION is added when the type names no icon.
int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT helpContext = 0);
// The framework's entry point: registers the common-control classes, then
// runs InitInstance of the application object; -1 when the classes could not
// be registered, without which no dialog of the program can be made.
int AfxWinMain(HINSTANCE instance);

// The classes to ask InitCommonControlsEx for, given the major version of the
// loaded comctl32. Only version 6 knows ICC_STANDARD_CLASSES, and an older
// one (5.81 on Windows 2000, or without the manifest) fails the whole call
// over a flag it does not know.
DWORD CommonControlClasses(DWORD comctlMajorVersion);
// The major version that the loaded comctl32 reports through DllGetVersion;
// 0 when it exports none (before 4.71).
DWORD LoadedCommonControlsVersion();
// InitCommonControlsEx with the classes the loaded comctl32 knows; its result.
bool InitCommonControlClasses();
