// corvane_samples.exe: opens sample task windows for the stand-in taskbar.
//
//   corvane_samples [--count N] [--prefix TEXT | --title TEXT] [--seconds S]
//
//   --count N      how many windows (default 3, at most 1000)
//   --prefix TEXT  their titles are "TEXT 1" ... "TEXT N" (default "Sample")
//   --title TEXT   every window is titled exactly TEXT (long titles and
//                  titles in the ANSI code page's double-byte characters)
//   --seconds S    close them all after S seconds (default: stay open)
//
// The program ends when its last window is closed (WM_CLOSE to each, or by
// hand) or when the time is up. Exit codes: 0, 1 when a window could not be
// made, 2 for bad options.
#include <windows.h>
#include <cstdlib>
#include <cstring>
#include "framework/app.h"
#include "standin/sample_windows.h"

namespace {

// Only a guard against a mistyped number: several hundred windows are a
// reasonable load for a taskbar.
constexpr int kMaxCount = 1000;

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

bool ParseNumber(const char* text, long low, long high, long& value)
{
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end && end != text && !*end && value >= low && value <= high;
}

}  // namespace

class CSamplesApp : public CWinApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override { return m_exitCode; }

private:
    int m_exitCode = 0;
};

CSamplesApp theApp;

BOOL CSamplesApp::InitInstance()
{
    long count = 3;
    long seconds = 0;
    const char* prefix = "Sample";
    const char* title = nullptr;
    for (int i = 1; i < __argc; ++i) {
        const bool hasValue = i + 1 < __argc;
        if (std::strcmp(__argv[i], "--count") == 0 && hasValue && ParseNumber(__argv[i + 1], 1, kMaxCount, count)) {
            ++i;
        } else if (std::strcmp(__argv[i], "--prefix") == 0 && hasValue) {
            prefix = __argv[++i];
        } else if (std::strcmp(__argv[i], "--title") == 0 && hasValue) {
            title = __argv[++i];
        } else if (std::strcmp(__argv[i], "--seconds") == 0 && hasValue &&
                   ParseNumber(__argv[i + 1], 1, 24 * 3600, seconds)) {
            ++i;
        } else {
            WriteError("usage: corvane_samples [--count N] [--prefix TEXT | --title TEXT] [--seconds S]\n");
            m_exitCode = 2;
            return FALSE;
        }
    }

    CSampleWindows windows;
    if (!windows.Open(static_cast<int>(count), prefix)) {
        WriteError("corvane_samples: a sample window could not be created\n");
        m_exitCode = 1;
        return FALSE;
    }
    if (title) {
        for (size_t i = 0; i < windows.size(); ++i)
            ::SetWindowTextA(windows[i].m_hWnd, title);
    }
    // A thread timer: its WM_TIMER comes to the loop with no window.
    const UINT_PTR deadline = seconds > 0 ? ::SetTimer(nullptr, 0, static_cast<UINT>(seconds * 1000), nullptr) : 0;

    MSG msg;
    while (windows.GetOpenCount() > 0 && ::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && !msg.hwnd && msg.wParam == deadline)
            break;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    if (deadline)
        ::KillTimer(nullptr, deadline);
    m_exitCode = 0;
    return FALSE;
}
