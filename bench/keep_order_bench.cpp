// The watch step that keeps the order, timed against the in-process fake
// shell with n listed windows: n - 1 of the sample program in a process of
// its own, and one of this program first in the list. A new window of this
// program then belongs right after that first one, the farthest place from
// the end: its run takes every other button off and on again.
//
// Printed per n: the step's time and thread CPU time when nothing changed
// (and what that costs at two steps a second), and the time of the step that
// places a new window, with its shell calls.
#include "bench_clock.h"
#include "engine/program_order.h"
#include "engine/task_button_list.h"
#include "framework/app.h"
#include "standin/child_process.h"
#include "standin/standin_client.h"
#include "tests/support/fake_shell.h"
#include "tests/support/process_windows.h"
#include "tests/support/pump.h"
#include "tests/support/task_windows.h"
#include <commctrl.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

class CBenchApp : public CWinApp, public CTaskImageSource {
public:
    CImageList& GetTaskImageList() override { return m_imageList; }
    CImageList m_imageList;
};

// The visible windows of a process once there are `count` of them; empty
// after ten seconds without.
std::vector<HWND> WaitForWindows(DWORD processId, size_t count)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        std::vector<HWND> windows = TopLevelWindows(processId);
        if (windows.size() >= count)
            return windows;
        if (::GetTickCount() - start > 10000)
            return {};
        PumpMessagesFor(20);
    }
}

double ThreadCpuMs()
{
    FILETIME created, exited, kernel, user;
    ::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

bool Run(int n)
{
    CChildProcess samples;
    const std::string arguments = "--count " + std::to_string(n - 1) + " --prefix Bench";
    if (!samples.Start(ModuleRelativePath(STANDIN_RELATIVE_DIR "/corvane_samples.exe"), arguments.c_str()))
        return false;
    const std::vector<HWND> others = WaitForWindows(samples.GetId(), static_cast<size_t>(n - 1));
    if (others.empty())
        return false;
    // The sample program paints its windows after showing them: until it
    // has, every question about its windows waits on the same server.
    PumpMessagesFor(1000);

    CTestWindowClass cls("CorvaneKeepOrderBench");
    const CTestWindow first = CTestWindow::Create(cls, "First");
    CWnd host;
    CListCtrl list;
    host.CreateEx(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, CRect(0, 0, 320, 240), nullptr, 0);
    list.CreateEx(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_NOCOLUMNHEADER,
                  CRect(0, 0, 300, 200), host, 1002);
    CTaskButtonList engine;
    engine.Attach(&list);
    CFakeShell shell;
    // This program's window first, then the sample program's, then whatever
    // other task windows there are; the taskbar in the list's order.
    CTaskButtonList::EnumTaskWindowProc(first, reinterpret_cast<LPARAM>(&list));
    for (HWND hWnd : others)
        CTaskButtonList::EnumTaskWindowProc(hWnd, reinterpret_cast<LPARAM>(&list));
    CProgramOrder order;
    engine.FollowTaskWindows(order);
    engine.ArrangeTaskbar();
    order = CProgramOrder(engine.GetPrograms());
    shell.ClearCalls();

    // Nothing changes: what two steps a second cost.
    constexpr int kIdleSteps = 400;
    std::vector<double> idle;
    const double cpuBefore = ThreadCpuMs();
    for (int i = 0; i < kIdleSteps; ++i) {
        const double start = Now();
        engine.FollowTaskWindows(order);
        idle.push_back(Now() - start);
    }
    const double cpuPerStep = (ThreadCpuMs() - cpuBefore) / kIdleSteps;
    const bool quiet = shell.Calls().empty();

    // A new window of this program, placed right after the first entry.
    std::vector<double> placing;
    size_t calls = 0;
    bool agree = true;
    for (int i = 0; i < 9; ++i) {
        CTestWindow added = CTestWindow::Create(cls, "Added");
        std::vector<HWND> buttons = shell.Buttons();
        buttons.push_back(added);
        shell.SetButtons(buttons);
        shell.ClearCalls();
        const double start = Now();
        engine.FollowTaskWindows(order);
        placing.push_back(Now() - start);
        calls = shell.Calls().size();
        agree = agree && shell.Buttons() == ListEntryWindows(list.GetSafeHwnd()) &&
                ListEntryWindows(list.GetSafeHwnd())[1] == added.Get();
        added.Reset();
        engine.FollowTaskWindows(order);
        // A shell drops the button of a destroyed window; the fake one is told.
        shell.SetButtons(ListEntryWindows(list.GetSafeHwnd()));
    }

    std::printf("%4d listed windows\n", list.GetItemCount());
    std::printf("  step, nothing new:      %8.3f ms  (thread CPU %.3f ms; at 2 steps/s %.3f%% of one core; shell calls: %s)\n",
                Median(idle), cpuPerStep, cpuPerStep * 2 / 10.0, quiet ? "none" : "SOME");
    std::printf("  step placing a window:  %8.3f ms  (%zu shell calls; list and taskbar %s)\n", Median(placing),
                calls, agree ? "agree" : "DISAGREE");
    return true;
}

}  // namespace

int main()
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    ::CoInitialize(nullptr);
    int status = 0;
    {
        CBenchApp app;
        app.m_imageList.Create(16, 16, ILC_COLOR32, 0, 10);
        for (int n : {10, 50, 200}) {
            if (!Run(n)) {
                std::printf("%4d: the sample windows did not open\n", n);
                status = 1;
            }
        }
    }
    ::CoUninitialize();
    return status;
}
