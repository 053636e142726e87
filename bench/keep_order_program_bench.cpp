// corvane.exe keeping the order over the stand-in taskbar, as a user has it:
// the program started with the order kept, its real 500 ms watch, and the
// stand-in in another process.
//
// With n listed windows (this program's window "First", then n - 1 windows of
// the sample program, the order that the registry remembers): a new window
// of this program belongs right after "First", which makes the longest run
// of buttons to take off and add again. Timed from the window's creation to
// its button standing there on the stand-in, with the calls the stand-in
// received; the watch looks every 500 ms, so the times spread over that much,
// and the runs start at ten points of that period.
// Then the program's CPU time (GetProcessTimes) over 60 s of watching 50
// windows that do not change.
//
// The bench writes HKEY_CURRENT_USER\Software\Corvane in the prefix it shares
// with the tests, and removes it when it ends.
#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>
#include "bench_clock.h"
#include "engine/order_store.h"
#include "res/resource.h"
#include "standin/child_process.h"
#include "standin/sample_windows.h"
#include "standin/standin_client.h"
#include "tests/support/app_version.h"
#include "tests/support/process_windows.h"
#include "tests/support/pump.h"

namespace {

constexpr char kSettingsKey[] = "Software\\Corvane";
constexpr int kPlacements = 10;
// The program's watch period.
constexpr DWORD kWatchMs = 500;
constexpr DWORD kIdleMs = 60000;

// Pumps this thread's messages (the stand-in and the program ask this
// program's windows for their icons) until done() holds; false after limitMs.
bool Until(const std::function<bool()>& done, DWORD limitMs)
{
    return PumpMessagesUntil(done, limitMs);
}

double ProcessCpuMs(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    const auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

std::string OwnPath()
{
    char path[MAX_PATH] = {};
    return std::string(path, ::GetModuleFileNameA(nullptr, path, MAX_PATH));
}

bool Fail(const char* what)
{
    std::printf("keep_order_program_bench: %s\n", what);
    return false;
}

int ListCount(HWND mainWnd)
{
    DWORD_PTR count = 0;
    ::SendMessageTimeoutA(::GetDlgItem(mainWnd, IDC_TASK_LIST), LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 10000, &count);
    return static_cast<int>(count);
}

bool Run(int n, const CStandinClient& client)
{
    std::printf("%3d listed windows\n", n);
    CChildProcess samples;
    const std::string arguments = "--count " + std::to_string(n - 1) + " --prefix Bench";
    const CString samplesExe = ModuleRelativePath(STANDIN_RELATIVE_DIR "/corvane_samples.exe");
    if (!samples.Start(samplesExe, arguments.c_str()) ||
        !Until([&] { return TopLevelWindows(samples.GetId()).size() == static_cast<size_t>(n - 1); }, 60000))
        return Fail("the sample windows did not open");
    ::WaitForInputIdle(samples.GetProcess(), 60000);
    CSampleWindow first;
    if (!first.Create("First", SampleColour(0), CRect(40, 40, 240, 140)))
        return Fail("no window of its own");
    if (!Until([&] { return client.Rescan() == n; }, 10000))
        return Fail("the stand-in did not give every window a button");

    // The order kept from a former run: this program first, then the samples.
    char samplesPath[MAX_PATH] = {};
    ::GetFullPathNameA(samplesExe, MAX_PATH, samplesPath, nullptr);
    const COrderStore store;
    store.WriteKeepOrder(true);
    store.WriteOrder({OwnPath(), samplesPath});

    CChildProcess corvane;
    if (!corvane.Start(ModuleRelativePath(CORVANE_RELATIVE_DIR "/corvane.exe"), ""))
        return Fail("corvane.exe did not start");
    HWND mainWnd = nullptr;
    // Started, the list and then the taskbar arranged by the kept order.
    if (!Until([&] {
            const std::vector<HWND> found = TopLevelWindows(corvane.GetId(), true, "#32770");
            mainWnd = found.empty() ? nullptr : found.front();
            return mainWnd && ListCount(mainWnd) == n && client.GetButtonWindow(0) == first.m_hWnd &&
                   client.GetCallCount() >= 2 * n;
        }, 120000))
        return Fail("corvane.exe did not arrange the taskbar by the kept order");
    PumpMessagesFor(1000);

    std::vector<double> times;
    int calls = 0;
    bool placed = true;
    for (int i = 0; i < kPlacements && placed; ++i) {
        // The removal of the last one was seen right after a look: each run
        // starts a step further into the watch's period.
        PumpMessagesFor(static_cast<DWORD>(i) * kWatchMs / kPlacements);
        client.ClearLog();
        CSampleWindow added;
        const double start = Now();
        added.Create("Added", SampleColour(1), CRect(60, 60, 260, 160));
        placed = Until([&] { return client.GetButtonCount() == n + 1 && client.GetButtonWindow(1) == added.m_hWnd; },
                       30000);
        times.push_back(Now() - start);
        calls = client.GetCallCount();
        added.DestroyWindow();
        placed = placed && Until([&] { return client.Rescan() == n && ListCount(mainWnd) == n; }, 10000);
    }
    if (!placed)
        return Fail("a new window was not placed");
    std::sort(times.begin(), times.end());
    std::printf("  new window in place:   %8.1f ms median, %.1f to %.1f ms (%d runs); %d TaskbarList calls\n",
                times[times.size() / 2], times.front(), times.back(), kPlacements, calls);

    bool quiet = true;
    if (n == 50) {
        client.ClearLog();
        const double cpuBefore = ProcessCpuMs(corvane.GetProcess());
        const double start = Now();
        PumpMessagesFor(kIdleMs);
        const double cpu = ProcessCpuMs(corvane.GetProcess()) - cpuBefore;
        const double elapsed = Now() - start;
        quiet = client.GetCallCount() == 0;
        std::printf("  watching, nothing new: %8.1f ms CPU in %.1f s, %.3f%% of one core; TaskbarList calls: %d\n", cpu,
                    elapsed / 1000.0, cpu * 100.0 / elapsed, client.GetCallCount());
    }
    std::fflush(stdout);

    ::PostMessageA(mainWnd, WM_COMMAND, ID_TRAY_EXIT, 0);
    corvane.WaitForExit(10000);
    return quiet;
}

}  // namespace

int main()
{
    int status = 0;
    {
        CStandinProcess standin;
        // A toolbar taskbar: the start reads no order by activations, which
        // with 200 windows would take long and change nothing measured here.
        const CAppVersion toolbar("corvane.exe", "winxp");
        ::SHDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
        if (!standin.Start(ModuleRelativePath(STANDIN_RELATIVE_DIR "/corvane_standin.exe"), "--toolbar")) {
            Fail("the stand-in did not start");
            status = 1;
        } else {
            const CStandinClient client(standin.GetTray());
            for (int n : {10, 50, 200}) {
                if (!Run(n, client))
                    status = 1;
            }
        }
        ::SHDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    }
    return status;
}
