// corvane.exe keeping the order while nothing changes, with and without a
// taskbar it can arrange: the program's CPU time (GetProcessTimes) over 60 s
// of watching 50 windows of the sample program, first with no taskbar to be
// found (no stand-in: Wine's own tray has no button host), then over the
// stand-in. Without a taskbar the watch lists nothing and calls no shell, so
// it should cost no more than with one. Where no shell takes the icon, the
// first minute also offers it again every 2 s: the minute after is measured
// too.
//
// The bench writes HKEY_CURRENT_USER\Software\Corvane in the prefix it shares
// with the tests, and removes it when it ends.
#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>
#include <cstdio>
#include <functional>
#include <string>
#include "bench_clock.h"
#include "engine/order_store.h"
#include "res/resource.h"
#include "standin/child_process.h"
#include "standin/standin_client.h"
#include "tests/support/app_version.h"
#include "tests/support/process_windows.h"
#include "tests/support/pump.h"

namespace {

constexpr char kSettingsKey[] = "Software\\Corvane";
constexpr int kWindows = 50;
constexpr DWORD kIdleMs = 60000;

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

int ListCount(HWND mainWnd)
{
    DWORD_PTR count = 0;
    ::SendMessageTimeoutA(::GetDlgItem(mainWnd, IDC_TASK_LIST), LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 10000, &count);
    return static_cast<int>(count);
}

// One minute of watching, or two; false when the program did not start.
bool Measure(const char* what, const CStandinClient* client, int minutes)
{
    CChildProcess corvane;
    if (!corvane.Start(ModuleRelativePath(CORVANE_RELATIVE_DIR "/corvane.exe"), ""))
        return false;
    HWND mainWnd = nullptr;
    if (!PumpMessagesUntil(
            [&] {
                const std::vector<HWND> found = TopLevelWindows(corvane.GetId(), true, "#32770");
                mainWnd = found.empty() ? nullptr : found.front();
                return mainWnd != nullptr;
            },
            60000))
        return false;
    // Settled: the start's arrangement done.
    PumpMessagesFor(3000);
    for (int minute = 1; minute <= minutes; ++minute) {
        if (client)
            client->ClearLog();
        const double cpuBefore = ProcessCpuMs(corvane.GetProcess());
        const double start = Now();
        PumpMessagesFor(kIdleMs);
        const double cpu = ProcessCpuMs(corvane.GetProcess()) - cpuBefore;
        const double elapsed = Now() - start;
        std::printf("  %-22s minute %d: %8.1f ms CPU in %.1f s, %.3f%% of one core; listed %d; TaskbarList calls: %d\n",
                    what, minute, cpu, elapsed / 1000.0, cpu * 100.0 / elapsed, ListCount(mainWnd),
                    client ? client->GetCallCount() : 0);
        std::fflush(stdout);
    }
    ::PostMessageA(mainWnd, WM_COMMAND, ID_TRAY_EXIT, 0);
    corvane.WaitForExit(10000);
    return true;
}

}  // namespace

int main()
{
    int status = 0;
    const CAppVersion toolbar("corvane.exe", "winxp");
    ::SHDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    CChildProcess samples;
    const std::string arguments = "--count " + std::to_string(kWindows) + " --prefix Idle";
    if (!samples.Start(ModuleRelativePath(STANDIN_RELATIVE_DIR "/corvane_samples.exe"), arguments.c_str()) ||
        !PumpMessagesUntil([&] { return TopLevelWindows(samples.GetId()).size() == static_cast<size_t>(kWindows); },
                           60000)) {
        std::printf("keep_order_idle_bench: the sample windows did not open\n");
        return 1;
    }
    const COrderStore store;
    store.WriteKeepOrder(true);
    std::printf("%d windows of one program, the order kept, nothing changing\n", kWindows);
    if (!Measure("no taskbar found,", nullptr, 2))
        status = 1;
    {
        CStandinProcess standin;
        if (!standin.Start(ModuleRelativePath(STANDIN_RELATIVE_DIR "/corvane_standin.exe"), "--toolbar")) {
            std::printf("keep_order_idle_bench: the stand-in did not start\n");
            status = 1;
        } else {
            const CStandinClient client(standin.GetTray());
            if (!Measure("over the stand-in,", &client, 1))
                status = 1;
        }
    }
    ::SHDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    return status;
}
