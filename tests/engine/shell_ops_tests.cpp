// Finding the taskbar's button host and the three TaskbarList calls.
#include "engine_fixture.h"

namespace {

std::vector<TaskbarCall> Sequence(std::initializer_list<TaskbarCall> calls)
{
    return calls;
}

}  // namespace

TEST(ButtonHost, TabControlWinsOverAToolbarBesideIt)
{
    FakeTaskbarLayout layout;
    layout.toolbar = true;  // made first, so it comes first among the switcher's children
    CFakeShell shell(layout);
    ASSERT_TRUE(shell.IsReady());
    EXPECT_EQ(CTaskButtonList::FindButtonHost(), shell.TabControl());
}

TEST(ButtonHost, ToolbarWhenTheSwitcherHasNoTabControl)
{
    CFakeShell shell(FakeTaskbarLayout::Toolbar());
    ASSERT_TRUE(shell.IsReady());
    EXPECT_EQ(CTaskButtonList::FindButtonHost(), shell.ToolbarHost());
}

TEST(ButtonHost, SwitcherStraightUnderTheTray)
{
    FakeTaskbarLayout tabs;
    tabs.rebar = false;
    {
        CFakeShell shell(tabs);
        ASSERT_TRUE(shell.IsReady());
        ASSERT_EQ(::GetParent(shell.Switcher()), shell.Tray());
        EXPECT_EQ(CTaskButtonList::FindButtonHost(), shell.TabControl());
    }
    FakeTaskbarLayout toolbar = FakeTaskbarLayout::Toolbar();
    toolbar.rebar = false;
    CFakeShell shell(toolbar);
    ASSERT_TRUE(shell.IsReady());
    EXPECT_EQ(CTaskButtonList::FindButtonHost(), shell.ToolbarHost());
}

TEST(ButtonHost, NoneWithoutTrayOrWithoutHost)
{
    {
        // Wine's own tray, if there is one, has no children.
        CFakeShell shell(FakeTaskbarLayout::NoTray());
        EXPECT_EQ(CTaskButtonList::FindButtonHost(), nullptr);
    }
    {
        FakeTaskbarLayout bare;
        bare.tabControl = false;
        CFakeShell shell(bare);
        ASSERT_TRUE(shell.IsReady());
        EXPECT_EQ(CTaskButtonList::FindButtonHost(), nullptr);
    }
    // A fake taskbar leaves nothing behind for the next look-up.
    EXPECT_EQ(CTaskButtonList::FindButtonHost(), nullptr);
}

TEST(TaskbarCalls, NullWindowFailsWithoutCreatingAnObject)
{
    CFakeShell shell;
    ASSERT_TRUE(shell.IsReady());
    EXPECT_FALSE(CTaskButtonList::ActivateTab(nullptr));
    EXPECT_FALSE(CTaskButtonList::AddTab(nullptr));
    EXPECT_FALSE(CTaskButtonList::DeleteTab(nullptr));
    EXPECT_EQ(shell.ObjectsCreated(), 0);
    EXPECT_TRUE(shell.Calls().empty());
}

TEST(TaskbarCalls, EachCallMakesInitialisesAndReleasesItsOwnObject)
{
    CFakeShell shell;
    ASSERT_TRUE(shell.IsReady());
    HWND a = shell.Rebar();
    HWND b = shell.Switcher();
    EXPECT_TRUE(CTaskButtonList::AddTab(a));
    EXPECT_TRUE(CTaskButtonList::AddTab(b));
    EXPECT_TRUE(CTaskButtonList::ActivateTab(b));
    EXPECT_TRUE(CTaskButtonList::DeleteTab(a));
    EXPECT_EQ(shell.Calls(), Sequence({{TaskbarOp::AddTab, a},
                                       {TaskbarOp::AddTab, b},
                                       {TaskbarOp::ActivateTab, b},
                                       {TaskbarOp::DeleteTab, a}}));
    EXPECT_EQ(shell.ObjectsCreated(), 4);
    EXPECT_EQ(shell.HrInitCalls(), 4);
    EXPECT_EQ(shell.LiveObjects(), 0);
    EXPECT_EQ(shell.Buttons(), std::vector<HWND>{b});
}

TEST(TaskbarCalls, DeleteTabCountsOnlySOkTheOthersAnySuccess)
{
    CFakeShell shell;
    ASSERT_TRUE(shell.IsReady());
    HWND w = shell.Rebar();
    for (TaskbarOp op : {TaskbarOp::AddTab, TaskbarOp::DeleteTab, TaskbarOp::ActivateTab})
        shell.SetResult(op, S_FALSE);
    EXPECT_TRUE(CTaskButtonList::AddTab(w));
    EXPECT_TRUE(CTaskButtonList::ActivateTab(w));
    EXPECT_FALSE(CTaskButtonList::DeleteTab(w));

    for (TaskbarOp op : {TaskbarOp::AddTab, TaskbarOp::DeleteTab, TaskbarOp::ActivateTab})
        shell.SetResult(op, E_FAIL);
    EXPECT_FALSE(CTaskButtonList::AddTab(w));
    EXPECT_FALSE(CTaskButtonList::ActivateTab(w));
    EXPECT_FALSE(CTaskButtonList::DeleteTab(w));
    EXPECT_EQ(shell.LiveObjects(), 0);
}

TEST(TaskbarCalls, NoObjectMeansFailure)
{
    CFakeShell shell;
    ASSERT_TRUE(shell.IsReady());
    shell.SetCreationFails(true);
    HWND w = shell.Rebar();
    EXPECT_FALSE(CTaskButtonList::AddTab(w));
    EXPECT_FALSE(CTaskButtonList::ActivateTab(w));
    EXPECT_FALSE(CTaskButtonList::DeleteTab(w));
    EXPECT_TRUE(shell.Calls().empty());
}

// The refresh and the moves rest on these effects; the fake must honour them.
TEST(FakeShell, HonoursTheShellsEffectsAndAnswersTheFocusQuestion)
{
    CFakeShell shell;
    ASSERT_TRUE(shell.IsReady());
    HWND a = shell.Tray();
    HWND b = shell.Rebar();
    HWND c = shell.Switcher();
    EXPECT_TRUE(CTaskButtonList::AddTab(a));
    EXPECT_TRUE(CTaskButtonList::AddTab(b));
    EXPECT_TRUE(CTaskButtonList::AddTab(c));
    EXPECT_TRUE(CTaskButtonList::AddTab(a));  // has a button: stays first
    EXPECT_TRUE(CTaskButtonList::DeleteTab(b));
    EXPECT_TRUE(CTaskButtonList::DeleteTab(b));  // has none: nothing changes
    EXPECT_EQ(shell.Buttons(), (std::vector<HWND>{a, c}));
    EXPECT_EQ(shell.TabOrder(), shell.Buttons());

    HWND host = CTaskButtonList::FindButtonHost();
    EXPECT_TRUE(CTaskButtonList::ActivateTab(c));
    EXPECT_EQ(::SendMessageA(host, TCM_GETCURFOCUS, 0, 0), 1);
    EXPECT_TRUE(CTaskButtonList::ActivateTab(a));
    EXPECT_EQ(::SendMessageA(host, TCM_GETCURFOCUS, 0, 0), 0);

    shell.SetActivateFailsFor(c);
    EXPECT_FALSE(CTaskButtonList::ActivateTab(c));
    EXPECT_EQ(::SendMessageA(host, TCM_GETCURFOCUS, 0, 0), 0);
}
