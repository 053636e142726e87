// Windows by program: what a window's program is, the regrouping, and the
// watch step that places new windows by program and lets gone ones go.
#include "program_fixture.h"
#include "engine/program.h"
#include "tests/support/dialog_watcher.h"
#include <algorithm>

TEST(ProgramOfWindow, IsTheFullPathOfItsProcesssExecutableComparedWithoutCase)
{
    CSampleProgram a, b;
    ASSERT_TRUE(a.Start("", 1, "A"));
    ASSERT_TRUE(b.Start("corvane_other.exe", 1, "B"));
    EXPECT_TRUE(SameProgram(ProgramOfWindow(a[0]), a.Path())) << ProgramOfWindow(a[0]) << " / " << a.Path();
    EXPECT_TRUE(SameProgram(ProgramOfWindow(b[0]), b.Path()));
    EXPECT_FALSE(SameProgram(ProgramOfWindow(a[0]), ProgramOfWindow(b[0]))) << "the same file under another name";
    // The route for processes that refuse psapi's access gives the same path.
    EXPECT_TRUE(SameProgram(ExecutableByImageName(a.ProcessId()), ExecutableByModule(a.ProcessId())));
    // Without a process to ask, the window's class stands in.
    EXPECT_EQ(ExecutableByModule(0), "");
    EXPECT_EQ(ExecutableByImageName(0), "");
    CTestWindowClass cls("CorvaneProgramTest");
    const CTestWindow own = CTestWindow::Create(cls, "own");
    EXPECT_EQ(ProgramOfWindow(own), OwnExecutable());
    EXPECT_EQ(ClassProgram(own), "class:CorvaneProgramTest");

    EXPECT_TRUE(SameProgram("C:\\Mail\\Mail.exe", "c:\\MAIL\\mail.EXE"));
    // Two characters of code page 936 whose second bytes are 'a' and 'A'.
    EXPECT_FALSE(SameProgram("C:\\\xC4\x61.exe", "C:\\\xC4\x41.exe"));
}

TEST_F(ProgramsTest, GroupingMovesEachEntryBehindItsProgramAndArrangesTheTaskbar)
{
    const HWND c1 = AddWindow("C1"), c2 = AddWindow("C2"), c3 = AddWindow("C3");
    Show({c1, m_a[0], c2, m_b[0], m_a[1], c3});
    const int a2 = Count() - 2;
    Select(a2);
    m_engine.GroupByProgram();

    const std::vector<HWND> grouped{c1, c2, c3, m_a[0], m_a[1], m_b[0]};
    EXPECT_EQ(Listed(), grouped);
    EXPECT_EQ(Buttons(), grouped);
    EXPECT_EQ(m_shell.Calls(), Arranged(Entries()));
    EXPECT_EQ(m_engine.GetWindowAt(Selected()), m_a[1]) << "the selection stays on its entry";
}

TEST_F(ProgramsTest, ANewWindowJoinsTheLastWindowOfItsProgram)
{
    const HWND c1 = AddWindow("C1");
    Show({m_a[0], c1, m_b[0], m_a[1]});
    CProgramOrder order({pathA, pathC, pathB});
    const HWND c2 = Open("C2");

    EXPECT_FALSE(m_engine.FollowTaskWindows(order));
    EXPECT_EQ(m_shell.Calls(), ReAdded({c2, m_b[0], m_a[1]}));
    EXPECT_EQ(Listed(), (std::vector<HWND>{m_a[0], c1, c2, m_b[0], m_a[1]}));
    EXPECT_EQ(Buttons(), Listed());
}

TEST_F(ProgramsTest, ANewWindowOfAProgramWithoutWindowsTakesItsRememberedPlace)
{
    Show({m_a[0], m_a[1], m_b[0]});
    CProgramOrder order({pathA, pathC, pathB});
    const HWND c1 = Open("C1");

    EXPECT_FALSE(m_engine.FollowTaskWindows(order));
    EXPECT_EQ(m_shell.Calls(), ReAdded({c1, m_b[0]}));
    EXPECT_EQ(Listed(), (std::vector<HWND>{m_a[0], m_a[1], c1, m_b[0]}));
    EXPECT_EQ(Buttons(), Listed());
}

TEST_F(ProgramsTest, ANewProgramStaysAtTheEndWithoutACallAndIsRemembered)
{
    Show({m_a[0], m_b[0]});
    CProgramOrder order({pathA, pathB});
    const HWND c1 = Open("C1");

    EXPECT_TRUE(m_engine.FollowTaskWindows(order));
    EXPECT_TRUE(m_shell.Calls().empty());
    EXPECT_EQ(Listed(), (std::vector<HWND>{m_a[0], m_b[0], c1}));
    EXPECT_EQ(order.GetPrograms(), (std::vector<std::string>{pathA, pathB, pathC}));
    EXPECT_FALSE(m_engine.FollowTaskWindows(order)) << "nothing new at the next look";
    EXPECT_TRUE(m_shell.Calls().empty());
}

TEST_F(ProgramsTest, ANewWindowThatCameBeforeAMoveIsAddedAgainAtTheEnd)
{
    Show({m_a[0], m_b[0]});
    CProgramOrder order({pathA, pathB});
    const HWND c1 = Open("C1");
    // The move's run is added again after the new window's button.
    const std::vector<HWND> entries = Entries();
    const int a = static_cast<int>(std::find(entries.begin(), entries.end(), m_a[0]) - entries.begin());
    m_engine.MoveButton(a, a + 1);
    m_shell.ClearCalls();

    m_engine.FollowTaskWindows(order);
    EXPECT_EQ(m_shell.Calls(), ReAdded({c1}));
    EXPECT_EQ(Listed(), (std::vector<HWND>{m_b[0], m_a[0], c1}));
    EXPECT_EQ(Buttons(), Listed());
}

TEST_F(ProgramsTest, SeveralNewWindowsAtOnceEndInTheListsOrderOnTheTaskbar)
{
    const HWND c1 = AddWindow("C1");
    Show({m_a[0], c1, m_b[0]});
    CProgramOrder order({pathA, pathC, pathB});
    CSampleProgram d;
    ASSERT_TRUE(d.Start("corvane_third.exe", 2, "D"));
    const HWND c2 = AddWindow("C2");
    // The shell's order of the new buttons is not the windows' order.
    m_shell.SetButtons(Concat({m_shell.Buttons(), {d[1], c2, d[0]}}));

    EXPECT_TRUE(m_engine.FollowTaskWindows(order));
    const std::vector<HWND> listed = Listed();
    ASSERT_EQ(listed.size(), 6u);
    EXPECT_EQ(std::vector<HWND>(listed.begin(), listed.begin() + 4), (std::vector<HWND>{m_a[0], c1, c2, m_b[0]}));
    EXPECT_EQ(Buttons(), listed);
    EXPECT_TRUE(SameProgram(order.GetPrograms().back(), d.Path()));
    EXPECT_EQ(m_shell.CallsOf(TaskbarOp::ActivateTab), std::vector<HWND>{});
}

TEST_F(ProgramsTest, GoneWindowsLeaveTheListWithoutAShellCallAndTheirIcons)
{
    const HWND c1 = AddWindow("C1", kRed), c2 = AddWindow("C2", kGreen), c3 = AddWindow("C3", kBlue);
    Show({c1, m_a[0], c2, m_a[1], c3, m_b[0]});
    const int images = ImageList_GetImageCount(Images());
    CProgramOrder order({pathC, pathA, pathB});
    CDialogWatcher boxes;

    m_windows[0].Reset();       // closed
    ::ShowWindow(c2, SW_HIDE);  // hidden: no button, no entry
    m_a.Stop();                 // the program ended
    EXPECT_FALSE(m_engine.FollowTaskWindows(order));
    EXPECT_EQ(Listed(), (std::vector<HWND>{c3, m_b[0]}));
    EXPECT_TRUE(m_shell.Calls().empty());
    EXPECT_EQ(boxes.Count(), 0u);
    // Wine gives no icon of another process's class: only this program's count.
    EXPECT_EQ(ImageList_GetImageCount(Images()), images - 2);
    EXPECT_EQ(ImageCentreColor(Images(), ImageAt(Count() - 2)), kBlue);
    EXPECT_EQ(order.GetPrograms(), (std::vector<std::string>{pathC, pathA, pathB})) << "programs stay remembered";

    // Shown again, it is a new window of its program.
    ::ShowWindow(c2, SW_SHOWNOACTIVATE);
    m_shell.SetButtons(Concat({m_shell.Buttons(), {c2}}));
    m_engine.FollowTaskWindows(order);
    EXPECT_EQ(Listed(), (std::vector<HWND>{c3, c2, m_b[0]}));
    EXPECT_EQ(ImageCentreColor(Images(), ImageAt(Count() - 2)), kGreen);
}
