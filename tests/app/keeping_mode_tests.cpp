// Keeping the order where the shell is missing or slow: no watch without a
// taskbar, a refresh that keeps the remembered order, the notification icon
// that the shell takes late or never, writes that fail, and the platform's
// rules for the icon's menu.
#include "app_fixture.h"
#include "standin/child_process.h"
#include "standin/standin_client.h"
#include "tests/support/ansi_text.h"
#include "tests/support/dialog_watcher.h"
#include "tests/support/process_windows.h"
#include "framework/reg_key.h"

namespace {

std::string OwnExecutable()
{
    char path[MAX_PATH] = {};
    return std::string(path, ::GetModuleFileNameA(nullptr, path, MAX_PATH));
}

class KeepingTest : public MainDlgTest {
protected:
    void Command(UINT id) { m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    // The sample program's window: another program's.
    HWND StartSample()
    {
        if (!m_samples.Start(ModuleRelativePath(STANDIN_RELATIVE_DIR "/corvane_samples.exe"), "--count 1 --prefix A"))
            return nullptr;
        HWND sample = nullptr;
        PumpMessagesUntil(
            [&] {
                const std::vector<HWND> shown = TopLevelWindows(m_samples.GetId());
                sample = shown.empty() ? nullptr : shown.front();
                return sample != nullptr;
            },
            10000);
        ::WaitForInputIdle(m_samples.GetProcess(), 10000);
        if (sample)
            m_handles.push_back(sample);
        return sample;
    }
    // The programs of the listed windows, a letter each: C for this one, A
    // for the sample program.
    std::string Programs() const
    {
        std::string letters;
        for (HWND hWnd : Listed()) {
            DWORD process = 0;
            ::GetWindowThreadProcessId(hWnd, &process);
            letters += process == ::GetCurrentProcessId() ? 'C' : 'A';
        }
        return letters;
    }
    std::string Remembered() const
    {
        std::string letters;
        for (const std::string& program : m_dlg.Store().ReadOrder())
            letters += program == OwnExecutable() ? 'C' : 'A';
        return letters;
    }

    CChildProcess m_samples;
};

TEST_F(KeepingTest, WithoutATaskbarTheWatchListsNothingAndCallsNoShellUntilOneComes)
{
    m_shell.reset();
    m_shell = std::make_unique<CFakeShell>(FakeTaskbarLayout::NoTray());
    AddWindows(2);
    Open();
    Command(ID_KEEP_ORDER);
    ASSERT_TRUE(m_dlg.Store().ReadKeepOrder());
    m_shell->ClearCalls();

    m_dlg.Watch();
    EXPECT_EQ(0u, ListCount()) << "listed without a taskbar";
    EXPECT_TRUE(m_shell->Calls().empty());

    // A shell starts: its restore, then the watch as before.
    m_shell.reset();
    m_shell = std::make_unique<CFakeShell>();
    m_shell->SetButtons(m_handles);
    RestartShellNow();
    m_dlg.Watch();
    EXPECT_EQ(2u, Listed().size());
    EXPECT_EQ(Listed(), OnTaskbar());
}

TEST_F(KeepingTest, ARefreshWhileKeptPutsTheRememberedOrderBackAndRemembersNewPrograms)
{
    AddWindows(2);
    Open();
    Command(ID_KEEP_ORDER);
    ASSERT_EQ("C", Remembered());

    // Another program comes, and the taskbar stands in another order than
    // the remembered one, as a refresh on a toolbar taskbar lists it.
    const HWND sample = StartSample();
    ASSERT_TRUE(sample);
    m_shell->SetButtons({sample, m_handles[1], m_handles[0]});
    Click(IDC_REFRESH);
    EXPECT_EQ("CCA", Programs());
    EXPECT_EQ(Listed(), OnTaskbar());
    EXPECT_EQ("CA", Remembered());

    // With the mode off a refresh lists what it finds, as always.
    Command(ID_KEEP_ORDER);
    m_shell->SetButtons({sample, m_handles[1], m_handles[0]});
    Click(IDC_REFRESH);
    EXPECT_EQ('A', Programs()[0]);
}

TEST_F(KeepingTest, AHiddenStartOffersARefusedIconAgainChangeFirstAndShowsWhenItIsRefusedForGood)
{
    AddWindows(1);
    ASSERT_TRUE(m_dlg.Store().WriteKeepOrder(true));
    m_shell->SetTakesIcons(false);
    m_dlg.Keeping().SetIconRetry(50, 1500);
    m_dlg.SetTrayStart(true);
    Open();
    EXPECT_FALSE(m_dlg.IsWindowVisible());
    ASSERT_TRUE(PumpMessagesUntil([&] { return m_shell->IconCalls().size() >= 3; }, 5000)) << "not offered again";
    EXPECT_EQ((std::vector<DWORD>{NIM_ADD, NIM_MODIFY, NIM_ADD}),
              std::vector<DWORD>(m_shell->IconCalls().begin(), m_shell->IconCalls().begin() + 3));
    EXPECT_FALSE(m_dlg.IsWindowVisible()) << "shown while the icon was still offered";

    ASSERT_TRUE(PumpMessagesUntil([&] { return m_dlg.IsWindowVisible() != FALSE; }, 10000)) << "still hidden";
    const size_t offered = m_shell->IconCalls().size();
    PumpMessagesFor(300);
    EXPECT_EQ(offered, m_shell->IconCalls().size()) << "offered after giving up";
}

TEST_F(KeepingTest, TheOffersEndWhenTheShellTakesTheIconOrANewShellDoes)
{
    AddWindows(1);
    Open();
    m_dlg.Keeping().SetIconRetry(50, 60000);
    m_shell->SetTakesIcons(false);
    Command(ID_KEEP_ORDER);
    // An earlier add that landed late: the shell takes the change.
    m_shell->SetTakesIcons(true);
    ASSERT_TRUE(PumpMessagesUntil([&] { return m_shell->IconCalls().size() >= 2; }, 5000)) << "not offered again";
    EXPECT_EQ(static_cast<DWORD>(NIM_MODIFY), m_shell->IconCalls()[1]);
    size_t offered = m_shell->IconCalls().size();
    PumpMessagesFor(300);
    EXPECT_EQ(offered, m_shell->IconCalls().size()) << "offered once it was in";
    // In: closing hides the window to it.
    Command(IDCANCEL);
    ASSERT_NE(nullptr, m_dlg.m_hWnd);
    EXPECT_FALSE(m_dlg.IsWindowVisible());

    // A new shell that refuses it too: offered again; the next new shell
    // takes it, and the offers end.
    m_shell->SetTakesIcons(false);
    TaskbarCreated();
    offered = m_shell->IconCalls().size();
    ASSERT_TRUE(PumpMessagesUntil([&] { return m_shell->IconCalls().size() >= offered + 2; }, 5000));
    m_shell->SetTakesIcons(true);
    TaskbarCreated();
    offered = m_shell->IconCalls().size();
    PumpMessagesFor(300);
    EXPECT_EQ(offered, m_shell->IconCalls().size());
    EXPECT_FALSE(m_dlg.IsWindowVisible());
}

TEST_F(KeepingTest, AFailedWriteIsSaidOnceAndTheCheckMarksShowWhatWasStored)
{
    // A volatile key takes no lasting key under it: every write of the
    // store, which makes lasting keys, fails.
    HKEY root = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CURRENT_USER, kTestKeysRoot, 0, nullptr, REG_OPTION_VOLATILE,
                                               KEY_ALL_ACCESS, nullptr, &root, nullptr));
    ::RegCloseKey(root);
    ASSERT_FALSE(m_dlg.Store().WriteKeepOrder(true)) << "the key takes writes";

    AddWindows(2);
    Open();
    CDialogWatcher boxes;
    Command(ID_KEEP_ORDER);
    Command(ID_TRAY_START_AT_LOGON);
    Select(0);
    Click(IDC_MOVE_DOWN);
    ASSERT_EQ(1u, boxes.Count());
    EXPECT_EQ("Corvane", boxes.Seen()[0].caption);
    EXPECT_EQ(AnsiText("无法保存 Corvane 的设置，此顺序在下次启动时不会恢复。"), boxes.Seen()[0].text);
    EXPECT_TRUE(boxes.Seen()[0].exclamationIcon);

    bool listKeep = true, iconKeep = true, atLogon = true;
    InListMenu(m_dlg, List(), -1, [&](HWND popup) {
        listKeep = IsChecked(reinterpret_cast<HMENU>(::SendMessageA(popup, MN_GETHMENU, 0, 0)), ID_KEEP_ORDER);
    });
    InMenu([&] { m_dlg.OnIcon(WM_RBUTTONUP); }, [&](HWND popup) {
        HMENU menu = reinterpret_cast<HMENU>(::SendMessageA(popup, MN_GETHMENU, 0, 0));
        iconKeep = IsChecked(menu, ID_KEEP_ORDER);
        atLogon = IsChecked(menu, ID_TRAY_START_AT_LOGON);
    });
    EXPECT_FALSE(listKeep);
    EXPECT_FALSE(iconKeep);
    EXPECT_FALSE(atLogon);
    EXPECT_EQ(1u, boxes.Count());
}

TEST_F(KeepingTest, TheIconsMenuPostsAMessageAfterItEnds)
{
    AddWindows(1);
    Open();
    Command(ID_KEEP_ORDER);
    PumpMessages();
    InMenu([&] { m_dlg.OnIcon(WM_RBUTTONUP); }, [](HWND) {});
    // Still queued: posted once the menu's own loop had ended, which takes
    // every message of the thread while it runs.
    bool posted = false;
    MSG msg{};
    while (::PeekMessageA(&msg, m_dlg.m_hWnd, 0, 0, PM_REMOVE))
        posted = posted || msg.message == WM_NULL;
    EXPECT_TRUE(posted);
}

TEST_F(KeepingTest, ARefreshTellsTheEmptyListWhetherATaskbarIsThere)
{
    Open();
    const CString withTaskbar = m_dlg.EmptyText();
    m_shell.reset();
    m_shell = std::make_unique<CFakeShell>(FakeTaskbarLayout::NoTray());
    Click(IDC_REFRESH);
    const CString without = m_dlg.EmptyText();
    EXPECT_NE(withTaskbar, without);
    m_shell.reset();
    m_shell = std::make_unique<CFakeShell>();
    Click(IDC_REFRESH);
    EXPECT_EQ(withTaskbar, m_dlg.EmptyText());
}

}  // namespace
