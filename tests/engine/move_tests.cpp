// Moving buttons: the DeleteTab/AddTab runs, the list and the selection.
#include "engine_fixture.h"
#include "tests/support/dialog_watcher.h"

class Moves : public EngineTest {
protected:
    // Five listed windows W(0) to W(4), each with a button, in list order.
    void SetUp() override
    {
        EngineTest::SetUp();
        ASSERT_TRUE(m_shell.IsReady());
        m_engine.Attach(&m_list);
        for (const char* title : {"W0", "W1", "W2", "W3", "W4"})
            w.push_back(AddWindow(title));
        Append(w);
        m_shell.SetButtons(w);
    }

    std::vector<HWND> W(std::initializer_list<int> indexes) const
    {
        std::vector<HWND> windows;
        for (int i : indexes)
            windows.push_back(w[static_cast<size_t>(i)]);
        return windows;
    }
    // The calls of a move: every DeleteTab, then every AddTab, on these windows.
    std::vector<TaskbarCall> Run(std::initializer_list<int> indexes) const
    {
        std::vector<TaskbarCall> calls;
        for (HWND hWnd : W(indexes))
            calls.push_back({TaskbarOp::DeleteTab, hWnd});
        for (HWND hWnd : W(indexes))
            calls.push_back({TaskbarOp::AddTab, hWnd});
        return calls;
    }

    CFakeShell m_shell;
    std::vector<HWND> w;
};

TEST_F(Moves, MoveButtonUpTakesOffAndAddsTheMovedWindowAndTheTail)
{
    EXPECT_EQ(m_engine.MoveButton(3, 1), w[3]);
    EXPECT_EQ(m_shell.Calls(), Run({3, 1, 2, 3, 4}));
    EXPECT_EQ(m_shell.Buttons(), W({0, 3, 1, 2, 4}));
    EXPECT_EQ(Entries(), W({0, 3, 1, 2, 4}));
    EXPECT_EQ(TitleAt(1), "W3");
    EXPECT_EQ(Selected(), -1);
}

TEST_F(Moves, MoveButtonDownTouchesOnlyWhatFollowsTheTarget)
{
    EXPECT_EQ(m_engine.MoveButton(1, 3), w[1]);
    EXPECT_EQ(m_shell.Calls(), Run({1, 4}));
    EXPECT_EQ(m_shell.Buttons(), W({0, 2, 3, 1, 4}));
    EXPECT_EQ(Entries(), W({0, 2, 3, 1, 4}));
}

TEST_F(Moves, MoveButtonInPlaceReAddsTheRunAndDropsTheSelection)
{
    Select(2);
    EXPECT_EQ(m_engine.MoveButton(2, 2), w[2]);
    EXPECT_EQ(m_shell.Calls(), Run({2, 2, 3, 4}));
    EXPECT_EQ(m_shell.Buttons(), w);
    EXPECT_EQ(Entries(), w);
    EXPECT_EQ(Selected(), -1);
}

TEST_F(Moves, MoveUpOnTheSecondEntryReAddsEveryButton)
{
    Select(1);
    m_engine.MoveUp();
    EXPECT_EQ(m_shell.Calls(), Run({1, 0, 1, 2, 3, 4}));
    EXPECT_EQ(m_shell.Buttons(), W({1, 0, 2, 3, 4}));
    EXPECT_EQ(Entries(), W({1, 0, 2, 3, 4}));
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(m_list.GetNextItem(0, LVNI_SELECTED), -1);
    // Only the selection comes back, not the focus.
    EXPECT_EQ(m_list.GetItemState(0, LVIS_FOCUSED), 0u);
}

TEST_F(Moves, MoveDownOnTheLastButOneReAddsOnlyThatButton)
{
    Select(3);
    m_engine.MoveDown();
    EXPECT_EQ(m_shell.Calls(), Run({3}));
    EXPECT_EQ(m_shell.Buttons(), W({0, 1, 2, 4, 3}));
    EXPECT_EQ(Entries(), W({0, 1, 2, 4, 3}));
    EXPECT_EQ(Selected(), 4);
}

TEST_F(Moves, NoSelectionOrAtTheEndsMakesNoShellCall)
{
    m_engine.MoveUp();
    m_engine.MoveDown();
    EXPECT_EQ(Selected(), -1);

    Select(0);
    m_engine.MoveUp();
    EXPECT_EQ(Selected(), 0);
    m_list.SetItemState(0, 0, LVIS_SELECTED);
    Select(4);
    m_engine.MoveDown();
    EXPECT_EQ(Selected(), 4);

    EXPECT_TRUE(m_shell.Calls().empty());
    EXPECT_EQ(m_shell.ObjectsCreated(), 0);
    EXPECT_EQ(Entries(), w);
}

TEST_F(Moves, FailingShellStillMovesAndSelectsInTheList)
{
    CDialogWatcher boxes;
    m_shell.SetCreationFails(true);
    Select(2);
    m_engine.MoveUp();
    EXPECT_EQ(Entries(), W({0, 2, 1, 3, 4}));
    EXPECT_EQ(Selected(), 1);
    m_engine.MoveDown();
    m_engine.MoveDown();
    EXPECT_EQ(Entries(), W({0, 1, 3, 2, 4}));
    EXPECT_EQ(Selected(), 3);
    EXPECT_EQ(m_shell.Buttons(), w);

    // Objects made, but every call refused.
    m_shell.SetCreationFails(false);
    m_shell.SetResult(TaskbarOp::DeleteTab, E_FAIL);
    m_shell.SetResult(TaskbarOp::AddTab, E_FAIL);
    m_engine.MoveUp();
    EXPECT_EQ(Entries(), W({0, 1, 2, 3, 4}));
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(m_shell.Calls(), Run({2, 3, 2, 4}));
    EXPECT_EQ(m_shell.Buttons(), w);
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(Moves, ButtonOfAnUnlistedWindowKeepsItsPlace)
{
    HWND x = AddWindow("");
    m_shell.SetButtons({w[0], x, w[1], w[2], w[3], w[4]});
    Select(1);
    m_engine.MoveUp();
    // Every listed button was touched and now follows the untouched one.
    EXPECT_EQ(m_shell.Buttons(), (std::vector<HWND>{x, w[1], w[0], w[2], w[3], w[4]}));

    m_engine.MoveButton(3, 4);
    EXPECT_EQ(m_shell.Buttons(), (std::vector<HWND>{x, w[1], w[0], w[2], w[4], w[3]}));
}

TEST_F(Moves, ListedWindowWithoutAButtonInTheRunGetsOne)
{
    m_shell.SetButtons(W({0, 1, 3, 4}));
    m_engine.MoveButton(4, 2);
    EXPECT_EQ(m_shell.Calls(), Run({4, 2, 3, 4}));
    EXPECT_EQ(m_shell.Buttons(), W({0, 1, 4, 2, 3}));
    EXPECT_EQ(Entries(), W({0, 1, 4, 2, 3}));
}

TEST_F(Moves, EntryOfAClosedWindowMovesAllTheSame)
{
    HWND closed = w[1];
    m_windows[1].Reset();
    ASSERT_FALSE(::IsWindow(closed));
    EXPECT_EQ(m_engine.MoveButton(1, 0), closed);
    EXPECT_EQ(Entries(), (std::vector<HWND>{closed, w[0], w[2], w[3], w[4]}));
    EXPECT_EQ(m_shell.Calls(), Run({1, 0, 1, 2, 3, 4}));
}

TEST_F(Moves, IndexesOutsideTheListDoNothing)
{
    EXPECT_EQ(m_engine.MoveButton(-1, 0), nullptr);
    EXPECT_EQ(m_engine.MoveButton(0, 5), nullptr);
    EXPECT_EQ(m_engine.MoveButton(5, 0), nullptr);
    EXPECT_EQ(m_engine.MoveButton(2, -1), nullptr);
    EXPECT_TRUE(m_shell.Calls().empty());
    EXPECT_EQ(Entries(), w);
}

TEST_F(Moves, ArrangeTaskbarReAddsEachButtonInListOrderAfterUnlistedOnes)
{
    HWND x = AddWindow("");
    m_shell.SetButtons({w[4], w[2], x, w[0], w[3], w[1]});
    Select(2);
    m_engine.ArrangeTaskbar();
    std::vector<TaskbarCall> calls;
    for (HWND hWnd : w) {
        calls.push_back({TaskbarOp::DeleteTab, hWnd});
        calls.push_back({TaskbarOp::AddTab, hWnd});
    }
    EXPECT_EQ(m_shell.Calls(), calls);
    EXPECT_EQ(m_shell.Buttons(), (std::vector<HWND>{x, w[0], w[1], w[2], w[3], w[4]}));
    EXPECT_EQ(Entries(), w);
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(m_shell.CallsOf(TaskbarOp::ActivateTab), std::vector<HWND>{});
}

TEST_F(Moves, ArrangeTaskbarDropsTheEntriesOfClosedWindows)
{
    m_windows[1].Reset();
    m_windows[4].Reset();
    Select(3);
    m_engine.ArrangeTaskbar();
    EXPECT_EQ(Entries(), W({0, 2, 3}));
    EXPECT_EQ(m_shell.CallsOf(TaskbarOp::AddTab), W({0, 2, 3}));
    EXPECT_EQ(m_shell.Calls().size(), 6u);
    EXPECT_EQ(Selected(), 2) << "the selected entry stays selected where it went";
}

TEST_F(Moves, ArrangeTaskbarDropsTheEntriesOfTwoAdjacentClosedWindows)
{
    m_windows[1].Reset();
    m_windows[2].Reset();
    m_engine.ArrangeTaskbar();
    EXPECT_EQ(Entries(), W({0, 3, 4}));
    EXPECT_EQ(m_shell.CallsOf(TaskbarOp::DeleteTab), W({0, 3, 4}));
}

TEST_F(EngineTest, SortByTitleIgnoresCaseKeepsTiesInOrderAndArrangesTheTaskbar)
{
    CFakeShell shell;
    ASSERT_TRUE(shell.IsReady());
    m_engine.Attach(&m_list);
    const std::vector<HWND> w{AddWindow("beta"), AddWindow("Alpha"), AddWindow("gamma"), AddWindow("alpha"),
                              AddWindow("Beta")};
    Append(w);
    shell.SetButtons(w);
    m_engine.SortByTitle();
    const std::vector<HWND> sorted{w[1], w[3], w[0], w[4], w[2]};
    EXPECT_EQ(Entries(), sorted);
    EXPECT_EQ(TitleAt(0), "Alpha");
    EXPECT_EQ(shell.Buttons(), sorted);
    EXPECT_EQ(shell.Calls().size(), 10u);
}

TEST_F(Moves, MoveToTopAndBottomKeepTheSelectionAndStopAtTheEnds)
{
    Select(3);
    m_engine.MoveToTop();
    EXPECT_EQ(m_shell.Calls(), Run({3, 0, 1, 2, 3, 4}));
    EXPECT_EQ(Entries(), W({3, 0, 1, 2, 4}));
    EXPECT_EQ(Selected(), 0);
    m_shell.ClearCalls();
    m_engine.MoveToTop();
    EXPECT_TRUE(m_shell.Calls().empty());

    m_engine.MoveToBottom();
    EXPECT_EQ(m_shell.Calls(), Run({3}));
    EXPECT_EQ(Entries(), W({0, 1, 2, 4, 3}));
    EXPECT_EQ(m_shell.Buttons(), W({0, 1, 2, 4, 3}));
    EXPECT_EQ(Selected(), 4);
    m_shell.ClearCalls();
    m_engine.MoveToBottom();
    m_list.SetItemState(4, 0, LVIS_SELECTED);
    m_engine.MoveToTop();
    m_engine.MoveToBottom();
    EXPECT_TRUE(m_shell.Calls().empty());
}
