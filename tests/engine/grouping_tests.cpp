// A taskbar that groups similar buttons: when it does, the regrouping of the
// list after a refresh, and the commands, which move whole runs of a program
// so that re-adding buttons in list order gives the list's order there.
#include "program_fixture.h"
#include "engine/program.h"
#include "framework/reg_key.h"
#include <algorithm>
#include <memory>

namespace {

OSVERSIONINFOA Version(DWORD major, DWORD minor)
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    version.dwMajorVersion = major;
    version.dwMinorVersion = minor;
    return version;
}

}  // namespace

TEST(GroupingRule, XpServer2003AndVistaGroupUnlessTheValueIsADwordZero)
{
    const TaskbarGlomming missing;
    const TaskbarGlomming off{true, REG_DWORD, 0};
    const TaskbarGlomming on{true, REG_DWORD, 1};
    const TaskbarGlomming text{true, REG_SZ, 0};
    struct Case {
        DWORD major, minor;
        TaskbarGlomming setting;
        bool groups;
    } const cases[] = {
        {5, 0, missing, false}, {5, 0, on, false},  {5, 1, missing, true}, {5, 1, off, false},
        {5, 1, text, true},     {5, 2, on, true},   {5, 2, off, false},    {6, 0, missing, true},
        {6, 0, off, false},     {6, 1, on, false},  {4, 1, on, false},     {5, 3, on, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CTaskButtonList::GroupsFromVersion(TRUE, Version(c.major, c.minor), c.setting), c.groups)
            << c.major << "." << c.minor << " found " << c.setting.found << " type " << c.setting.type;
    }
    EXPECT_FALSE(CTaskButtonList::GroupsFromVersion(FALSE, Version(5, 1), missing)) << "no version read";
}

TEST(GroupingRule, TheUsersValueIsReadAsTheShellReadsIt)
{
    constexpr char kAdvanced[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
    CRegKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, kAdvanced), ERROR_SUCCESS);
    DWORD type = REG_NONE;
    std::vector<BYTE> saved;
    const bool had = key.QueryValue("TaskbarGlomming", type, saved, 64) == ERROR_SUCCESS;

    key.DeleteValue("TaskbarGlomming");
    EXPECT_FALSE(CTaskButtonList::ReadTaskbarGlomming().found);
    key.SetDWORDValue("TaskbarGlomming", 0);
    TaskbarGlomming read = CTaskButtonList::ReadTaskbarGlomming();
    EXPECT_TRUE(read.found && read.type == REG_DWORD && read.value == 0);
    key.SetDWORDValue("TaskbarGlomming", 7);
    EXPECT_EQ(CTaskButtonList::ReadTaskbarGlomming().value, 7u);
    key.SetStringValue("TaskbarGlomming", "0");
    read = CTaskButtonList::ReadTaskbarGlomming();
    EXPECT_TRUE(read.found && read.type != REG_DWORD) << "text is another type";
    const BYTE shortDword[2] = {0, 0};
    key.SetValue("TaskbarGlomming", REG_DWORD, shortDword, sizeof shortDword);
    read = CTaskButtonList::ReadTaskbarGlomming();
    EXPECT_TRUE(read.found && read.type != REG_DWORD) << "two bytes hold no number";

    if (had)
        key.SetValue("TaskbarGlomming", type, saved.data(), static_cast<DWORD>(saved.size()));
    else
        key.DeleteValue("TaskbarGlomming");
}

// Six windows of three programs: the sample program A ("Mike 1", "Mike 2"),
// its copy under another name B ("Bravo 1", "Bravo 2"), and this program C,
// listed A A B B C C on a fake taskbar that groups by the engine's notion of
// a program. The sample programs run once for the whole suite.
class Grouping : public EngineTest {
protected:
    static void SetUpTestSuite()
    {
        s_a = std::make_unique<CSampleProgram>();
        s_b = std::make_unique<CSampleProgram>();
        s_started = s_a->Start("", 2, "Mike") && s_b->Start("corvane_grouped.exe", 2, "Bravo");
    }
    static void TearDownTestSuite()
    {
        s_a.reset();
        s_b.reset();
    }

    void SetUp() override
    {
        EngineTest::SetUp();
        ASSERT_TRUE(s_started);
        ASSERT_TRUE(m_shell.IsReady());
        m_shell.SetGroupingBy([](HWND hWnd) { return ProgramKey(ProgramOfWindow(hWnd)); });
        m_engine.Attach(&m_list);
        m_engine.SetGrouping(true);
        a1 = (*s_a)[0];
        a2 = (*s_a)[1];
        b1 = (*s_b)[0];
        b2 = (*s_b)[1];
        c1 = AddWindow("Zulu");
        c2 = AddWindow("Alpha");
    }

    // Lists the windows in this order with the taskbar showing the same.
    void Show(const std::vector<HWND>& windows)
    {
        Append(windows);
        m_shell.SetButtons(windows);
    }
    void Grouped() { Show({a1, a2, b1, b2, c1, c2}); }
    int IndexOf(HWND hWnd) const
    {
        const std::vector<HWND> entries = Entries();
        return static_cast<int>(std::find(entries.begin(), entries.end(), hWnd) - entries.begin());
    }
    // Selects the window's entry and runs the command; the list, then the
    // grouping taskbar, must show `after`, with the window still selected.
    void Command(HWND selected, void (CTaskButtonList::*command)(), const std::vector<HWND>& after)
    {
        Select(IndexOf(selected));
        (m_engine.*command)();
        EXPECT_EQ(Entries(), after);
        EXPECT_EQ(m_shell.Buttons(), after) << "the taskbar shows the list";
        EXPECT_EQ(Selected(), IndexOf(selected));
    }

    static std::unique_ptr<CSampleProgram> s_a, s_b;
    static bool s_started;
    CFakeShell m_shell;
    HWND a1, a2, b1, b2, c1, c2;
};

std::unique_ptr<CSampleProgram> Grouping::s_a, Grouping::s_b;
bool Grouping::s_started = false;

TEST_F(Grouping, ARefreshBringsEachProgramTogetherWithoutAShellCall)
{
    // A taskbar order the probe finds: the programs interleaved.
    m_engine.SetKind(TabControl);
    const std::vector<HWND> ours{a1, c1, b1, a2, c2, b2};
    std::vector<HWND> buttons = ours;
    for (HWND hWnd : ForeignTaskWindows()) {
        if (std::find(ours.begin(), ours.end(), hWnd) == ours.end())
            buttons.push_back(hWnd);
    }
    m_shell.SetButtons(buttons);
    m_engine.Refresh();
    EXPECT_EQ(Only(Entries(), ours), (std::vector<HWND>{a1, a2, c1, c2, b1, b2}));
    EXPECT_TRUE(m_shell.CallsOf(TaskbarOp::AddTab).empty());
    EXPECT_TRUE(m_shell.CallsOf(TaskbarOp::DeleteTab).empty());

    // Without grouping the list keeps the taskbar's order.
    m_engine.SetGrouping(false);
    m_engine.Refresh();
    EXPECT_EQ(Only(Entries(), ours), ours);
}

TEST_F(Grouping, TurnedOnItRegroupsTheListAtOnceWithoutAShellCall)
{
    m_engine.SetGrouping(false);
    Show({a1, c1, b1, a2, c2, b2});
    Select(IndexOf(a2));
    m_engine.SetGrouping(true);
    EXPECT_TRUE(m_engine.IsGrouping());
    EXPECT_EQ(Entries(), (std::vector<HWND>{a1, a2, c1, c2, b1, b2}));
    EXPECT_EQ(Selected(), 1);
    EXPECT_TRUE(m_shell.Calls().empty());
}

TEST_F(Grouping, MoveUpInsideARunIsTheUsualMove)
{
    Grouped();
    Command(a2, &CTaskButtonList::MoveUp, {a2, a1, b1, b2, c1, c2});
    EXPECT_EQ(m_shell.Calls(), ReAdded({a2, a1, a2, b1, b2, c1, c2}));
}

TEST_F(Grouping, MoveUpOnTheFirstEntryOfARunTakesTheRunAboveThePreviousRun)
{
    Grouped();
    Command(b1, &CTaskButtonList::MoveUp, {b1, b2, a1, a2, c1, c2});
    EXPECT_EQ(m_shell.Calls(), ReAdded({b1, b2, a1, a2, c1, c2}));
    m_shell.ClearCalls();
    Command(b1, &CTaskButtonList::MoveUp, {b1, b2, a1, a2, c1, c2});
    EXPECT_TRUE(m_shell.Calls().empty()) << "the first entry stays";
}

TEST_F(Grouping, MoveDownOnTheLastEntryOfARunTakesTheRunBelowTheNextRun)
{
    Grouped();
    Command(b2, &CTaskButtonList::MoveDown, {a1, a2, c1, c2, b1, b2});
    EXPECT_EQ(m_shell.Calls(), ReAdded({c1, c2, b1, b2})) << "from the first changed place on";
    m_shell.ClearCalls();
    Command(b1, &CTaskButtonList::MoveDown, {a1, a2, c1, c2, b2, b1});
    EXPECT_EQ(m_shell.Calls(), ReAdded({b1})) << "inside a run: the usual move";
}

TEST_F(Grouping, MoveToTopAndBottomTakeTheEntryToTheEndOfItsRunAndTheRunToTheEnd)
{
    Grouped();
    Command(c2, &CTaskButtonList::MoveToTop, {c2, c1, a1, a2, b1, b2});
    EXPECT_EQ(m_shell.Calls(), ReAdded({c2, c1, a1, a2, b1, b2}));
    m_shell.ClearCalls();
    Command(a1, &CTaskButtonList::MoveToBottom, {c2, c1, b1, b2, a2, a1});
    EXPECT_EQ(m_shell.Calls(), ReAdded({b1, b2, a2, a1}));
    Command(a2, &CTaskButtonList::MoveToBottom, {c2, c1, b1, b2, a1, a2});
    Command(b2, &CTaskButtonList::MoveToTop, {b2, b1, c2, c1, a1, a2});
}

TEST_F(Grouping, SortByTitleSortsEachRunThenTheRunsByTheirFirstTitles)
{
    Grouped();
    Command(b2, &CTaskButtonList::SortByTitle, {c2, c1, b1, b2, a1, a2});
    EXPECT_EQ(m_shell.Calls(), ReAdded({c2, c1, b1, b2, a1, a2}));
}

TEST_F(Grouping, ArrangingTheTaskbarTakesEveryButtonOffBeforeAddingThemAgain)
{
    // Taken off and added again one at a time, each button would only
    // rejoin its program where that stands: the taskbar would keep A A B B C C.
    Append({b1, b2, c1, c2, a1, a2});
    m_shell.SetButtons({a1, a2, b1, b2, c1, c2});
    m_engine.ArrangeTaskbar();
    EXPECT_EQ(m_shell.Buttons(), Entries());
    EXPECT_EQ(m_shell.Calls(), ReAdded({b1, b2, c1, c2, a1, a2}));
}

TEST_F(Grouping, ADragOntoAnotherProgramMovesTheWholeRunNextToTheTargetsRun)
{
    Grouped();
    // Upwards: before the target's run. The press that began the drag
    // selected the entry; it is dropped unselected, as every drop is.
    Select(IndexOf(c2));
    EXPECT_EQ(m_engine.DragButton(IndexOf(c2), IndexOf(a2)), c2);
    EXPECT_EQ(Entries(), (std::vector<HWND>{c1, c2, a1, a2, b1, b2}));
    EXPECT_EQ(Selected(), -1);
    EXPECT_EQ(m_shell.Calls(), ReAdded({c1, c2, a1, a2, b1, b2}));
    EXPECT_EQ(m_shell.Buttons(), Entries());
    // Downwards: after it.
    m_shell.ClearCalls();
    EXPECT_EQ(m_engine.DragButton(IndexOf(a1), IndexOf(b2)), a1);
    EXPECT_EQ(Entries(), (std::vector<HWND>{c1, c2, b1, b2, a1, a2}));
    EXPECT_EQ(m_shell.Calls(), ReAdded({b1, b2, a1, a2}));
    EXPECT_EQ(m_shell.Buttons(), Entries());
    EXPECT_EQ(m_engine.DragButton(0, 6), nullptr);
}

TEST_F(Grouping, ADragOntoTheSameProgramOrWithoutGroupingIsTheUsualMove)
{
    Grouped();
    EXPECT_EQ(m_engine.DragButton(IndexOf(b2), IndexOf(b1)), b2);
    EXPECT_EQ(Entries(), (std::vector<HWND>{a1, a2, b2, b1, c1, c2}));
    EXPECT_EQ(m_shell.Calls(), ReAdded({b2, b1, b2, c1, c2}));
    EXPECT_EQ(m_shell.Buttons(), Entries());

    m_engine.SetGrouping(false);
    m_shell.SetGroupingBy(nullptr);
    m_shell.ClearCalls();
    EXPECT_EQ(m_engine.DragButton(IndexOf(c2), IndexOf(a2)), c2);
    EXPECT_EQ(Entries(), (std::vector<HWND>{a1, c2, a2, b2, b1, c1}));
    EXPECT_EQ(m_shell.Calls(), ReAdded({c2, a2, b2, b1, c1, c2}));
}

TEST(ProgramIdentity, AShortPathAndTheLongPathAreOneProgram)
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    char shortPath[MAX_PATH] = {};
    ASSERT_GT(::GetShortPathNameA(path, shortPath, MAX_PATH), 0u);
    ASSERT_STRNE(shortPath, path) << "a long file name has an 8.3 form";
    EXPECT_TRUE(SameProgram(LongPathForm(shortPath), path));
    EXPECT_EQ(LongPathForm("C:\\gone\\nowhere.exe"), "C:\\gone\\nowhere.exe") << "no file: the path as given";
}
