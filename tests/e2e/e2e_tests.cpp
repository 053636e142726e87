// The real corvane.exe over the stand-in taskbar and sample windows of other
// processes, driven from this one as a user drives it: button clicks, list
// selection, a real mouse drag and real keys. The list is read across the
// process boundary and compared with the stand-in's button order.
#include <algorithm>
#include <functional>
#include "e2e_session.h"
#include <psapi.h>
#include <cstring>
#include "resource.h"
#include "tests/support/ansi_text.h"

namespace {

constexpr char kDialogClass[] = "#32770";
// Chinese texts go through AnsiText: the ANSI calls see them in the code page
// the program runs under, whatever the compiler.
const std::string kAboutCaption = AnsiText("关于 Corvane");
constexpr size_t kSamples = 5;

// The full paths of the modules of this file name that the process owning
// `window` has loaded, lower-cased.
std::vector<CString> LoadedModules(HWND window, const char* fileName)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    const CHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    HMODULE modules[256];
    DWORD bytes = 0;
    std::vector<CString> found;
    if (!process.Get() || !::EnumProcessModules(process.Get(), modules, sizeof modules, &bytes))
        return found;
    for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 256; ++i) {
        char path[MAX_PATH] = {};
        ::GetModuleFileNameExA(process.Get(), modules[i], path, MAX_PATH);
        ::CharLowerA(path);
        const char* name = std::strrchr(path, '\\');
        if (name && std::strcmp(name + 1, fileName) == 0)
            found.emplace_back(path);
    }
    return found;
}

}  // namespace

// Five sample windows on the stand-in's taskbar, in an order of their buttons
// that is neither their creation order nor their Z order.
class E2eTest : public E2eSession {
protected:
    void TearDown() override
    {
        m_samples.Terminate();
        E2eSession::TearDown();
    }

    // The stand-in taskbar and kSamples sample windows ("任务窗口 1" ...), whose
    // buttons are then put in the order 2, 4, 5, 1, 3. m_created holds them by
    // number.
    void StartTaskbar(bool toolbar)
    {
        ASSERT_NO_FATAL_FAILURE(StartStandin(toolbar));
        m_created = OpenSamples(m_samples, AnsiText("--count 5 --prefix 任务窗口"), kSamples);
        ASSERT_EQ(kSamples, m_created.size());
        std::sort(m_created.begin(), m_created.end(),
                  [](HWND a, HWND b) { return WindowText(a).str() < WindowText(b).str(); });
        ASSERT_EQ(CString(AnsiText("任务窗口 1")), WindowText(m_created[0]));
        const Windows order{m_created[1], m_created[3], m_created[4], m_created[0], m_created[2]};
        ASSERT_NO_FATAL_FAILURE(ArrangeTaskbar(order));
        ASSERT_EQ(order, OnTaskbar());
        m_client.ClearLog();
    }

    // Presses the button with this caption; returns when its command has run.
    void Press(int id, const std::string& caption)
    {
        ASSERT_EQ(CString(caption.c_str()), WindowText(::GetDlgItem(m_main, id)));
        ASSERT_TRUE(Click(id)) << "the command did not end in time";
    }

    // The About box, opened a moment ago: owned by the main window, which it
    // disables; Enter closes it and gives the main window back.
    void CheckAboutBoxAndCloseWithEnter()
    {
        HWND box = nullptr;
        ASSERT_TRUE(WaitUntil([&] {
            return (box = FindTopLevel(m_corvane.GetId(), kDialogClass, kAboutCaption.c_str())) != nullptr;
        })) << "no About box";
        EXPECT_EQ(m_main, ::GetWindow(box, GW_OWNER));
        EXPECT_FALSE(::IsWindowEnabled(m_main));
        ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == box; })) << "the About box is not in front";
        EXPECT_EQ(::GetDlgItem(box, IDOK), FocusOfThread(box)) << "the focus starts on 确定";
        EXPECT_EQ(CString(AnsiText("确定")), WindowText(::GetDlgItem(box, IDOK)));

        RealInput::Key(VK_RETURN);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box) && ::IsWindowEnabled(m_main); })) << "Enter left it open";
        EXPECT_TRUE(m_corvane.IsRunning());
    }

    // Every key and every command of the list's menu, each checked on the
    // taskbar and in the list; on a toolbar taskbar the list starts in the
    // window order, and the arrange command brings the two together.
    void CheckKeysAndMenu(bool toolbar)
    {
        ASSERT_NO_FATAL_FAILURE(StartTaskbar(toolbar));
        ASSERT_NO_FATAL_FAILURE(StartCorvane(toolbar ? "winxp" : "win2k"));
        ASSERT_NO_FATAL_FAILURE(FocusList());
        if (toolbar) {
            ASSERT_NE(Listed(), OnTaskbar()) << "the list must start out of the taskbar's order for this test";
        }

        {
            SCOPED_TRACE("按列表排列任务栏(&A) by a right click");
            const Windows before = Listed();
            ASSERT_TRUE(OpenMenu(RightClickOn(3)));
            ASSERT_NO_FATAL_FAILURE(Choose('A'));
            EXPECT_EQ(before, Listed());
            ASSERT_EQ(before, OnTaskbar());
        }
        const Windows w = Listed();
        const auto check = [&](const Windows& expected, int selected) {
            EXPECT_EQ(expected, Listed());
            EXPECT_EQ(expected, OnTaskbar());
            EXPECT_EQ(selected, m_list->GetSelected());
        };

        ASSERT_TRUE(m_list->Select(2));
        struct KeyStep {
            const char* name;
            WORD vk;
            Windows expected;
            int selected;
        };
        for (const KeyStep& step : {KeyStep{"Ctrl+Up", VK_UP, {w[0], w[2], w[1], w[3], w[4]}, 1},
                                    KeyStep{"Ctrl+Down", VK_DOWN, w, 2},
                                    KeyStep{"Ctrl+Home", VK_HOME, {w[2], w[0], w[1], w[3], w[4]}, 0},
                                    KeyStep{"Ctrl+End", VK_END, {w[0], w[1], w[3], w[4], w[2]}, 4}}) {
            SCOPED_TRACE(step.name);
            ASSERT_NO_FATAL_FAILURE(PressKeysOn(m_main, [&] { RealInput::Chord(VK_CONTROL, step.vk); }));
            // Input reaches the program after anything posted to it: wait for
            // the end state rather than synchronise.
            EXPECT_TRUE(WaitUntil([&] { return m_list->GetSelected() == step.selected && Listed() == step.expected; }));
            ASSERT_TRUE(Sync());
            check(step.expected, step.selected);
        }
        // The moved entry took the focus along: a plain arrow goes on from it.
        ASSERT_NO_FATAL_FAILURE(PressKeysOn(m_main, [] { RealInput::Key(VK_UP); }));
        EXPECT_TRUE(WaitUntil([&] { return m_list->GetSelected() == 3; }));
        ASSERT_NO_FATAL_FAILURE(PressKeysOn(m_main, [] { RealInput::Key(VK_DOWN); }));
        ASSERT_TRUE(WaitUntil([&] { return m_list->GetSelected() == 4; }));

        const auto shiftF10 = [this] { PressKeysOn(m_main, [] { RealInput::Chord(VK_SHIFT, VK_F10); }); };
        const auto menuKey = [this] { PressKeysOn(m_main, [] { RealInput::Key(VK_APPS); }); };
        {
            SCOPED_TRACE("移到最前(&T) by Shift+F10");
            ASSERT_TRUE(OpenMenu(shiftF10));
            ASSERT_NO_FATAL_FAILURE(Choose('T'));
            check({w[2], w[0], w[1], w[3], w[4]}, 0);
        }
        {
            SCOPED_TRACE("移到最后(&B) by the menu key");
            ASSERT_TRUE(OpenMenu(menuKey));
            ASSERT_NO_FATAL_FAILURE(Choose('B'));
            check({w[0], w[1], w[3], w[4], w[2]}, 4);
        }
        {
            SCOPED_TRACE("上移(&U)");
            ASSERT_TRUE(OpenMenu(shiftF10));
            ASSERT_NO_FATAL_FAILURE(Choose('U'));
            check({w[0], w[1], w[3], w[2], w[4]}, 3);
        }
        {
            SCOPED_TRACE("下移(&D)");
            ASSERT_TRUE(OpenMenu(menuKey));
            ASSERT_NO_FATAL_FAILURE(Choose('D'));
            check({w[0], w[1], w[3], w[4], w[2]}, 4);
        }
        {
            SCOPED_TRACE("按标题排序(&S)");
            // The right click selects the entry, which stays selected where the sort puts it.
            const HWND clicked = Listed()[1];
            ASSERT_TRUE(OpenMenu(RightClickOn(1)));
            ASSERT_NO_FATAL_FAILURE(Choose('S'));
            // Numbered titles: their sorted order is their creation order.
            check(m_created, static_cast<int>(std::find(m_created.begin(), m_created.end(), clicked) - m_created.begin()));
        }
        {
            SCOPED_TRACE("刷新列表(&R)");
            // A window that closes takes no activation away from the menu.
            ::PostMessageA(m_created[0], WM_CLOSE, 0, 0);
            ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(m_created[0]); }));
            ASSERT_EQ(static_cast<int>(kSamples), m_list->GetCount());
            ASSERT_TRUE(OpenMenu(menuKey));
            ASSERT_NO_FATAL_FAILURE(Choose('R'));
            EXPECT_EQ(static_cast<int>(kSamples - 1), m_list->GetCount());
        }
    }

    // The program with a list order that the taskbar loses when the stand-in
    // restarts (its buttons then come in window-enumeration order): the
    // TaskbarCreated broadcast puts them back in the list's order.
    void CheckRestoreAfterRestart(bool toolbar)
    {
        ASSERT_NO_FATAL_FAILURE(StartTaskbar(toolbar));
        ASSERT_NO_FATAL_FAILURE(StartCorvane(toolbar ? "winxp" : "win2k"));
        // On a toolbar taskbar the list starts in window order: move one.
        ASSERT_TRUE(m_list->Select(4));
        ASSERT_TRUE(Click(IDC_MOVE_UP));
        ASSERT_TRUE(Click(IDC_MOVE_UP));
        const Windows expected = Listed();
        ASSERT_NE(expected, InZOrder(expected)) << "the restart must lose the order for this test to see it put back";

        m_standin.Stop();
        ASSERT_NO_FATAL_FAILURE(StartStandin(toolbar));
        // The program looks for 10 s; make bench times the restore.
        EXPECT_TRUE(WaitUntil([&] { return OnTaskbar() == expected; }, 15000))
            << "the order was not put back after the broadcast";
        EXPECT_EQ(expected, Listed());
        // Nothing but the arrangement: no probe, no activation.
        ASSERT_TRUE(Sync());
        const auto calls = m_client.GetCalls();
        EXPECT_EQ(2 * kSamples, calls.size());
        for (const auto& call : calls)
            EXPECT_NE(StandinOpActivateTab, call.op);
    }

    CChildProcess m_samples;
    Windows m_created;
};

TEST_F(E2eTest, OnATabControlTaskbarTheListFollowsTheTaskbarsOrder)
{
    ASSERT_NO_FATAL_FAILURE(StartTaskbar(false));
    ASSERT_NO_FATAL_FAILURE(StartCorvane("win2k"));

    const Windows taskbar = OnTaskbar();
    EXPECT_EQ(taskbar, Listed());
    EXPECT_GT(m_client.GetHostQueries(), 0) << "the order was found by asking the tab control";
    ASSERT_EQ(kSamples, taskbar.size()) << "the program's own window owns no button";
    // Titles reach the list intact through the ANSI calls, Chinese included.
    EXPECT_EQ(CString(AnsiText("任务窗口 2")), m_list->GetText(0));
    for (size_t i = 0; i < taskbar.size(); ++i)
        EXPECT_EQ(WindowText(taskbar[i]), m_list->GetText(static_cast<int>(i)));
    EXPECT_TRUE(::GetWindowLongA(m_main, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(::GetWindowLongA(m_main, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    // The program's manifest asks for the version-6 common controls: the
    // loader takes comctl32 from that assembly, not from the system folder.
    const std::vector<CString> comctl = LoadedModules(m_main, "comctl32.dll");
    ASSERT_FALSE(comctl.empty());
    for (const CString& path : comctl)
        EXPECT_NE(std::string::npos, path.str().find("common-controls_6595b64144ccf1df_6.")) << path.str();
}

TEST_F(E2eTest, OnAToolbarTaskbarTheListHasTheWindowOrder)
{
    ASSERT_NO_FATAL_FAILURE(StartTaskbar(true));
    ASSERT_NO_FATAL_FAILURE(StartCorvane("winxp"));

    const Windows taskbar = OnTaskbar();
    const Windows zOrder = InZOrder(taskbar);
    ASSERT_NE(taskbar, zOrder) << "the two orders must differ for this test to tell them apart";
    EXPECT_EQ(zOrder, Listed());
    EXPECT_EQ(0, m_client.GetHostQueries()) << "a toolbar cannot be asked for its focus";
}

TEST_F(E2eTest, MoveUpAndMoveDownReorderTaskbarAndListAlikeAndKeepTheSelection)
{
    ASSERT_NO_FATAL_FAILURE(StartTaskbar(false));
    ASSERT_NO_FATAL_FAILURE(StartCorvane());
    const Windows w = Listed();
    ASSERT_EQ(kSamples, w.size());

    ASSERT_TRUE(m_list->Select(2));
    ASSERT_NO_FATAL_FAILURE(Press(IDC_MOVE_UP, AnsiText("上移")));
    const Windows up{w[0], w[2], w[1], w[3], w[4]};
    EXPECT_EQ(up, Listed());
    EXPECT_EQ(up, OnTaskbar());
    EXPECT_EQ(1, m_list->GetSelected());

    ASSERT_NO_FATAL_FAILURE(Press(IDC_MOVE_DOWN, AnsiText("下移")));
    ASSERT_NO_FATAL_FAILURE(Press(IDC_MOVE_DOWN, AnsiText("下移")));
    const Windows down{w[0], w[1], w[3], w[2], w[4]};
    EXPECT_EQ(down, Listed());
    EXPECT_EQ(down, OnTaskbar());
    EXPECT_EQ(3, m_list->GetSelected());
    EXPECT_EQ(1, m_list->GetSelectedCount());
}

TEST_F(E2eTest, RealMouseDragOfEntry3OntoEntry1MovesItThereUnselected)
{
    ASSERT_NO_FATAL_FAILURE(StartTaskbar(false));
    ASSERT_NO_FATAL_FAILURE(StartCorvane());
    const Windows w = Listed();
    ASSERT_EQ(kSamples, w.size());

    ASSERT_TRUE(Drag(3, 1));
    const Windows expected{w[0], w[3], w[1], w[2], w[4]};
    EXPECT_TRUE(WaitUntil([&] { return OnTaskbar() == expected; })) << "the taskbar did not follow the drop";
    // A pointer resting on an entry selects it after a while: take it away.
    ParkPointer();
    EXPECT_EQ(expected, Listed());
    EXPECT_EQ(0, m_list->GetSelectedCount());
}

TEST_F(E2eTest, AltRRefreshesTheListAndPicksUpANewWindow)
{
    ASSERT_NO_FATAL_FAILURE(StartTaskbar(false));
    ASSERT_NO_FATAL_FAILURE(StartCorvane());
    CChildProcess more;
    const Windows opened = OpenSamples(more, AnsiText("--count 1 --prefix 新窗口").c_str(), 1);
    ASSERT_EQ(1u, opened.size());
    const HWND added = opened.front();
    ASSERT_EQ(kSamples + 1, OnTaskbar().size());
    ASSERT_EQ(static_cast<int>(kSamples), m_list->GetCount()) << "nothing refreshes by itself";

    ASSERT_NO_FATAL_FAILURE(PressKeysOn(m_main, [] { RealInput::Chord(VK_MENU, 'R'); }));
    // The probe answers this process's questions between its steps: wait for
    // the end state rather than the first sign of the refresh.
    EXPECT_TRUE(WaitUntil([&] { return m_list->GetCount() == static_cast<int>(kSamples + 1) && Listed() == OnTaskbar(); }))
        << "Alt+R did not refresh the list";
    const Windows listed = Listed();
    const auto at = std::find(listed.begin(), listed.end(), added);
    ASSERT_NE(listed.end(), at);
    EXPECT_EQ(CString(AnsiText("新窗口 1")), m_list->GetText(static_cast<int>(at - listed.begin())));
}

TEST_F(E2eTest, EnterAndEscCloseTheProgramAndTheTaskbarKeepsItsNewOrder)
{
    ASSERT_NO_FATAL_FAILURE(StartTaskbar(false));
    for (WORD key : {WORD{VK_RETURN}, WORD{VK_ESCAPE}}) {
        SCOPED_TRACE(key == VK_RETURN ? "Enter" : "Esc");
        ASSERT_NO_FATAL_FAILURE(StartCorvane());
        // The second run finds the order that the first one left.
        const Windows w = Listed();
        ASSERT_EQ(OnTaskbar(), w);
        ASSERT_TRUE(m_list->Select(1));
        ASSERT_NO_FATAL_FAILURE(Press(IDC_MOVE_UP, AnsiText("上移")));
        const Windows moved{w[1], w[0], w[2], w[3], w[4]};
        ASSERT_EQ(moved, OnTaskbar());

        // The click left the focus on "上移", where Enter would press it
        // again; with the focus in the list Enter goes to the default button.
        ::SendMessageA(m_main, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_list->GetHwnd()), TRUE);
        ASSERT_NO_FATAL_FAILURE(BringToFront(m_main));
        ASSERT_EQ(m_list->GetHwnd(), FocusOfThread(m_main));
        m_client.ClearLog();
        ASSERT_NO_FATAL_FAILURE(PressKeysOn(m_main, [key] { RealInput::Key(key); }));
        ASSERT_TRUE(m_corvane.WaitForExit(5000)) << "the program did not end";
        EXPECT_EQ(moved, OnTaskbar());
        EXPECT_EQ(0, m_client.GetCallCount()) << "closing touched the taskbar";
    }
}

TEST_F(E2eTest, AltAAndTheSystemMenuOpenTheAboutBoxAndTheProgramGoesOn)
{
    ASSERT_NO_FATAL_FAILURE(StartTaskbar(false));
    ASSERT_NO_FATAL_FAILURE(StartCorvane());

    ASSERT_NO_FATAL_FAILURE(PressKeysOn(m_main, [] { RealInput::Chord(VK_MENU, 'A'); }));
    {
        SCOPED_TRACE("Alt+A");
        ASSERT_NO_FATAL_FAILURE(CheckAboutBoxAndCloseWithEnter());
    }
    ::PostMessageA(m_main, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    {
        SCOPED_TRACE("system menu");
        ASSERT_NO_FATAL_FAILURE(CheckAboutBoxAndCloseWithEnter());
    }

    const Windows w = Listed();
    ASSERT_TRUE(m_list->Select(0));
    ASSERT_NO_FATAL_FAILURE(Press(IDC_MOVE_DOWN, AnsiText("下移")));
    const Windows moved{w[1], w[0], w[2], w[3], w[4]};
    EXPECT_EQ(moved, Listed());
    EXPECT_EQ(moved, OnTaskbar());
}

TEST_F(E2eTest, KeysAndMenuCommandsReorderATabControlTaskbarAndTheListAlike)
{
    CheckKeysAndMenu(false);
}

TEST_F(E2eTest, KeysAndMenuCommandsReorderAToolbarTaskbarAndTheListAlike)
{
    CheckKeysAndMenu(true);
}

TEST_F(E2eTest, ARestartedTabControlTaskbarIsPutBackInTheListsOrder)
{
    CheckRestoreAfterRestart(false);
}

TEST_F(E2eTest, ARestartedToolbarTaskbarIsPutBackInTheListsOrder)
{
    CheckRestoreAfterRestart(true);
}
