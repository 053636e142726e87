// The cost of keeping programs together on a grouping taskbar: a refresh of
// 50 windows of 5 programs with grouping on, against the same refresh with it
// off, in the same run. The extra work is reading each window's program (one
// process query per program) and one more arrangement of the list; the
// refresh's n * n activations stay the same. Runs alternate, and the figure
// is the ratio of the best times: other processes only ever add time.
#include "bench_clock.h"
#include "engine_scene.h"
#include "engine/program.h"
#include "standin/child_process.h"
#include "standin/standin_client.h"
#include "tests/support/fake_shell.h"
#include "tests/support/process_windows.h"
#include "tests/support/pump.h"
#include <objbase.h>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kPrograms = 5;
constexpr int kWindowsEach = 10;
constexpr int kRuns = 15;

// One program's windows: the sample program, or a copy of it under another
// name, which makes it another program. The copy goes with the object.
class CProgramWindows {
public:
    ~CProgramWindows()
    {
        m_process.Terminate();
        if (!m_copy.empty())
            ::DeleteFileA(m_copy.c_str());
    }

    bool Start(const std::string& sample, const std::string& copy, const std::string& prefix)
    {
        std::string exe = sample;
        if (!copy.empty()) {
            if (!::CopyFileA(sample.c_str(), copy.c_str(), FALSE))
                return false;
            m_copy = exe = copy;
        }
        const std::string arguments = "--count " + std::to_string(kWindowsEach) + " --prefix \"" + prefix + "\"";
        if (!m_process.Start(exe.c_str(), arguments.c_str()))
            return false;
        return PumpMessagesUntil(
            [&] { return TopLevelWindows(m_process.GetId()).size() >= static_cast<size_t>(kWindowsEach); }, 20000);
    }

private:
    CChildProcess m_process;
    std::string m_copy;
};

double Best(const std::vector<double>& times)
{
    return *std::min_element(times.begin(), times.end());
}

// Whether every program's entries stand in one block.
bool ProgramsTogether(const std::vector<std::string>& programs)
{
    std::vector<std::string> seen;
    for (size_t i = 0; i < programs.size(); ++i) {
        const std::string key = ProgramKey(programs[i]);
        if (i > 0 && key == ProgramKey(programs[i - 1]))
            continue;
        if (std::find(seen.begin(), seen.end(), key) != seen.end())
            return false;
        seen.push_back(key);
    }
    return true;
}

// Grouping on against off, for one kind of taskbar.
void Compare(CEngineScene& scene, TaskbarKind kind, const char* what)
{
    CBenchButtonList& engine = scene.m_engine;
    engine.SetKind(kind);
    std::vector<double> on, off;
    for (int i = 0; i < kRuns; ++i) {
        engine.SetGrouping(true);
        double start = Now();
        engine.Refresh();
        on.push_back(Now() - start);
        engine.SetGrouping(false);
        start = Now();
        engine.Refresh();
        off.push_back(Now() - start);
    }
    engine.SetGrouping(true);
    engine.Refresh();
    std::printf("  Refresh, %-12s n=%d of %d programs  grouping on %9.3f ms  off %9.3f ms  ratio %5.2f"
                "  (programs together: %s)\n",
                what, kPrograms * kWindowsEach, kPrograms, Best(on), Best(off), Best(on) / Best(off),
                ProgramsTogether(engine.GetPrograms()) ? "yes" : "NO");
}

bool Run()
{
    char sample[MAX_PATH] = {};
    ::GetFullPathNameA(ModuleRelativePath(STANDIN_RELATIVE_DIR "/corvane_samples.exe"), MAX_PATH, sample, nullptr);
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);

    std::vector<std::unique_ptr<CProgramWindows>> programs;
    for (int i = 0; i < kPrograms; ++i) {
        const std::string copy =
            i == 0 ? std::string()
                   : std::string(temp) + "corvane-group-bench-" + std::to_string(::GetCurrentProcessId()) + "-" +
                         std::to_string(i) + ".exe";
        programs.push_back(std::make_unique<CProgramWindows>());
        if (!programs.back()->Start(sample, copy, "Program " + std::to_string(i))) {
            std::printf("grouping_bench: the sample program %d did not show its windows\n", i);
            return false;
        }
    }

    CBenchApp app;
    CEngineScene scene(app, "CorvaneGroupingBench", 0, {RGB(200, 0, 0)});
    CFakeShell shell;
    shell.SetRecording(false);
    shell.SetGroupingBy([](HWND hWnd) { return ProgramKey(ProgramOfWindow(hWnd)); });
    // The taskbar a grouping shell shows: the buttons of the windows, added
    // in a shuffled order, each after its program's last one, so that the
    // programs stand together in an order that the enumeration does not give.
    scene.ShuffleOnto(shell);
    const std::vector<HWND> shuffled = shell.Buttons();
    shell.SetButtons({});
    for (HWND hWnd : shuffled)
        CTaskButtonList::AddTab(hWnd);
    std::printf("grouping on / off, best of %d runs each\n", kRuns);
    Compare(scene, TabControl, "tab control");
    Compare(scene, Toolbar, "toolbar");
    return true;
}

}  // namespace

int main()
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    ::CoInitialize(nullptr);
    const bool ran = Run();
    ::CoUninitialize();
    std::fflush(stdout);
    return ran ? 0 : 1;
}
