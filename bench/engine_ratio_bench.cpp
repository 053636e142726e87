// The engine's cost as a ratio to a baseline measured in the same run, so that
// the figures do not depend on the machine or on how busy it is. A baseline
// does the work that cannot be avoided, directly and without the engine:
//   refresh: the same window enumeration and icon copies, the same ActivateTab
//     calls (one TaskbarList object each, as the engine makes them) with a
//     TCM_GETCURFOCUS after each, and one list insertion per window;
//   move: the same DeleteTab and AddTab calls alone; and, as a second
//     figure, those calls plus the list update made directly (the entry's
//     text read, the entry deleted and inserted again).
// Engine and baseline runs alternate, and each figure is the ratio of the
// best times: other processes on the machine only ever add time. The number
// of messages each sends to the list is counted too, in a separate untimed
// pass: unlike the times, it does not depend on the machine's load.
#include "bench_clock.h"
#include "engine_scene.h"
#include "framework/comptr.h"
#include "tests/support/fake_shell.h"
#include "tests/support/message_recorder.h"
#include "tests/support/task_windows.h"
#include <objbase.h>
#include <shobjidl.h>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr double kTarget = 1.25;

double Best(const std::vector<double>& times)
{
    return *std::min_element(times.begin(), times.end());
}

int ListMessages(HWND list, const std::function<void()>& action)
{
    CMessageRecorder counter(list);
    action();
    return counter.Count();
}

struct Ratio {
    double engine;
    double baseline;
    int engineMessages = 0;
    int baselineMessages = 0;
    double Value() const { return engine / baseline; }
};

// `runs` alternating timings of the engine and of its baseline; `between`
// runs untimed before each, to put the state back.
Ratio Compare(int runs, const std::function<void()>& engine, const std::function<void()>& baseline,
              const std::function<void()>& between = [] {})
{
    std::vector<double> engineTimes, baselineTimes;
    for (int i = 0; i < runs; ++i) {
        between();
        double start = Now();
        engine();
        engineTimes.push_back(Now() - start);
        between();
        start = Now();
        baseline();
        baselineTimes.push_back(Now() - start);
    }
    return {Best(engineTimes), Best(baselineTimes)};
}

// One shell call as the engine makes it: a TaskbarList object for this call
// only, initialised, used and released.
template <class Operation>
void ShellCall(HWND hWnd, Operation operation)
{
    CComPtr<ITaskbarList> taskbar;
    if (SUCCEEDED(taskbar.CoCreateInstance(CLSID_TaskbarList, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                           IID_ITaskbarList))) {
        taskbar->HrInit();
        operation(*taskbar.Get(), hWnd);
    }
}

struct Task {
    HWND hWnd;
    std::string title;
    int image;
};

struct Enumeration {
    HIMAGELIST images;
    std::vector<Task> tasks;
};

BOOL CALLBACK CollectTask(HWND hWnd, LPARAM lParam)
{
    auto* found = reinterpret_cast<Enumeration*>(lParam);
    char title[255] = {};
    if (::GetWindowTextA(hWnd, title, sizeof title) <= 0 || !::IsWindowVisible(hWnd))
        return TRUE;
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongA(hWnd, GWL_EXSTYLE));
    if (!(exStyle & WS_EX_APPWINDOW) && ((exStyle & WS_EX_TOOLWINDOW) || ::GetWindow(hWnd, GW_OWNER)))
        return TRUE;
    HICON icon = reinterpret_cast<HICON>(::GetClassLongPtrA(hWnd, GCLP_HICONSM));
    found->tasks.push_back({hWnd, title, icon ? ::ImageList_ReplaceIcon(found->images, -1, icon) : -1});
    return TRUE;
}

// The refresh done directly: the list emptied and its images reclaimed, the
// task windows enumerated with their icons, the taskbar's order found with
// the engine's sequence of activations, each entry inserted once.
void DirectRefresh(HWND list, HIMAGELIST images, HWND tabs)
{
    ::SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    ::ImageList_Remove(images, -1);
    Enumeration found{images, {}};
    ::EnumWindows(CollectTask, reinterpret_cast<LPARAM>(&found));

    std::vector<Task>& tasks = found.tasks;
    for (size_t i = 0; i < tasks.size(); ++i) {
        for (size_t j = 0; j < tasks.size(); ++j) {
            ShellCall(tasks[j].hWnd, [](ITaskbarList& taskbar, HWND h) { return taskbar.ActivateTab(h); });
            if (::SendMessageA(tabs, TCM_GETCURFOCUS, 0, 0) == static_cast<LRESULT>(i)) {
                std::rotate(tasks.begin() + static_cast<std::ptrdiff_t>(i), tasks.begin() + static_cast<std::ptrdiff_t>(j),
                            tasks.begin() + static_cast<std::ptrdiff_t>(j) + 1);
                break;
            }
        }
    }
    for (size_t i = 0; i < tasks.size(); ++i) {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = static_cast<int>(i);
        item.pszText = &tasks[i].title[0];
        item.iImage = tasks[i].image;
        item.lParam = reinterpret_cast<LPARAM>(tasks[i].hWnd);
        ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

// The shell calls of a move from `from` to `to` over `order`, without the list.
void DirectMove(const std::vector<HWND>& order, int from, int to)
{
    const auto deleteTab = [](ITaskbarList& taskbar, HWND h) { return taskbar.DeleteTab(h); };
    const auto addTab = [](ITaskbarList& taskbar, HWND h) { return taskbar.AddTab(h); };
    const size_t tail = static_cast<size_t>(from < to ? to + 1 : to);
    ShellCall(order[static_cast<size_t>(from)], deleteTab);
    for (size_t i = tail; i < order.size(); ++i)
        ShellCall(order[i], deleteTab);
    ShellCall(order[static_cast<size_t>(from)], addTab);
    for (size_t i = tail; i < order.size(); ++i)
        ShellCall(order[i], addTab);
}

// The same move's list update made directly, as the engine must make it:
// the entry comes back with its text, icon and window, and without its state.
void DirectListMove(HWND list, int from, int to)
{
    char title[255] = {};
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = from;
    item.pszText = title;
    item.cchTextMax = sizeof title;
    ::SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    item.pszText = title;
    ::SendMessageA(list, LVM_DELETEITEM, static_cast<WPARAM>(from), 0);
    item.iItem = to;
    ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void Report(const char* what, int n, const Ratio& ratio, const char* note)
{
    std::printf("  %-30s n=%3d  engine %9.3f ms  baseline %9.3f ms  ratio %5.2f%s  list messages %d / %d  %s\n",
                what, n, ratio.engine, ratio.baseline, ratio.Value(), ratio.Value() <= kTarget ? "" : " (over)",
                ratio.engineMessages, ratio.baselineMessages, note);
}

void Run(CBenchApp& app, int n)
{
    CEngineScene scene(app, "CorvaneRatio", n, {RGB(200, 0, 0), RGB(0, 160, 0), RGB(0, 0, 200), RGB(200, 200, 0)});
    const CListCtrl& list = scene.m_list;
    CBenchButtonList& engine = scene.m_engine;
    HWND listWnd = list.GetSafeHwnd();

    {
        // A taskbar showing the windows in an order of its own.
        CFakeShell shell;
        shell.SetRecording(false);
        scene.ShuffleOnto(shell);
        engine.SetKind(TabControl);

        const auto direct = [&] { DirectRefresh(listWnd, app.m_imageList.GetSafeHandle(), shell.TabControl()); };
        const int before = shell.ObjectsCreated();
        const int engineMessages = ListMessages(listWnd, [&] { engine.Refresh(); });
        // cppcheck-suppress duplicateExpression ; the refresh made objects through COM in between
        const int activations = shell.ObjectsCreated() - before;
        const bool engineOrdered = Entries(list) == shell.Buttons();
        const int directMessages = ListMessages(listWnd, direct);
        const bool directOrdered = Entries(list) == shell.Buttons();

        Ratio refresh = Compare(n >= 200 ? 3 : 9, [&] { engine.Refresh(); }, direct);
        refresh.engineMessages = engineMessages;
        refresh.baselineMessages = directMessages;
        char note[96];
        std::snprintf(note, sizeof note, "(%d activations; in taskbar order: engine %s, baseline %s)", activations,
                      engineOrdered ? "yes" : "NO", directOrdered ? "yes" : "NO");
        Report("Refresh, tab control", n, refresh, note);
    }
    {
        // Moves do not look at the host; a toolbar host keeps the fake's own
        // work (a tab per button re-laid out on every change) out of the figure.
        CFakeShell shell(FakeTaskbarLayout::Toolbar());
        shell.SetRecording(false);
        const int last = list.GetItemCount() - 1;
        std::vector<HWND> order;
        // Before each run the taskbar is put back into the list's order.
        const auto resync = [&] {
            order = Entries(list);
            shell.SetButtons(order);
        };
        struct Move {
            int from, to;
            const char* what;
            int shellCalls;
        };
        const Move moves[] = {{last, 0, "MoveButton(n-1, 0)", 2 * (last + 2)}, {0, last, "MoveButton(0, n-1)", 2}};
        for (const Move& m : moves) {
            const auto move = [&] { engine.MoveButton(m.from, m.to); };
            const auto calls = [&] { DirectMove(order, m.from, m.to); };
            const auto callsAndList = [&] {
                DirectMove(order, m.from, m.to);
                DirectListMove(listWnd, m.from, m.to);
            };
            resync();
            const int engineMessages = ListMessages(listWnd, move);
            resync();
            const int listMessages = ListMessages(listWnd, callsAndList);

            char note[64];
            std::snprintf(note, sizeof note, "(%d shell calls)", m.shellCalls);
            Ratio alone = Compare(21, move, calls, resync);
            alone.engineMessages = engineMessages;
            Report(m.what, n, alone, note);
            Ratio withList = Compare(21, move, callsAndList, resync);
            withList.engineMessages = engineMessages;
            withList.baselineMessages = listMessages;
            Report("  against calls + list update", n, withList, "");
        }
    }
    std::fflush(stdout);
}

}  // namespace

int main()
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    ::CoInitialize(nullptr);
    {
        CBenchApp app;
        std::printf("engine / baseline (best of several runs each), target at most %.2f\n", kTarget);
        for (int n : {10, 50, 200})
            Run(app, n);
    }
    ::CoUninitialize();
    return 0;
}
