// Start-up time: from CreateProcess to the main window shown, for corvane.exe
// with 10 task windows on the stand-in taskbar, against two baselines started
// the same way: a minimal Win32 dialog program (minimal_dialog.exe), bare, and
// the same program making, before its dialog shows, the taskbar calls that
// corvane.exe made at its start (read from the stand-in's call log after each
// start of corvane.exe, and checked there after the baseline's). Each is
// started N times (default 10, or the first argument), alternately, after one
// start each that is not counted; the medians and the two ratios are printed.
//
// "Shown" is what a user sees: a visible top-level dialog of the new process
// with the program's caption, polled for every millisecond from here. Corvane
// fills its list before it shows the window, so the figure includes the
// enumeration and, on the tab-control taskbar, the probe of the taskbar's
// order: one activation after another, each through its own TaskbarList
// object answered by the stand-in's process, with a focus query to its tab
// control after each. The program must make those calls; the second ratio
// says what it costs beyond them.
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>
#include "bench_clock.h"
#include "framework/cstring.h"
#include "res/resource.h"
#include "standin/child_process.h"
#include "standin/standin_client.h"

namespace {

constexpr int kTaskWindows = 10;
constexpr DWORD kShowTimeoutMs = 20000;

struct CShownQuery {
    DWORD processId;
    const char* caption;
    HWND found;
};

BOOL CALLBACK FindShownProc(HWND hWnd, LPARAM lParam)
{
    auto* query = reinterpret_cast<CShownQuery*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hWnd, &owner);
    if (owner != query->processId || !::IsWindowVisible(hWnd))
        return TRUE;
    // Another process's text is read without a message to it.
    char text[64] = {};
    ::GetWindowTextA(hWnd, text, sizeof text);
    char className[16] = {};
    ::GetClassNameA(hWnd, className, sizeof className);
    if (std::string(text) == query->caption && std::string(className) == "#32770") {
        query->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindShown(DWORD processId, const char* caption)
{
    CShownQuery query{processId, caption, nullptr};
    ::EnumWindows(FindShownProc, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

struct CProgram {
    const char* name;
    CString exe;
    const char* caption;
    std::vector<double> times;
    int listed = -1;   // entries in the main window's list, where it has one
};

// One start: the time to the shown dialog, or a negative value when it did not
// show; onShown runs once it shows, untimed; then the dialog is cancelled and
// the process waited for.
double StartOnce(CProgram& program, const CString& arguments, const std::function<void()>& onShown = [] {})
{
    CChildProcess process;
    const double start = Now();
    if (!process.Start(program.exe, arguments))
        return -1;
    HWND shown = nullptr;
    while (!(shown = FindShown(process.GetId(), program.caption))) {
        if (!process.IsRunning() || Now() - start > kShowTimeoutMs)
            return -1;
        ::Sleep(1);
    }
    const double elapsed = Now() - start;

    onShown();
    if (HWND list = ::GetDlgItem(shown, IDC_TASK_LIST)) {
        DWORD_PTR count = 0;
        if (::SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count))
            program.listed = static_cast<int>(count);
    }
    ::PostMessageA(shown, WM_COMMAND, IDCANCEL, 0);
    process.WaitForExit(10000);
    return elapsed;
}

// The taskbar calls a program made since the stand-in's log was last cleared.
struct CShellCalls {
    int activations = 0;
    LONG queries = 0;   // TCM_GETCURFOCUS and the like, to the button host
    bool operator==(const CShellCalls& other) const
    {
        return activations == other.activations && queries == other.queries;
    }
};

CShellCalls LoggedCalls(const CStandinClient& client)
{
    CShellCalls calls;
    for (const CStandinClient::CCall& call : client.GetCalls())
        calls.activations += call.op == StandinOpActivateTab ? 1 : 0;
    calls.queries = client.GetHostQueries();
    return calls;
}

// The baseline's arguments for the same calls on the stand-in's buttons.
CString ShellCallArguments(const CShellCalls& calls, const std::vector<HWND>& buttons)
{
    CString arguments;
    arguments.Format("--activations %d --queries %ld --windows ", calls.activations, calls.queries);
    for (size_t i = 0; i < buttons.size(); ++i) {
        CString window;
        window.Format(i ? ",%lx" : "%lx", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(buttons[i])));
        arguments += window;
    }
    return arguments;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The Windows version Wine reports to corvane.exe in this prefix, which
// chooses its taskbar kind.
std::string CorvaneVersion()
{
    char value[32] = {};
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\corvane.exe", 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return "of the prefix";
    const LONG status = ::RegQueryValueExA(key, "Version", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_SZ ? value : "of the prefix";
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

    CStandinProcess standin;
    if (!standin.Start(ModuleRelativePath(STANDIN_RELATIVE_DIR "/corvane_standin.exe"), "")) {
        std::printf("startup_bench: the stand-in did not start\n");
        return 1;
    }
    const CStandinClient client(standin.GetTray());
    CString samplesArguments;
    samplesArguments.Format("--count %d --prefix \"Task window\"", kTaskWindows);
    CChildProcess samples;
    if (!samples.Start(ModuleRelativePath(STANDIN_RELATIVE_DIR "/corvane_samples.exe"), samplesArguments)) {
        std::printf("startup_bench: the sample windows did not start\n");
        return 1;
    }
    const double waitStart = Now();
    while (client.Rescan() != kTaskWindows) {
        if (Now() - waitStart > 10000) {
            std::printf("startup_bench: the stand-in shows %d buttons, not %d\n", client.GetButtonCount(),
                        kTaskWindows);
            return 1;
        }
        ::Sleep(20);
    }

    const std::vector<HWND> buttons = client.GetButtons();

    CProgram programs[] = {
        {"corvane.exe", ModuleRelativePath(CORVANE_RELATIVE_DIR "/corvane.exe"), "Corvane", {}},
        {"minimal_dialog.exe", ModuleRelativePath(MINIMAL_RELATIVE_DIR "/minimal_dialog.exe"), "Minimal dialog", {}},
        {"minimal_dialog.exe + calls", ModuleRelativePath(MINIMAL_RELATIVE_DIR "/minimal_dialog.exe"),
         "Minimal dialog", {}},
    };
    CProgram& corvane = programs[0];
    CProgram& bare = programs[1];
    CProgram& withCalls = programs[2];
    std::printf("process start to main window shown, %d starts each, alternating, after one start each not counted;\n"
                "%d task windows on the stand-in's tab-control taskbar, corvane.exe as Windows version %s;\n"
                "the second baseline makes the taskbar calls that corvane.exe made in the start before it\n",
                runs, kTaskWindows, CorvaneVersion().c_str());
    std::fflush(stdout);

    std::vector<double> activations, queries;
    // Every start is followed by a pause: the stand-in redraws its buttons
    // once a burst of calls pauses, and each start should find it idle.
    const auto measure = [&](CProgram& program, const CString& arguments, bool counted,
                             const std::function<void()>& onShown) {
        const double ms = StartOnce(program, arguments, onShown);
        if (ms < 0) {
            std::printf("startup_bench: %s showed no \"%s\" window\n", program.name, program.caption);
            return false;
        }
        if (counted)
            program.times.push_back(ms);
        ::Sleep(200);
        return true;
    };
    for (int round = -1; round < runs; ++round) {
        const bool counted = round >= 0;
        CShellCalls made;
        client.ClearLog();
        if (!measure(corvane, "", counted, [&] { made = LoggedCalls(client); }))
            return 1;
        if (!measure(bare, "", counted, [] {}))
            return 1;
        CShellCalls again;
        client.ClearLog();
        if (!measure(withCalls, ShellCallArguments(made, buttons), counted, [&] { again = LoggedCalls(client); }))
            return 1;
        if (!(again == made)) {
            std::printf("startup_bench: corvane.exe made %d activations and %ld host queries, the baseline %d and "
                        "%ld\n",
                        made.activations, made.queries, again.activations, again.queries);
            return 1;
        }
        if (counted) {
            activations.push_back(made.activations);
            queries.push_back(made.queries);
        }
    }

    for (const CProgram& program : programs) {
        const auto [low, high] = std::minmax_element(program.times.begin(), program.times.end());
        std::printf("  %-27s n=%3d  median %9.3f ms  min %9.3f ms  max %9.3f ms", program.name, runs,
                    Median(program.times), *low, *high);
        if (program.listed >= 0)
            std::printf("  (%d listed)", program.listed);
        std::printf("\n");
    }
    const auto [fewest, most] = std::minmax_element(activations.begin(), activations.end());
    std::printf("  taskbar calls at corvane.exe's start: median %.0f activations (%.0f to %.0f), "
                "median %.0f focus queries\n",
                Median(activations), *fewest, *most, Median(queries));
    const double corvaneTime = Median(corvane.times);
    const double bareTime = Median(bare.times);
    const double withCallsTime = Median(withCalls.times);
    std::printf("ratio startup %.2f  (bare dialog)\n", bareTime > 0 ? corvaneTime / bareTime : 0.0);
    std::printf("ratio startup %.2f  (dialog + the same %.0f activations and %.0f focus queries)\n",
                withCallsTime > 0 ? corvaneTime / withCallsTime : 0.0, Median(activations), Median(queries));
    std::fflush(stdout);
    return corvane.listed == kTaskWindows ? 0 : 1;
}
