// Times the engine against the stand-in taskbar in another process, through
// the registered TaskbarList server: one refresh of 10 and of 50 task windows
// whose taskbar order is a shuffle of the enumeration's, and one move of the
// last button to the front. Counts the cross-process calls each makes: one
// message to the stand-in per TaskbarList operation, one per tab-control query.
// Then, with corvane.exe itself over 10, 50 and 200 task windows: its command
// that arranges the taskbar by the list, and its restore of the list's order
// after the stand-in has been stopped and started again.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>
#include "bench_clock.h"
#include "engine/task_button_list.h"
#include "framework/app.h"
#include "framework/controls.h"
#include "res/resource.h"
#include "standin/child_process.h"
#include "standin/sample_windows.h"
#include "standin/standin_client.h"
#include "tests/support/app_version.h"
#include "tests/support/process_windows.h"

namespace {

class CBenchApp : public CWinApp, public CTaskImageSource {
public:
    CBenchApp() { m_images.Create(16, 16, ILC_COLOR32, 0, 10); }
    CImageList& GetTaskImageList() override { return m_images; }

private:
    CImageList m_images;
};

// The engine where the taskbar is a tab control, whatever version Wine reports.
class CTabTaskButtonList : public CTaskButtonList {
public:
    CTabTaskButtonList() { m_kind = TabControl; }
};

struct CMeasure {
    double ms;
    int operations;     // TaskbarList calls the stand-in received
    LONG hostQueries;   // messages to its tab control from this process
};

// Median time of runs of action, with the calls of the last run.
CMeasure Measure(const CStandinClient& client, int runs, const std::function<void()>& action)
{
    std::vector<double> times;
    CMeasure measure{};
    for (int i = 0; i < runs; ++i) {
        client.ClearLog();
        const double start = Now();
        action();
        times.push_back(Now() - start);
        measure.operations = client.GetCallCount();
        measure.hostQueries = client.GetHostQueries();
    }
    std::sort(times.begin(), times.end());
    measure.ms = times[times.size() / 2];
    return measure;
}

void Print(const char* what, const CMeasure& m)
{
    const int calls = m.operations + static_cast<int>(m.hostQueries);
    std::printf("  %-22s %10.2f ms  %6d cross-process calls (%d TaskbarList, %ld TCM_GETCURFOCUS), %.1f us per call\n",
                what, m.ms, calls, m.operations, static_cast<long>(m.hostQueries), calls ? m.ms * 1000.0 / calls : 0.0);
}

std::vector<HWND> ListOrder(CTaskButtonList& engine, const CListCtrl& list)
{
    std::vector<HWND> order;
    for (int i = 0; i < list.GetItemCount(); ++i)
        order.push_back(engine.GetWindowAt(i));
    return order;
}

bool Run(int n, const CStandinClient& client)
{
    std::printf("%3d task windows\n", n);
    CSampleWindows windows;
    if (!windows.Open(n, "Bench window"))
        return false;
    client.Rescan();

    // A taskbar whose order is a shuffle of the order the windows opened in.
    std::vector<HWND> taskbar = client.GetButtons();
    std::shuffle(taskbar.begin(), taskbar.end(), std::mt19937(20240607));
    for (HWND window : taskbar)
        CTaskButtonList::DeleteTab(window);
    for (HWND window : taskbar)
        CTaskButtonList::AddTab(window);

    CWnd owner;
    CListCtrl list;
    owner.CreateEx(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, CRect(0, 0, 320, 240), nullptr, 0);
    list.CreateEx(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_NOCOLUMNHEADER,
                  CRect(0, 0, 300, 200), owner, 1002);
    CTabTaskButtonList engine;
    engine.Attach(&list);

    const CMeasure refresh = Measure(client, n > 10 ? 3 : 9, [&] { engine.Refresh(); });
    const bool ordered = ListOrder(engine, list) == client.GetButtons();
    Print("Refresh (shuffled)", refresh);
    std::printf("  %-22s %d listed, list %s the stand-in's order\n", "", list.GetItemCount(),
                ordered ? "in" : "NOT in");

    // The parts of one probe step, alone.
    HWND first = client.GetButtonWindow(0);
    HWND host = client.GetButtonHost();
    const CMeasure request = Measure(client, 51, [&] { client.GetButtonCount(); });
    const CMeasure query = Measure(client, 51, [&] { ::SendMessageA(host, TCM_GETCURFOCUS, 0, 0); });
    const CMeasure activate = Measure(client, 51, [&] { CTaskButtonList::ActivateTab(first); });
    HWND second = client.GetButtonWindow(1);
    const CMeasure alternate = Measure(client, 51, [&] {
        CTaskButtonList::ActivateTab(first);
        CTaskButtonList::ActivateTab(second);
    });
    const CMeasure enumerate = Measure(client, 21, [&] {
        list.SendMessage(LVM_DELETEALLITEMS);
        ::EnumWindows(CTaskButtonList::EnumTaskWindowProc, reinterpret_cast<LPARAM>(&list));
    });
    const CMeasure lookup = Measure(client, 51, [&] { CTaskButtonList::FindButtonHost(); });
    const CMeasure rescan = Measure(client, 21, [&] { client.Rescan(); });
    std::printf("  %-22s %10.3f ms\n", "one request message", request.ms);
    std::printf("  %-22s %10.3f ms\n", "one TCM_GETCURFOCUS", query.ms);
    std::printf("  %-22s %10.3f ms\n", "one ActivateTab", activate.ms);
    std::printf("  %-22s %10.3f ms\n", "two, to two windows", alternate.ms);
    std::printf("  %-22s %10.3f ms\n", "enumeration", enumerate.ms);
    std::printf("  %-22s %10.3f ms\n", "one FindButtonHost", lookup.ms);
    std::printf("  %-22s %10.3f ms  (the stand-in's poll, every 150 ms)\n", "one rescan request", rescan.ms);

    const int last = list.GetItemCount() - 1;
    const CMeasure move = Measure(client, 9, [&] { engine.MoveButton(last, 0); });
    Print("MoveButton(n-1, 0)", move);
    const bool moved = ListOrder(engine, list) == client.GetButtons();
    std::printf("  %-22s list %s the stand-in's order\n", "", moved ? "in" : "NOT in");
    std::fflush(stdout);
    return ordered && moved;
}

// A command of corvane.exe's main window, run to its end.
bool Command(HWND mainWnd, UINT id)
{
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(mainWnd, WM_COMMAND, MAKEWPARAM(id, 0), 0, SMTO_NORMAL, 120000, &result) != 0;
}

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam)
{
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    return TRUE;
}

bool Fail(const char* what)
{
    std::printf("standin_bench: %s\n", what);
    return false;
}

// corvane.exe over n task windows of this process: the arrange command, and
// the restore after a restart of the stand-in, which then gives the buttons
// in window-enumeration order. The program's first refresh probes the
// tab-control taskbar (some n * n / 2 activations); with the buttons in
// enumeration order it makes the fewest.
bool RunProgram(int n, CStandinProcess& standin, const CString& standinExe)
{
    std::printf("%3d task windows, corvane.exe\n", n);
    CSampleWindows windows;
    if (!windows.Open(n, "Bench window"))
        return Fail("the task windows did not open");
    CStandinClient client(standin.GetTray());
    client.Rescan();
    std::vector<HWND> all;
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
    const std::vector<HWND> buttons = client.GetButtons();
    for (HWND window : buttons)
        CTaskButtonList::DeleteTab(window);
    for (HWND window : all) {
        if (std::find(buttons.begin(), buttons.end(), window) != buttons.end())
            CTaskButtonList::AddTab(window);
    }

    const double launch = Now();
    CChildProcess corvane;
    if (!corvane.Start(ModuleRelativePath(CORVANE_RELATIVE_DIR "/corvane.exe"), ""))
        return Fail("corvane.exe did not start");
    HWND mainWnd = nullptr;
    for (; !mainWnd && Now() - launch < 300000; ::Sleep(20))
        mainWnd = FindTopLevel(corvane.GetId(), "#32770", nullptr);
    if (!mainWnd)
        return Fail("corvane.exe showed no main window");
    std::printf("  %-22s %10.2f ms\n", "start, first refresh", Now() - launch);
    // Sorted by title the list is in an order that a restart loses.
    if (!Command(mainWnd, ID_TASK_SORT_BY_TITLE))
        return Fail("the sort did not end");
    const std::vector<HWND> order = client.GetButtons();

    const CMeasure arrange = Measure(client, n > 50 ? 5 : 9, [&] { Command(mainWnd, ID_TASK_ARRANGE); });
    Print("arrange command", arrange);
    // The buttons are read again from the stand-in, another process, after
    // the commands have run there: no value known before.
    // cppcheck-suppress knownConditionTrueFalse
    const bool arranged = client.GetButtons() == order;

    standin.Stop();
    if (!standin.Start(standinExe, ""))
        return Fail("the stand-in did not start again");
    // The stand-in broadcasts as its tray becomes findable, which is when Start returns.
    const double started = Now();
    client = CStandinClient(standin.GetTray());
    const bool lost = client.GetButtons() != order;
    const int expected = 2 * n;
    while (client.GetCallCount() < expected && Now() - started < 15000)
        ::Sleep(1);
    const double restored = Now() - started;
    const int calls = client.GetCallCount();
    const bool back = client.GetButtons() == order;
    std::printf("  %-22s %10.2f ms  %6d TaskbarList calls, from the broadcast (two polls of the new taskbar, then\n"
                "  %-22s the arrangement); order %s by the restart, %s afterwards\n",
                "restore after restart", restored, calls, "", lost ? "lost" : "NOT lost", back ? "back" : "NOT back");
    std::printf("  %-22s list %s the stand-in's order after the arrange command\n", "", arranged ? "in" : "NOT in");
    std::fflush(stdout);

    ::PostMessageA(mainWnd, WM_COMMAND, IDCANCEL, 0);
    corvane.WaitForExit(10000);
    return arranged && lost && back && calls == expected;
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
        CStandinProcess standin;
        const CString standinExe = ModuleRelativePath(STANDIN_RELATIVE_DIR "/corvane_standin.exe");
        if (!standin.Start(standinExe, "")) {
            std::printf("standin_bench: the stand-in did not start\n");
            status = 1;
        } else {
            const CStandinClient client(standin.GetTray());
            for (int n : {10, 50}) {
                if (!Run(n, client))
                    status = 1;
            }
            const CAppVersion tabControl("corvane.exe", "win2k");
            for (int n : {10, 50, 200}) {
                if (!RunProgram(n, standin, standinExe))
                    status = 1;
            }
        }
    }
    ::CoUninitialize();
    return status;
}
