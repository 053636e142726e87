// How much the engine asks of the list. A refresh makes some n*n/2 activations;
// asking the control for a window at each of them made a 50-window refresh
// send thousands of messages to the list. The entries must still come out
// whole: title, icon and window.
#include "engine_fixture.h"
#include "tests/support/message_recorder.h"
#include <algorithm>
#include <string>
#include <utility>

class ListTraffic : public EngineTest {};

TEST_F(ListTraffic, ARefreshAsksTheListAFewTimesPerEntryNotOncePerActivation)
{
    CFakeShell shell;
    ASSERT_TRUE(shell.IsReady());
    shell.SetRecording(false);
    m_engine.Attach(&m_list);
    const COLORREF colours[] = {kRed, kGreen, kBlue};
    std::vector<std::pair<HWND, COLORREF>> made;
    for (int i = 0; i < 12; ++i)
        made.emplace_back(AddWindow("task " + std::to_string(i), colours[i % 3]), colours[i % 3]);
    m_engine.SetKind(Unknown);
    m_engine.Refresh();
    // The reverse of the enumeration: every probe but the last moves an entry.
    std::vector<HWND> taskbar = Entries();
    std::reverse(taskbar.begin(), taskbar.end());
    shell.SetButtons(taskbar);
    const int n = Count();

    m_engine.SetKind(TabControl);
    const int before = shell.ObjectsCreated();
    int messages = 0;
    {
        CMessageRecorder traffic(m_list.GetSafeHwnd());
        ASSERT_TRUE(traffic.IsHooked());
        m_engine.Refresh();
        messages = traffic.Count();
    }
    // cppcheck-suppress duplicateExpression ; the refresh made objects through COM in between
    const int activations = shell.ObjectsCreated() - before;
    EXPECT_GE(activations, n * (n + 1) / 2);
    // Emptying, an insertion and a read or two per entry, the arrangement, and
    // what the control sends itself as its scroll bar comes and goes.
    EXPECT_LE(messages, 5 * n + 10) << "for " << activations << " activations";

    ASSERT_EQ(Entries(), taskbar);
    for (const auto& [hWnd, colour] : made) {
        const auto at = std::find(taskbar.begin(), taskbar.end(), hWnd);
        ASSERT_NE(at, taskbar.end());
        const int index = static_cast<int>(at - taskbar.begin());
        char title[64] = {};
        ::GetWindowTextA(hWnd, title, sizeof title);
        EXPECT_EQ(TitleAt(index), title);
        EXPECT_EQ(ImageCentreColor(Images(), ImageAt(index)), colour) << title;
    }
    EXPECT_EQ(Selected(), -1);
}

TEST_F(ListTraffic, AMoveReadsEachWindowOfTheRunOnce)
{
    CFakeShell shell(FakeTaskbarLayout::Toolbar());
    ASSERT_TRUE(shell.IsReady());
    m_engine.Attach(&m_list);
    std::vector<HWND> w;
    for (int i = 0; i < 10; ++i)
        w.push_back(AddWindow("W" + std::to_string(i)));
    Append(w);
    shell.SetButtons(w);

    int messages = 0;
    {
        CMessageRecorder traffic(m_list.GetSafeHwnd());
        ASSERT_TRUE(traffic.IsHooked());
        EXPECT_EQ(m_engine.MoveButton(9, 0), w[9]);
        messages = traffic.Count();
    }
    // Ten windows read, the count, and the entry's own move.
    EXPECT_LE(messages, 10 + 6);
    std::vector<HWND> moved{w[9]};
    moved.insert(moved.end(), w.begin(), w.end() - 1);
    EXPECT_EQ(shell.Buttons(), moved);
    EXPECT_EQ(Entries(), moved);
    EXPECT_EQ(TitleAt(0), "W9");
}
