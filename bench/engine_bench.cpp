// Times the engine against the in-process fake shell: a refresh on each kind
// of taskbar, a move to the top and a move to the bottom, for 10, 50 and 200
// task windows; then checks that a thousand refreshes leave the image list and
// the process's memory where they were.
#include "bench_clock.h"
#include "engine_scene.h"
#include "tests/support/fake_shell.h"
#include "tests/support/task_windows.h"
#include <psapi.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// Median time of `runs` calls of `action`, in milliseconds.
double Median(int runs, const std::function<void()>& action)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = Now();
        action();
        times.push_back(Now() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    return ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters) ? counters.PagefileUsage : 0;
}

int LiveIcons(const std::vector<std::unique_ptr<CTestWindowClass>>& classes)
{
    int live = 0;
    for (const auto& cls : classes) {
        ICONINFO info{};
        if (::GetIconInfo(cls->SmallIcon(), &info)) {
            ++live;
            ::DeleteObject(info.hbmMask);
            ::DeleteObject(info.hbmColor);
        }
    }
    return live;
}

void Run(CBenchApp& app, int n, int reclaimRefreshes)
{
    CEngineScene scene(app, "CorvaneBench", n,
                       {RGB(200, 0, 0), RGB(0, 160, 0), RGB(0, 0, 200), RGB(200, 200, 0), RGB(0, 200, 200),
                        RGB(200, 0, 200), RGB(90, 90, 90), RGB(250, 130, 0)});
    const auto& classes = scene.m_classes;
    const CWnd& host = scene.m_host;
    CListCtrl& list = scene.m_list;
    CBenchButtonList& engine = scene.m_engine;
    const int runs = n >= 200 ? 3 : 9;
    std::printf("%4d task windows\n", n);

    {
        CFakeShell shell;
        shell.SetRecording(false);
        scene.ShuffleOnto(shell);
        const int listed = list.GetItemCount();

        engine.SetKind(TabControl);
        const int createdBefore = shell.ObjectsCreated();
        const double tabRefresh = Median(runs, [&] { engine.Refresh(); });
        // cppcheck-suppress duplicateExpression ; the refreshes made objects through COM in between
        const int activations = (shell.ObjectsCreated() - createdBefore) / runs;
        const bool ordered = Entries(list) == shell.Buttons();
        engine.SetKind(Toolbar);
        const double toolbarRefresh = Median(runs, [&] { engine.Refresh(); });
        std::printf("  Refresh, tab-control taskbar (shuffled): %10.2f ms  (%d listed, %d activations, list %s taskbar order)\n",
                    tabRefresh, listed, activations, ordered ? "in" : "NOT in");
        std::printf("  Refresh, toolbar taskbar:                %10.2f ms  (%d activations)\n", toolbarRefresh,
                    listed * listed);
    }
    {
        // Moves do not look at the host; a toolbar host keeps the fake's own
        // work (re-laying out a tab per button on every change) out of the figure.
        CFakeShell shell(FakeTaskbarLayout::Toolbar());
        shell.SetRecording(false);
        shell.SetButtons(Entries(list));
        const int listed = list.GetItemCount();
        const double moveToTop = Median(21, [&] { engine.MoveButton(listed - 1, 0); });
        const double moveToBottom = Median(21, [&] { engine.MoveButton(0, listed - 1); });
        // What one call into the shell costs here: object made, HrInit, the call, released.
        HWND noButton = host.GetSafeHwnd();
        const double call = Median(201, [&] { CTaskButtonList::ActivateTab(noButton); });
        std::printf("  MoveButton(n-1, 0):                      %10.3f ms  (%d shell calls)\n", moveToTop,
                    2 * (listed + 1));
        std::printf("  MoveButton(0, n-1):                      %10.3f ms  (2 shell calls)\n", moveToBottom);
        const double entry = Median(21, [&] { engine.MoveEntry(listed / 2, listed / 2); });
        std::printf("  one shell call (ActivateTab, no button): %10.3f ms\n", call);
        std::printf("  one MoveEntry (list view only):          %10.3f ms\n", entry);
    }
    {
        // Repeated refreshes on a taskbar already in list order: the cheapest
        // probe, n(n+1)/2 activations.
        CFakeShell shell;
        shell.SetRecording(false);
        shell.SetButtons(Entries(list));
        engine.SetKind(TabControl);
        const SIZE_T bytesBefore = PrivateBytes();
        const double start = Now();
        std::printf("  image count after refresh");
        for (int done = 1; done <= reclaimRefreshes; ++done) {
            engine.Refresh();
            if (done == 1 || done == 10 || done == 100 || done == 1000 || done == reclaimRefreshes)
                std::printf(" %d: %d;", done, app.m_imageList.GetImageCount());
        }
        const double elapsed = Now() - start;
        int withIcon = 0;
        for (int i = 0; i < list.GetItemCount(); ++i) {
            LVITEMA item{};
            item.mask = LVIF_IMAGE;
            item.iItem = i;
            list.SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            if (item.iImage >= 0)
                ++withIcon;
        }
        std::printf("\n  after %d refreshes (%.1f s): %d images for %d listed windows with icons; class icons "
                    "alive %d of %zu; private bytes %+ld KB; TaskbarList objects not released %d\n",
                    reclaimRefreshes, elapsed / 1000.0, app.m_imageList.GetImageCount(), withIcon,
                    LiveIcons(classes), classes.size(), static_cast<long>(PrivateBytes() - bytesBefore) / 1024,
                    shell.LiveObjects());
    }
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    ::CoInitialize(nullptr);
    // Each refresh makes at least n(n+1)/2 TaskbarList objects, so a thousand
    // refreshes of 200 windows would take the better part of an hour under
    // Wine; by default the larger sizes run fewer. An argument sets one count
    // for every size.
    const int forced = argc > 1 ? std::atoi(argv[1]) : 0;
    {
        CBenchApp app;
        Run(app, 10, forced ? forced : 1000);
        Run(app, 50, forced ? forced : 100);
        Run(app, 200, forced ? forced : 10);
    }
    ::CoUninitialize();
    return 0;
}
