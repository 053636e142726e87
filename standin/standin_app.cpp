// corvane_standin.exe: a stand-in taskbar for hosts without the Windows shell.
//
//   corvane_standin [--toolbar] [--no-rebar] [--group] [--poll MS] [--refuse-icons MS]
//
//   --toolbar          draw the buttons with a toolbar instead of a tab control
//   --group            group similar buttons: a new button whose program (the
//                      executable of its window's process) has buttons goes
//                      right after that program's last one, as on a taskbar
//                      that groups
//   --no-rebar         put the task switcher straight under the tray
//   --poll MS          look at the windows every MS milliseconds (default 150)
//   --refuse-icons MS  refuse notification icons for the first MS milliseconds
//
// Exit codes: 0 when closed (WM_CLOSE to the tray), 1 when the strip could not
// be made, 2 for bad options, 3 when another stand-in already runs here.
#include <windows.h>
#include <commctrl.h>
#include <cstdlib>
#include <cstring>
#include "framework/app.h"
#include "framework/cstring.h"
#include "framework/handles.h"
#include "standin/standin_protocol.h"
#include "standin/tray_wnd.h"

namespace {

constexpr char kUsage[] =
    "usage: corvane_standin [--toolbar] [--no-rebar] [--group] [--poll MS] [--refuse-icons MS]\n";

// Headless runs have nobody to close a message box: messages go to the
// standard error stream that the starting process gave us, if any.
void WriteError(const char* text)
{
    HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    // No handle (NULL) and a failed query (INVALID_HANDLE_VALUE, all bits set)
    // are two different values, which cppcheck's model of the macro merges.
    // cppcheck-suppress knownConditionTrueFalse
    if (!error || error == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    ::WriteFile(error, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

bool ParseOptions(int argc, char** argv, CStandinOptions& options)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--toolbar") == 0) {
            options.toolbar = true;
        } else if (std::strcmp(argv[i], "--no-rebar") == 0) {
            options.rebar = false;
        } else if (std::strcmp(argv[i], "--group") == 0) {
            options.grouping = true;
        } else if (std::strcmp(argv[i], "--poll") == 0 && i + 1 < argc) {
            char* end = nullptr;
            const long ms = std::strtol(argv[++i], &end, 10);
            if (!end || *end || ms < USER_TIMER_MINIMUM || ms > 60000)
                return false;
            options.pollMs = static_cast<UINT>(ms);
        } else if (std::strcmp(argv[i], "--refuse-icons") == 0 && i + 1 < argc) {
            char* end = nullptr;
            const long ms = std::strtol(argv[++i], &end, 10);
            if (!end || *end || ms < 0 || ms > 600000)
                return false;
            options.refuseIconsMs = static_cast<UINT>(ms);
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

class CStandinApp : public CWinApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override { return m_exitCode; }

private:
    int m_exitCode = 0;
};

CStandinApp theApp;

BOOL CStandinApp::InitInstance()
{
    CStandinOptions options;
    if (!ParseOptions(__argc, __argv, options)) {
        WriteError(kUsage);
        m_exitCode = 2;
        return FALSE;
    }

    // Two trays would both answer; the second one leaves before it shows.
    CHandle running(::CreateMutexA(nullptr, FALSE, kStandinMutexName));
    const DWORD created = ::GetLastError();
    if (!running) {
        WriteError("corvane_standin: the instance mutex could not be created\n");
        m_exitCode = 1;
        return FALSE;
    }
    if (created == ERROR_ALREADY_EXISTS) {
        WriteError("corvane_standin: a stand-in taskbar is already running in this Wine prefix\n");
        m_exitCode = kStandinExitAlreadyRunning;
        return FALSE;
    }

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_COOL_CLASSES};
    ::InitCommonControlsEx(&icc);

    CTrayWnd tray(options);
    if (!tray.Create()) {
        WriteError("corvane_standin: the taskbar strip could not be created\n");
        m_exitCode = 1;
        return FALSE;
    }
    m_pMainWnd = &tray;

    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    m_pMainWnd = nullptr;
    m_exitCode = 0;
    return FALSE;
}
