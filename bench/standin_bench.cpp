// Times the engine against the stand-in taskbar in another process, through
// the registered TaskbarList server: one refresh of 10 and of 50 task windows
// whose taskbar order is a shuffle of the enumeration's, and one move of the
// last button to the front. Counts the cross-process calls each makes: one
// message to the stand-in per TaskbarList operation, one per tab-control query.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>
#include "bench_clock.h"
#include "engine/task_button_list.h"
#include "framework/app.h"
#include "framework/controls.h"
#include "standin/sample_windows.h"
#include "standin/standin_client.h"

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
        if (!standin.Start(ModuleRelativePath(STANDIN_RELATIVE_DIR "/corvane_standin.exe"), "")) {
            std::printf("standin_bench: the stand-in did not start\n");
            status = 1;
        } else {
            const CStandinClient client(standin.GetTray());
            for (int n : {10, 50}) {
                if (!Run(n, client))
                    status = 1;
            }
        }
    }
    ::CoUninitialize();
    return status;
}
