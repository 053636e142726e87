#include "framework/app.h"
#include "framework/wnd.h"
#include <commctrl.h>
#include <shlwapi.h>
#include <cstring>

namespace {
// The single application object; the framework only points at it.
CWinApp* g_pApp = nullptr;

CString TitleFromModuleName()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* name = path;
    for (const char* p = path; *p; p = ::CharNextA(p)) {
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
    }
    const char* dot = std::strrchr(name, '.');
    return CString(name, dot ? static_cast<int>(dot - name) : static_cast<int>(std::strlen(name)));
}
}  // namespace

CWinApp::CWinApp(LPCSTR appName)
    : m_hInstance(::GetModuleHandleA(nullptr)),
      m_title(appName ? CString(appName) : TitleFromModuleName()),
      m_pPrevious(g_pApp)
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = m_pPrevious;
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

int AfxMessageBox(LPCSTR text, UINT type, UINT)
{
    if ((type & MB_ICONMASK) == 0)
        type |= MB_ICONEXCLAMATION;
    // Owned by the active popup of the main window, which the box disables while it runs.
    HWND owner = nullptr;
    if (CWnd* main = AfxGetMainWnd(); main && ::IsWindow(main->m_hWnd))
        owner = ::GetLastActivePopup(main->m_hWnd);
    if (!owner)
        owner = ::GetActiveWindow();
    CWinApp* app = AfxGetApp();
    return ::MessageBoxA(owner, text, app ? app->GetTitle() : nullptr, type);
}

int AfxWinMain(HINSTANCE instance)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->m_hInstance = instance;
    // Dialog templates name common-control classes, which must be registered first.
    if (!InitCommonControlClasses())
        return -1;
    // A dialog program runs its modal loop inside InitInstance and returns FALSE;
    // there is no loop of the framework's own to run afterwards.
    app->InitInstance();
    return app->ExitInstance();
}

DWORD CommonControlClasses(DWORD comctlMajorVersion)
{
    return comctlMajorVersion >= 6 ? ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES : ICC_WIN95_CLASSES;
}

DWORD LoadedCommonControlsVersion()
{
    // The name goes through the process's activation context, as the
    // program's own imports did: with the manifest on XP and later, version 6.
    HMODULE comctl = ::GetModuleHandleA("comctl32.dll");
    FARPROC proc = comctl ? ::GetProcAddress(comctl, "DllGetVersion") : nullptr;
    if (!proc)
        return 0;
    // GetProcAddress gives one generic function type; the export's own type
    // is the documented one.
    const auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void (*)()>(proc));
    DLLVERSIONINFO info{};
    info.cbSize = sizeof info;
    return SUCCEEDED(getVersion(&info)) ? info.dwMajorVersion : 0;
}

bool InitCommonControlClasses()
{
    INITCOMMONCONTROLSEX icc{sizeof icc, CommonControlClasses(LoadedCommonControlsVersion())};
    return ::InitCommonControlsEx(&icc) != FALSE;
}
