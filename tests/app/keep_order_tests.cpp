// Keeping the order in the main window: its menu items, the reorderings it
// remembers, the watch that waits for nested loops, the notification icon's
// menu, and the command line that starts it hidden. Windows of two programs:
// this test's own and the sample program's, run in a process of its own.
#include "app_fixture.h"
#include "standin/child_process.h"
#include "standin/standin_client.h"
#include "tests/support/ansi_text.h"
#include "tests/support/dialog_watcher.h"

namespace {

using Strings = std::vector<std::string>;

std::string OwnExecutable()
{
    char path[MAX_PATH] = {};
    return std::string(path, ::GetModuleFileNameA(nullptr, path, MAX_PATH));
}

BOOL CALLBACK FindVisible(HWND hWnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<std::pair<DWORD, HWND>*>(lParam);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hWnd, &processId);
    if (processId != search->first || !::IsWindowVisible(hWnd))
        return TRUE;
    search->second = hWnd;
    return FALSE;
}

class KeepOrderTest : public DragTest {
protected:
    // This program's windows C0 and C1, then the sample program's window A,
    // on the taskbar and in the list in that order.
    void OpenWithSample()
    {
        AddWindows(2);
        ASSERT_TRUE(m_samples.Start(ModuleRelativePath(STANDIN_RELATIVE_DIR "/corvane_samples.exe"), "--count 1 --prefix A"));
        std::pair<DWORD, HWND> search{m_samples.GetId(), nullptr};
        ASSERT_TRUE(PumpMessagesUntil([&] { return !::EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search)); }, 10000));
        ASSERT_EQ(0u, ::WaitForInputIdle(m_samples.GetProcess(), 10000));
        m_handles.push_back(search.second);
        m_shell->SetButtons(m_handles);
        Open();
        ASSERT_EQ(m_handles, Listed());
    }
    // A new window of this program, whose button the shell appends.
    HWND OpenWindow()
    {
        m_windows.push_back(CTestWindow::Create(m_class, AnsiText("新窗口")));
        m_handles.push_back(m_windows.back());
        std::vector<HWND> buttons = m_shell->Buttons();
        buttons.push_back(m_windows.back());
        m_shell->SetButtons(buttons);
        return m_windows.back();
    }
    void Command(UINT id) { m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    // The programs of the remembered order, first letters only: C or A.
    std::string Remembered() const
    {
        std::string letters;
        for (const std::string& program : m_dlg.Store().ReadOrder())
            letters += program == OwnExecutable() ? 'C' : 'A';
        return letters;
    }

    CChildProcess m_samples;
};

TEST_F(MainDlgTest, TheListsMenuRegroupsAndKeepsTheOrderWithACheckMarkWhileOn)
{
    AddWindows(3);
    Open();
    Strings texts;
    bool checked = true;
    UINT group = 0, keep = 0;
    const auto look = [&] {
        InListMenu(m_dlg, List(), -1, [&](HWND popup) {
            HMENU menu = reinterpret_cast<HMENU>(::SendMessageA(popup, MN_GETHMENU, 0, 0));
            texts = MenuTexts(menu);
            checked = IsChecked(menu, ID_KEEP_ORDER);
            group = ::GetMenuItemID(menu, 6);
            keep = ::GetMenuItemID(menu, 9);
        });
    };
    look();
    const Strings expected{"上移(&U)\tCtrl+Up", "下移(&D)\tCtrl+Down", "移到最前(&T)\tCtrl+Home", "移到最后(&B)\tCtrl+End",
                           "-", "按标题排序(&S)", "按程序归类(&G)", "按列表排列任务栏(&A)", "-", "保持此顺序(&K)", "-",
                           "刷新列表(&R)"};
    ASSERT_EQ(expected.size(), texts.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(AnsiText(expected[i].c_str()), texts[i]) << i;
    EXPECT_EQ(static_cast<UINT>(ID_TASK_GROUP_BY_PROGRAM), group);
    EXPECT_EQ(static_cast<UINT>(ID_KEEP_ORDER), keep);
    EXPECT_FALSE(checked);

    // On: the taskbar arranged by the list, two calls per entry.
    m_shell->ClearCalls();
    m_dlg.SendMessage(WM_COMMAND, ID_KEEP_ORDER);
    EXPECT_EQ(2 * ListCount(), m_shell->Calls().size());
    EXPECT_TRUE(m_dlg.Store().ReadKeepOrder());
    look();
    EXPECT_TRUE(checked);

    m_dlg.SendMessage(WM_COMMAND, ID_KEEP_ORDER);
    EXPECT_FALSE(m_dlg.Store().ReadKeepOrder());
    look();
    EXPECT_FALSE(checked);
}

TEST_F(KeepOrderTest, WhileOnEveryReorderingIsRememberedAndTheWatchPlacesANewWindowWithItsProgram)
{
    ASSERT_NO_FATAL_FAILURE(OpenWithSample());
    const HWND c0 = m_handles[0], c1 = m_handles[1], a = m_handles[2];
    Command(ID_KEEP_ORDER);
    EXPECT_EQ("CA", Remembered());

    struct Step {
        const char* name;
        std::function<void()> action;
        std::vector<HWND> listed;
    };
    const auto select = [this](HWND hWnd) { Select(IndexOf(hWnd)); };
    const Step steps[] = {
        {"移到最前", [&] { select(a); Command(ID_TASK_MOVE_TOP); }, {a, c0, c1}},
        {"下移", [&] { Click(IDC_MOVE_DOWN); }, {c0, a, c1}},
        {"上移", [&] { Click(IDC_MOVE_UP); }, {a, c0, c1}},
        {"移到最后", [&] { Command(ID_TASK_MOVE_BOTTOM); }, {c0, c1, a}},
        // "A 1" comes before the Chinese titles.
        {"按标题排序", [&] { Command(ID_TASK_SORT_BY_TITLE); }, {a, c0, c1}},
        {"a drag", [&] { Drag(IndexOf(a), LabelOf(IndexOf(c1))); }, {c0, c1, a}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.action();
        ASSERT_EQ(step.listed, Listed());
        EXPECT_EQ(Listed(), OnTaskbar());
        EXPECT_EQ(step.listed.front() == a ? "AC" : "CA", Remembered());
    }

    // The watch's next look: the new window joins its program, and only the
    // buttons from its place on are taken off and added again.
    const HWND added = OpenWindow();
    m_shell->ClearCalls();
    m_dlg.Watch();
    EXPECT_EQ((std::vector<HWND>{c0, c1, added, a}), Listed());
    EXPECT_EQ(Listed(), OnTaskbar());
    EXPECT_EQ((std::vector<TaskbarCall>{{TaskbarOp::DeleteTab, added}, {TaskbarOp::DeleteTab, a},
                                        {TaskbarOp::AddTab, added}, {TaskbarOp::AddTab, a}}),
              m_shell->Calls());
}

TEST_F(KeepOrderTest, TheWatchWaitsForTheListsMenuTheAboutBoxAndTheRestore)
{
    AddWindows(2);
    Open();
    Command(ID_KEEP_ORDER);
    OpenWindow();
    const size_t before = ListCount();

    size_t inMenu = 0, inBox = 0;
    InListMenu(m_dlg, List(), -1, [&](HWND) {
        m_dlg.Watch();
        inMenu = ListCount();
    });
    {
        CDialogWatcher watcher([&](HWND about) {
            if (about == m_dlg.m_hWnd)
                return false;
            m_dlg.Watch();
            inBox = ListCount();
            CDialogWatcher::PressEnter(about);
            return true;
        });
        Click(IDC_ABOUT);
    }
    EXPECT_EQ(before, inMenu);
    EXPECT_EQ(before, inBox);
    TaskbarCreated();
    m_dlg.Watch();
    EXPECT_EQ(before, ListCount()) << "watched while the restore waited for the new taskbar";

    // Two looks at an unchanged taskbar end the restore; the watch goes on.
    m_dlg.LookAtTaskbar();
    m_dlg.LookAtTaskbar();
    m_dlg.Watch();
    EXPECT_EQ(before + 1, ListCount());
    EXPECT_EQ(Listed(), OnTaskbar());
}

TEST_F(KeepOrderTest, WhileOnTheIconOffersItsMenuAndClosingHidesTheWindowThatTheIconShows)
{
    AddWindows(1);
    Open();
    Command(ID_KEEP_ORDER);

    // The icon's menu, "登录时启动" checked once the Run value is set.
    Strings texts;
    bool keep = false, atLogon = true;
    const auto look = [&] {
        InMenu([&] { m_dlg.OnIcon(WM_RBUTTONUP); }, [&](HWND popup) {
            HMENU menu = reinterpret_cast<HMENU>(::SendMessageA(popup, MN_GETHMENU, 0, 0));
            texts = MenuTexts(menu);
            keep = IsChecked(menu, ID_KEEP_ORDER);
            atLogon = IsChecked(menu, ID_TRAY_START_AT_LOGON);
        });
    };
    look();
    EXPECT_EQ((Strings{AnsiText("显示 Corvane(&S)"), AnsiText("保持此顺序(&K)"), AnsiText("登录时启动(&L)"), "-",
                       AnsiText("退出(&X)")}),
              texts);
    EXPECT_TRUE(keep);
    EXPECT_FALSE(atLogon);
    Command(ID_TRAY_START_AT_LOGON);
    EXPECT_TRUE(m_dlg.Store().IsStartedAtLogon(OwnExecutable()));
    look();
    EXPECT_TRUE(atLogon);
    Command(ID_TRAY_START_AT_LOGON);
    EXPECT_FALSE(m_dlg.Store().IsStartedAtLogon(OwnExecutable()));

    for (UINT close : {IDOK, IDCANCEL}) {
        Command(close);
        ASSERT_NE(nullptr, m_dlg.m_hWnd);
        EXPECT_FALSE(m_dlg.IsWindowVisible()) << close;
        m_dlg.OnIcon(close == IDOK ? WM_LBUTTONUP : WM_LBUTTONDBLCLK);
        EXPECT_TRUE(m_dlg.IsWindowVisible()) << close;
    }

    // Turned off while hidden: the window comes back.
    Command(IDCANCEL);
    Command(ID_KEEP_ORDER);
    EXPECT_TRUE(m_dlg.IsWindowVisible());
    EXPECT_FALSE(m_dlg.Store().ReadKeepOrder());

    // On again, over a shell that refuses the icon: nothing could show a
    // hidden window, so closing ends it.
    Command(ID_KEEP_ORDER);
    m_shell->SetTakesIcons(false);
    TaskbarCreated();
    Command(IDCANCEL);
    EXPECT_EQ(nullptr, m_dlg.m_hWnd);
    EXPECT_TRUE(m_dlg.Store().ReadKeepOrder());
}

TEST(MainApp, OnlyAnArgumentSlashTrayStartsInTheNotificationArea)
{
    EXPECT_TRUE(IsTrayStart("\"C:\\Program Files\\corvane.exe\" /tray"));
    EXPECT_TRUE(IsTrayStart("corvane.exe /TRAY"));
    EXPECT_TRUE(IsTrayStart("\"corvane.exe\"\t-x /Tray"));
    EXPECT_FALSE(IsTrayStart("corvane.exe"));
    EXPECT_FALSE(IsTrayStart("\"C:\\a /tray\\corvane.exe\""));
    EXPECT_FALSE(IsTrayStart("C:\\tray\\corvane.exe /trayx"));
    EXPECT_FALSE(IsTrayStart("corvane.exe tray"));
    EXPECT_FALSE(IsTrayStart("/tray"));
}

}  // namespace
