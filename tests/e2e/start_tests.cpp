// Starts of corvane.exe: one copy at a time (a second start shows the first
// copy's window and ends, a second start at logon, /tray, ends without
// showing anything, and a second start ends on its own when the first copy
// does not answer), and a hidden start whose icon the shell refuses at first.
// The values the program writes under HKEY_CURRENT_USER\Software\Corvane
// go before and after each test.
#include "e2e_session.h"
#include "engine/order_store.h"
#include "resource.h"

namespace {

// The program's own names for the session's copy: its mutex and its main
// window's mark.
constexpr char kOneCopyMutex[] = "Corvane.OneCopy.8C1F2D6E";
constexpr char kWindowMark[] = "Corvane.MainWindow.8C1F2D6E";

class E2eStart : public E2eKeepingSession {
protected:
    void EndOtherProcesses() override { m_second.Terminate(); }
    // Starts corvane.exe once more and waits for it to end; false when it
    // did not end within timeoutMs.
    bool StartAgain(LPCSTR arguments, DWORD timeoutMs = 15000)
    {
        if (!m_second.Start(CorvaneExe(), arguments))
            return false;
        return m_second.WaitForExit(timeoutMs);
    }

    bool HasIcon() const
    {
        for (const CStandinClient::CNotifyIcon& shown : m_client.GetNotifyIcons()) {
            if (shown.owner == m_main)
                return true;
        }
        return false;
    }

    CChildProcess m_second;
};

TEST_F(E2eStart, ASecondStartShowsTheFirstCopysWindowAndEndsAndASecondStartAtLogonShowsNothing)
{
    ASSERT_NO_FATAL_FAILURE(StartStandin());
    ASSERT_TRUE(COrderStore().WriteKeepOrder(true));
    ASSERT_NO_FATAL_FAILURE(StartCorvane("win2k", 10000, "/tray", false));
    ASSERT_FALSE(::IsWindowVisible(m_main));

    ASSERT_TRUE(StartAgain("")) << "the second copy did not end";
    EXPECT_TRUE(m_corvane.IsRunning());
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(m_main) != FALSE; })) << "the first copy's window stayed hidden";
    EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == m_main; })) << "not brought to the front";

    // Hidden to its icon again; a start at logon finds it and ends.
    ASSERT_TRUE(WaitUntil([&] {
        ::PostMessageA(m_main, WM_COMMAND, IDCANCEL, 0);
        return WaitUntil([&] { return !::IsWindowVisible(m_main); }, 1000);
    }, 10000)) << "not hidden to the icon";
    ASSERT_TRUE(StartAgain("/tray")) << "the second copy at logon did not end";
    EXPECT_TRUE(m_corvane.IsRunning());
    ASSERT_TRUE(Sync());
    EXPECT_FALSE(::IsWindowVisible(m_main)) << "a start at logon showed the first copy";
}

TEST_F(E2eStart, ASecondStartEndsWithoutABoxWhenTheFirstCopyDoesNotAnswer)
{
    // The first copy, as a later start sees it: the mutex and a marked
    // window on a thread that does not take its messages while the test
    // waits.
    CHandle mutex(::CreateMutexA(nullptr, FALSE, kOneCopyMutex));
    ASSERT_TRUE(mutex);
    ASSERT_NE(static_cast<DWORD>(ERROR_ALREADY_EXISTS), ::GetLastError()) << "a copy runs already";
    HWND hung = ::CreateWindowExA(0, "STATIC", "Corvane", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(hung);
    ::SetPropA(hung, kWindowMark, reinterpret_cast<HANDLE>(1));
    ASSERT_TRUE(COrderStore().WriteKeepOrder(true));

    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(m_second.Start(CorvaneExe(), ""));
    const bool ended = m_second.WaitForExit(20000);
    const DWORD took = ::GetTickCount() - start;
    ::RemovePropA(hung, kWindowMark);
    ::DestroyWindow(hung);
    ASSERT_TRUE(ended) << "the second copy did not end";
    // It waited for the answer, and showed nothing meanwhile: the test's
    // window took no message, so a box would have kept it from ending.
    EXPECT_GE(took, 4000u);
}

TEST_F(E2eStart, WithoutTheOrderKeptASecondStartRunsBesideTheFirst)
{
    ASSERT_NO_FATAL_FAILURE(StartStandin());
    ASSERT_NO_FATAL_FAILURE(StartCorvane("win2k"));
    ASSERT_TRUE(m_second.Start(CorvaneExe(), ""));
    EXPECT_TRUE(WaitUntil([&] { return FindTopLevel(m_second.GetId(), "#32770", "Corvane") != nullptr; }))
        << "the second copy showed no window";
    EXPECT_TRUE(m_corvane.IsRunning());
    EXPECT_TRUE(m_second.IsRunning());
}

TEST_F(E2eStart, AHiddenStartGetsItsIconFromAShellThatRefusesItAtFirst)
{
    // As a shell that is still starting at logon.
    ASSERT_TRUE(m_standin.Start(StandinExe(), "--refuse-icons 3000"));
    m_client = CStandinClient(m_standin.GetTray());
    ASSERT_TRUE(COrderStore().WriteKeepOrder(true));
    ASSERT_NO_FATAL_FAILURE(StartCorvane("win2k", 10000, "/tray", false));
    EXPECT_TRUE(WaitUntil([&] { return HasIcon(); }, 20000)) << "no icon";
    EXPECT_FALSE(::IsWindowVisible(m_main));
}

}  // namespace
