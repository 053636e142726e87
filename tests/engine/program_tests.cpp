// Windows by program: what a window's program is, the regrouping, and the
// watch step that places new windows by program. Programs are real: the
// sample program in processes of its own, once under its own file name and
// once under another, and this test program's own windows.
#include "engine_fixture.h"
#include "engine/program.h"
#include "sample_program.h"
#include "tests/support/dialog_watcher.h"
#include <algorithm>

namespace {

std::string OwnExecutable()
{
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length);
}

// The calls of one run: every DeleteTab, then every AddTab, on these windows.
std::vector<TaskbarCall> ReAdded(const std::vector<HWND>& windows)
{
    std::vector<TaskbarCall> calls;
    for (HWND hWnd : windows)
        calls.push_back({TaskbarOp::DeleteTab, hWnd});
    for (HWND hWnd : windows)
        calls.push_back({TaskbarOp::AddTab, hWnd});
    return calls;
}

// ArrangeTaskbar's calls: each window off and on again, in this order.
std::vector<TaskbarCall> Arranged(const std::vector<HWND>& windows)
{
    std::vector<TaskbarCall> calls;
    for (HWND hWnd : windows) {
        calls.push_back({TaskbarOp::DeleteTab, hWnd});
        calls.push_back({TaskbarOp::AddTab, hWnd});
    }
    return calls;
}

}  // namespace

TEST(ProgramOfWindow, IsTheFullPathOfItsProcesssExecutableCaseIgnored)
{
    CSampleProgram a, b;
    ASSERT_TRUE(a.Start("", 1, "A"));
    ASSERT_TRUE(b.Start("corvane_other.exe", 1, "B"));

    const std::string programA = ProgramOfWindow(a[0]);
    EXPECT_TRUE(SameProgram(programA, a.Path())) << programA << " / " << a.Path();
    EXPECT_TRUE(SameProgram(ProgramOfWindow(b[0]), b.Path()));
    EXPECT_FALSE(SameProgram(programA, ProgramOfWindow(b[0]))) << "the same executable under another name";
    // The route for processes that refuse psapi's access gives the same path.
    EXPECT_TRUE(SameProgram(ExecutableByImageName(a.ProcessId()), ExecutableByModule(a.ProcessId())));

    // No process to ask: the window's class stands in.
    EXPECT_EQ(ExecutableByModule(0), "");
    EXPECT_EQ(ExecutableByImageName(0), "");

    CTestWindowClass cls("CorvaneProgramTest");
    const CTestWindow own = CTestWindow::Create(cls, "own");
    EXPECT_EQ(ProgramOfWindow(own), OwnExecutable());
    EXPECT_EQ(ClassProgram(own), "class:CorvaneProgramTest");
}

TEST(ProgramOfWindow, ComparesCaseInsensitivelyWithoutTouchingDoubleByteCharacters)
{
    EXPECT_TRUE(SameProgram("C:\\Program Files\\Mail\\Mail.exe", "c:\\PROGRAM FILES\\mail\\MAIL.EXE"));
    EXPECT_TRUE(SameProgram("C:\\\xB3\xCC\xD0\xF2\\a.exe", "C:\\\xB3\xCC\xD0\xF2\\A.EXE"));
    // Two characters of code page 936 whose second bytes are 'a' and 'A'.
    EXPECT_FALSE(SameProgram("C:\\\xC4\x61.exe", "C:\\\xC4\x41.exe"));
    EXPECT_FALSE(SameProgram("class:Notepad", "C:\\class\\Notepad"));
}

// Windows of three programs: the sample program (A), its copy under another
// name (B) and this test program (C, windows made on demand).
class Programs : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        ASSERT_TRUE(m_shell.IsReady());
        ASSERT_TRUE(m_a.Start("", 2, "A"));
        ASSERT_TRUE(m_b.Start("corvane_other.exe", 1, "B"));
        m_engine.Attach(&m_list);
        pathA = ProgramOfWindow(m_a[0]);
        pathB = ProgramOfWindow(m_b[0]);
        pathC = OwnExecutable();
    }

    // Lists and buttons these windows in this order, after any task windows
    // that others have open (which then stand before every run).
    void Show(const std::vector<HWND>& windows)
    {
        std::vector<HWND> all = ForeignTaskWindows();
        all.erase(std::remove_if(all.begin(), all.end(),
                                 [&windows](HWND h) { return std::count(windows.begin(), windows.end(), h) > 0; }),
                  all.end());
        m_before = all;
        all.insert(all.end(), windows.begin(), windows.end());
        Append(all);
        m_shell.SetButtons(all);
    }
    // The list and the taskbar, without the windows of others.
    std::vector<HWND> Mine() const
    {
        std::vector<HWND> mine = Entries();
        mine.erase(mine.begin(), mine.begin() + static_cast<std::ptrdiff_t>(m_before.size()));
        return mine;
    }
    std::vector<HWND> MyButtons() const
    {
        std::vector<HWND> buttons = m_shell.Buttons();
        buttons.erase(buttons.begin(), buttons.begin() + static_cast<std::ptrdiff_t>(m_before.size()));
        return buttons;
    }

    CFakeShell m_shell;
    CSampleProgram m_a;
    CSampleProgram m_b;
    std::string pathA, pathB, pathC;
    std::vector<HWND> m_before;
};

TEST_F(Programs, GroupingMovesEachEntryBehindItsProgramAndArrangesTheTaskbar)
{
    const HWND c1 = AddWindow("C1"), c2 = AddWindow("C2"), c3 = AddWindow("C3");
    Show({c1, m_a[0], c2, m_b[0], m_a[1], c3});
    Select(static_cast<int>(m_before.size()) + 4);  // A2
    m_engine.GroupByProgram();

    const std::vector<HWND> grouped{c1, c2, c3, m_a[0], m_a[1], m_b[0]};
    EXPECT_EQ(Mine(), grouped);
    EXPECT_EQ(MyButtons(), grouped);
    EXPECT_EQ(m_shell.Calls(), Arranged(Entries())) << "2 calls per entry, in list order";
    EXPECT_EQ(Selected(), static_cast<int>(m_before.size()) + 4) << "A2 stays selected";
    EXPECT_EQ(TitleAt(static_cast<int>(m_before.size()) + 1), "C2");
}

TEST_F(Programs, ArrangingByTheRememberedOrderPutsUnknownProgramsLastAndRemembersThem)
{
    const HWND c1 = AddWindow("C1"), c2 = AddWindow("C2");
    Show({c1, m_a[0], m_b[0], c2, m_a[1]});
    CProgramOrder order({pathB, "D:\\gone.exe", pathA});
    EXPECT_TRUE(m_engine.ArrangeByProgramOrder(order));

    // Windows of others come last too: their programs are unknown.
    const std::vector<HWND> arranged = Entries();
    EXPECT_EQ(std::vector<HWND>(arranged.begin(), arranged.begin() + 3), (std::vector<HWND>{m_b[0], m_a[0], m_a[1]}));
    EXPECT_EQ(Only(arranged, {c1, c2}), (std::vector<HWND>{c1, c2}));
    EXPECT_EQ(m_shell.Buttons(), arranged);
    EXPECT_EQ(m_shell.Calls(), Arranged(arranged));
    EXPECT_GE(order.Find(pathC), 3);
    EXPECT_FALSE(m_engine.ArrangeByProgramOrder(order)) << "nothing new to remember";
}

TEST_F(Programs, ANewWindowJoinsTheLastWindowOfItsProgram)
{
    const HWND c1 = AddWindow("C1");
    Show({m_a[0], c1, m_b[0], m_a[1]});
    CProgramOrder order({pathA, pathC, pathB});
    const HWND c2 = AddWindow("C2");
    m_shell.SetButtons(Concat({m_shell.Buttons(), {c2}}));

    EXPECT_FALSE(m_engine.FollowTaskWindows(order));
    EXPECT_EQ(m_shell.Calls(), ReAdded({c2, m_b[0], m_a[1]}));
    EXPECT_EQ(Mine(), (std::vector<HWND>{m_a[0], c1, c2, m_b[0], m_a[1]}));
    EXPECT_EQ(MyButtons(), Mine());
    EXPECT_EQ(TitleAt(static_cast<int>(m_before.size()) + 2), "C2");
}

TEST_F(Programs, ANewWindowOfAClosedProgramTakesItsRememberedPlace)
{
    // C is remembered between A and B, but has no window listed.
    Show({m_a[0], m_a[1], m_b[0]});
    CProgramOrder order({pathA, pathC, pathB});
    const HWND c1 = AddWindow("C1");
    m_shell.SetButtons(Concat({m_shell.Buttons(), {c1}}));

    EXPECT_FALSE(m_engine.FollowTaskWindows(order));
    EXPECT_EQ(m_shell.Calls(), ReAdded({c1, m_b[0]}));
    EXPECT_EQ(Mine(), (std::vector<HWND>{m_a[0], m_a[1], c1, m_b[0]}));
    EXPECT_EQ(MyButtons(), Mine());
    EXPECT_EQ(order.GetPrograms(), (std::vector<std::string>{pathA, pathC, pathB}));

    // Remembered last: its place is the end, where the shell put the button.
    m_shell.ClearCalls();
    CProgramOrder last({pathA, pathB, pathC});
    const HWND c2 = AddWindow("C2");
    m_shell.SetButtons(Concat({m_shell.Buttons(), {c2}}));
    m_windows.erase(std::find_if(m_windows.begin(), m_windows.end(), [c1](const CTestWindow& w) { return w == c1; }));
    EXPECT_FALSE(m_engine.FollowTaskWindows(last));
    EXPECT_TRUE(m_shell.Calls().empty());
    EXPECT_EQ(Mine(), (std::vector<HWND>{m_a[0], m_a[1], m_b[0], c2}));
}

TEST_F(Programs, ANewProgramStaysAtTheEndAndIsRemembered)
{
    Show({m_a[0], m_b[0]});
    CProgramOrder order({pathA, pathB});
    const HWND c1 = AddWindow("C1");
    m_shell.SetButtons(Concat({m_shell.Buttons(), {c1}}));

    EXPECT_TRUE(m_engine.FollowTaskWindows(order));
    EXPECT_TRUE(m_shell.Calls().empty()) << "its button is where the shell put it";
    EXPECT_EQ(Mine(), (std::vector<HWND>{m_a[0], m_b[0], c1}));
    EXPECT_EQ(order.GetPrograms(), (std::vector<std::string>{pathA, pathB, pathC}));

    // A second look finds nothing new and calls nothing.
    EXPECT_FALSE(m_engine.FollowTaskWindows(order));
    EXPECT_TRUE(m_shell.Calls().empty());
}

TEST_F(Programs, SeveralNewWindowsAtOnceEndInTheListsOrderOnTheTaskbar)
{
    const HWND c1 = AddWindow("C1");
    Show({m_a[0], c1, m_b[0]});
    CProgramOrder order({pathA, pathC, pathB});
    // The sample program opens two more; the shell appends their buttons.
    CSampleProgram more;
    ASSERT_TRUE(more.Start("corvane_third.exe", 2, "D"));
    const HWND c2 = AddWindow("C2");
    m_shell.SetButtons(Concat({m_shell.Buttons(), {more[1], c2, more[0]}}));

    EXPECT_TRUE(m_engine.FollowTaskWindows(order));
    const std::vector<HWND> mine = Mine();
    ASSERT_EQ(mine.size(), 6u);
    EXPECT_EQ(std::vector<HWND>(mine.begin(), mine.begin() + 3), (std::vector<HWND>{m_a[0], c1, c2}));
    EXPECT_EQ(Only(mine, {more[0], more[1]}).size(), 2u);
    EXPECT_EQ(MyButtons(), mine) << "the list and the taskbar agree";
    EXPECT_TRUE(SameProgram(order.GetPrograms().back(), more.Path()));
    EXPECT_EQ(m_shell.CallsOf(TaskbarOp::ActivateTab), std::vector<HWND>{});
}

TEST_F(Programs, GoneWindowsLeaveTheListWithoutAShellCallAndTheirIcons)
{
    const HWND c1 = AddWindow("C1", kRed), c2 = AddWindow("C2", kGreen), c3 = AddWindow("C3", kBlue);
    Show({c1, m_a[0], c2, m_a[1], c3});
    const int images = ImageList_GetImageCount(Images());
    CProgramOrder order({pathC, pathA});
    CDialogWatcher boxes;

    m_windows[0].Reset();                        // c1 closed
    ::ShowWindow(c2, SW_HIDE);                   // c2 hidden: no button, no entry
    m_a.Stop();                                  // the program ended
    EXPECT_FALSE(m_engine.FollowTaskWindows(order));
    EXPECT_EQ(Mine(), (std::vector<HWND>{c3}));
    EXPECT_TRUE(m_shell.Calls().empty());
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_EQ(ImageList_GetImageCount(Images()), images - 2) << "the images of the test's own two";
    EXPECT_EQ(ImageCentreColor(Images(), ImageAt(Count() - 1)), kBlue);
    EXPECT_EQ(order.GetPrograms(), (std::vector<std::string>{pathC, pathA})) << "a program stays remembered";

    // Shown again, it is a new window of its program.
    ::ShowWindow(c2, SW_SHOWNOACTIVATE);
    m_shell.SetButtons(Concat({m_shell.Buttons(), {c2}}));
    EXPECT_FALSE(m_engine.FollowTaskWindows(order));
    EXPECT_EQ(Mine(), (std::vector<HWND>{c3, c2}));
    EXPECT_EQ(ImageCentreColor(Images(), ImageAt(Count() - 1)), kGreen);
}
