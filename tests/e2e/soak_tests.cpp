// A long random run of the real program over the stand-in taskbar: moves by
// button, real mouse drags, refreshes by button and by Alt+R, with task
// windows of other processes opening and closing in between. After every step
// the list and the taskbar agree on the order of the listed windows, no
// listed window has lost its button, and the program still answers.
//
// The run is fixed by its seed, printed at the start; CORVANE_SOAK_SEED and
// CORVANE_SOAK_STEPS in the environment replay another run.
#include "e2e_session.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include "resource.h"
#include "tests/support/ansi_text.h"

namespace {

constexpr unsigned kDefaultSeed = 20261207;
constexpr int kDefaultSteps = 1000;
// Enough windows that moves have room, few enough that every entry stays
// visible in the list and can be a drop target.
constexpr size_t kMinWindows = 3;
constexpr size_t kMaxWindows = 10;
// No step may take longer than this, whatever it does.
constexpr DWORD kStepLimitMs = 10000;

unsigned long FromEnvironment(const char* name, unsigned long fallback)
{
    char text[32] = {};
    const DWORD length = ::GetEnvironmentVariableA(name, text, sizeof text);
    if (length == 0 || length >= sizeof text)
        return fallback;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    return end && *end == '\0' ? value : fallback;
}

enum class Op { MoveUp, MoveDown, Drag, RefreshButton, RefreshAltR, Open, Close };

const char* Name(Op op)
{
    switch (op) {
    case Op::MoveUp: return "move up";
    case Op::MoveDown: return "move down";
    case Op::Drag: return "drag";
    case Op::RefreshButton: return "refresh (button)";
    case Op::RefreshAltR: return "refresh (Alt+R)";
    case Op::Open: return "open windows";
    case Op::Close: return "close a window";
    }
    return "?";
}

// The list after MoveEntry(from, to): the entry taken out, then put in at to.
Windows Moved(Windows windows, int from, int to)
{
    const HWND moved = windows[static_cast<size_t>(from)];
    windows.erase(windows.begin() + from);
    windows.insert(windows.begin() + to, moved);
    return windows;
}

Windows Alive(const Windows& windows)
{
    Windows alive;
    std::copy_if(windows.begin(), windows.end(), std::back_inserter(alive), [](HWND h) { return ::IsWindow(h); });
    return alive;
}

struct StepTimes {
    int count = 0;
    DWORD totalMs = 0;
    DWORD maxMs = 0;
};

}  // namespace

class E2eSoak : public E2eSession {
protected:
    void TearDown() override
    {
        // The program first, so that nothing it shows outlives the windows.
        E2eSession::TearDown();
        m_samples.clear();
    }

    // Every sample window that is open now.
    Windows SampleWindows() const
    {
        Windows all;
        for (const auto& process : m_samples) {
            if (process->IsRunning()) {
                const Windows own = TopLevelWindows(process->GetId());
                all.insert(all.end(), own.begin(), own.end());
            }
        }
        return all;
    }

    void OpenMore(int count)
    {
        m_samples.push_back(std::make_unique<CChildProcess>());
        CString arguments;
        arguments.Format("--count %d --prefix \"Soak %d\"", count, ++m_opened);
        const Windows opened = OpenSamples(*m_samples.back(), arguments, static_cast<size_t>(count));
        ASSERT_EQ(static_cast<size_t>(count), opened.size());
    }

    void CloseOne(HWND hWnd)
    {
        // A sample window goes as with its close box; its process ends with
        // its last window.
        ::PostMessageA(hWnd, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(hWnd); })) << "a sample window did not close";
        m_client.Rescan();
    }

    // What holds after every step; listed: the list as it is now.
    void CheckInStep(const Windows& listed)
    {
        ASSERT_TRUE(m_corvane.IsRunning()) << "the program ended";
        ASSERT_TRUE(IsResponsive()) << "the program does not answer";
        const Windows alive = Alive(listed);
        const Windows taskbar = OnTaskbar();
        // Equal as sequences: same order, and every open listed window still
        // has its button.
        ASSERT_EQ(alive, Restricted(taskbar, listed)) << "list and taskbar disagree";
    }

    // After a refresh: every open sample window is listed, in taskbar order.
    static bool RefreshedFully(const Windows& listed, const Windows& samples, const Windows& taskbar)
    {
        return Restricted(listed, samples).size() == samples.size() && Alive(listed) == listed &&
               Restricted(taskbar, listed) == listed;
    }

    std::vector<std::unique_ptr<CChildProcess>> m_samples;
    int m_opened = 0;
};

TEST_F(E2eSoak, RandomMovesDragsRefreshesAndWindowsKeepListAndTaskbarInStep)
{
    const unsigned seed = static_cast<unsigned>(FromEnvironment("CORVANE_SOAK_SEED", kDefaultSeed));
    const int steps = static_cast<int>(FromEnvironment("CORVANE_SOAK_STEPS", kDefaultSteps));
    std::printf("soak: seed %u, %d steps (replay with CORVANE_SOAK_SEED=%u)\n", seed, steps, seed);
    std::mt19937 random(seed);
    auto below = [&](size_t n) { return static_cast<int>(random() % n); };

    // The test tells the stand-in when windows came and went; its own poll
    // would only compete with the calls it serves.
    ASSERT_NO_FATAL_FAILURE(StartStandin(false, 2000));
    m_samples.push_back(std::make_unique<CChildProcess>());
    ASSERT_EQ(5u, OpenSamples(*m_samples.back(), AnsiText("--count 5 --prefix 任务窗口").c_str(), 5).size());
    ASSERT_NO_FATAL_FAILURE(StartCorvane());
    // The list as the last step left it: read once per step.
    Windows listed = Listed();
    ASSERT_TRUE(RefreshedFully(listed, SampleWindows(), OnTaskbar()));

    std::map<Op, StepTimes> times;
    const DWORD soakStart = ::GetTickCount();
    for (int step = 0; step < steps; ++step) {
        // Moves and drags most of the time; the rest changes the windows or
        // reads the taskbar again.
        const int roll = below(100);
        Op op = roll < 25 ? Op::MoveUp
              : roll < 50 ? Op::MoveDown
              : roll < 70 ? Op::Drag
              : roll < 77 ? Op::RefreshButton
              : roll < 82 ? Op::RefreshAltR
              : roll < 90 ? Op::Open
                          : Op::Close;
        const size_t open = SampleWindows().size();
        if (op == Op::Open && open >= kMaxWindows)
            op = Op::Close;
        else if (op == Op::Close && open <= kMinWindows)
            op = Op::Open;
        SCOPED_TRACE(testing::Message() << "seed " << seed << ", step " << step << ": " << Name(op));

        const DWORD start = ::GetTickCount();
        const Windows before = listed;
        const int n = static_cast<int>(before.size());
        ASSERT_GT(n, 0);
        switch (op) {
        case Op::MoveUp:
        case Op::MoveDown: {
            const int selected = below(static_cast<size_t>(n));
            ASSERT_TRUE(m_list->Select(selected));
            const bool up = op == Op::MoveUp;
            ASSERT_TRUE(Click(up ? IDC_MOVE_UP : IDC_MOVE_DOWN)) << "the move did not end in time";
            const int target = up ? std::max(selected - 1, 0) : std::min(selected + 1, n - 1);
            listed = Listed();
            ASSERT_EQ(Moved(before, selected, target), listed);
            ASSERT_EQ(target, m_list->GetSelected()) << "the moved entry is selected at its new place";
            break;
        }
        case Op::Drag: {
            const int from = below(static_cast<size_t>(n));
            // Now and then a drop on the entry itself, which keeps the order.
            const int to = below(8) == 0 ? from : below(static_cast<size_t>(n));
            ASSERT_TRUE(Drag(from, to)) << "drag " << from << " -> " << to;
            ASSERT_TRUE(Sync()) << "the drop did not end in time";
            ParkPointer();
            listed = Listed();
            ASSERT_EQ(Moved(before, from, to), listed) << "drag " << from << " -> " << to;
            ASSERT_EQ(0, m_list->GetSelectedCount()) << "a dropped entry comes back unselected";
            break;
        }
        case Op::RefreshButton:
            ASSERT_TRUE(Click(IDC_REFRESH)) << "the refresh did not end in time";
            listed = Listed();
            ASSERT_TRUE(RefreshedFully(listed, SampleWindows(), OnTaskbar()));
            break;
        case Op::RefreshAltR:
            m_client.ClearLog();
            ASSERT_NO_FATAL_FAILURE(PressKeysOn(m_main, [] { RealInput::Chord(VK_MENU, 'R'); }));
            // The key is handled after whatever was posted: wait for the
            // refresh to begin before asking for its end.
            ASSERT_TRUE(WaitUntil([&] { return m_client.GetCallCount() > 0; })) << "Alt+R did not refresh";
            ASSERT_TRUE(Sync()) << "the refresh did not end in time";
            listed = Listed();
            ASSERT_TRUE(RefreshedFully(listed, SampleWindows(), OnTaskbar()));
            break;
        case Op::Open:
            ASSERT_NO_FATAL_FAILURE(OpenMore(1 + below(2)));
            break;
        case Op::Close: {
            const Windows samples = SampleWindows();
            ASSERT_NO_FATAL_FAILURE(CloseOne(samples[static_cast<size_t>(below(samples.size()))]));
            break;
        }
        }
        ASSERT_NO_FATAL_FAILURE(CheckInStep(listed));
        const DWORD took = ::GetTickCount() - start;
        ASSERT_LT(took, kStepLimitMs) << "the step took too long";
        StepTimes& t = times[op];
        ++t.count;
        t.totalMs += took;
        t.maxMs = std::max(t.maxMs, took);
    }

    std::printf("soak: %d steps in %lu ms\n", steps, static_cast<unsigned long>(::GetTickCount() - soakStart));
    for (const auto& [op, t] : times)
        std::printf("  %-18s %4d steps, %6.1f ms mean, %5lu ms longest\n", Name(op), t.count,
                    t.count ? static_cast<double>(t.totalMs) / t.count : 0.0, static_cast<unsigned long>(t.maxMs));
}
