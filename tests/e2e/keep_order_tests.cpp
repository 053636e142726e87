// Keeping the order with the real corvane.exe over the stand-in taskbar, on
// both kinds of taskbar: the sample program (A) and two copies of it under
// other file names (B, C), which are other programs; new windows, programs
// that end and start again, the program itself started again, and its
// notification icon. The values the program writes under
// HKEY_CURRENT_USER\Software\Corvane go before and after each test.
#include "e2e_session.h"
#include <map>
#include "engine/order_store.h"
#include "framework/reg_key.h"
#include "resource.h"

namespace {

constexpr char kSettingsKey[] = "Software\\Corvane";

bool SettingsExist()
{
    CRegKey key;
    return key.Open(HKEY_CURRENT_USER, kSettingsKey) == ERROR_SUCCESS;
}

CPoint CentreOf(HWND hWnd)
{
    CRect rect;
    ::GetWindowRect(hWnd, &rect);
    return CPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

}  // namespace

class E2eKeepOrder : public E2eKeepingSession {
protected:
    void EndOtherProcesses() override
    {
        for (CChildProcess* samples : {&m_a, &m_moreA, &m_b, &m_c})
            samples->Terminate();
    }

    // A command of the list's menu, chosen by its mnemonic.
    void ChooseFromList(char mnemonic)
    {
        ASSERT_TRUE(OpenMenu(RightClickOn(0)));
        ASSERT_NO_FATAL_FAILURE(Choose(mnemonic));
    }
    // The programs of the listed windows, a letter each.
    std::string Programs() const
    {
        std::string letters;
        for (HWND hWnd : Listed()) {
            DWORD process = 0;
            ::GetWindowThreadProcessId(hWnd, &process);
            const auto found = m_letters.find(process);
            letters += found == m_letters.end() ? '?' : found->second;
        }
        return letters;
    }
    // Waits until the list's programs are these and the taskbar agrees.
    void ExpectPrograms(const std::string& expected)
    {
        EXPECT_TRUE(WaitUntil([&] { return Programs() == expected && Listed() == OnTaskbar(); }, 15000))
            << "programs " << Programs() << ", expected " << expected
            << (Listed() == OnTaskbar() ? "" : "; the taskbar and the list disagree");
    }
    Windows Open(CChildProcess& process, char letter, const CString& exe, size_t count = 1)
    {
        CString arguments;
        arguments.Format("--count %u --prefix %c", static_cast<unsigned>(count), letter);
        const Windows opened = OpenSamples(process, arguments, count, 10000, exe);
        m_letters[process.GetId()] = letter;
        return opened;
    }

    // The stand-in's window of the program's notification icon, once it is
    // there; null when it did not come.
    HWND WaitForIcon()
    {
        HWND icon = nullptr;
        WaitUntil([&] {
            for (const CStandinClient::CNotifyIcon& shown : m_client.GetNotifyIcons()) {
                if (shown.owner == m_main && shown.tip == "Corvane")
                    icon = shown.window;
            }
            return icon != nullptr;
        });
        return icon;
    }
    bool HasIcon() const
    {
        for (const CStandinClient::CNotifyIcon& shown : m_client.GetNotifyIcons()) {
            if (shown.owner == m_main)
                return true;
        }
        return false;
    }
    void LeftClick(HWND icon)
    {
        EXPECT_TRUE(PointerTo(CentreOf(icon))) << "the pointer did not reach the icon";
        RealInput::LeftDown();
        RealInput::LeftUp();
    }
    std::function<void()> RightClickOnIcon(HWND icon)
    {
        return [icon] {
            EXPECT_TRUE(PointerTo(CentreOf(icon))) << "the pointer did not reach the icon";
            RealInput::RightClick();
        };
    }
    bool WaitShown(bool shown) { return WaitUntil([&] { return (::IsWindowVisible(m_main) != FALSE) == shown; }); }
    // A real click on the main window's close box, found where the window
    // says it is on its caption.
    void ClickCloseBox()
    {
        ASSERT_NO_FATAL_FAILURE(BringToFront(m_main));
        CRect window;
        ::GetWindowRect(m_main, &window);
        const int y = window.top + ::GetSystemMetrics(SM_CYSIZEFRAME) + ::GetSystemMetrics(SM_CYSMCAPTION) / 2;
        int right = 0, left = 0;
        for (int x = window.right - 1; x > window.right - 80 && (!right || left == 0); --x) {
            LRESULT hit = HTNOWHERE;
            SendWithin(m_main, WM_NCHITTEST, 0, MAKELPARAM(x, y), 5000, &hit);
            if (hit == HTCLOSE && !right)
                right = x;
            else if (hit != HTCLOSE && right)
                left = x + 1;
        }
        ASSERT_TRUE(right && left) << "no close box on the caption";
        RealInput::MoveTo(CPoint((left + right) / 2, y));
        RealInput::LeftDown();
        RealInput::LeftUp();
    }

    // New windows of a listed program, programs that end and start again,
    // and the program started again, each followed on the taskbar.
    void CheckPlacement(bool toolbar)
    {
        const LPCSTR version = toolbar ? "winxp" : "win2k";
        ASSERT_NO_FATAL_FAILURE(StartStandin(toolbar));
        const CString b = SamplesCopy("corvane_other.exe"), c = SamplesCopy("corvane_third.exe");
        Windows a = Open(m_a, 'A', SamplesExe(), 2);
        const Windows b1 = Open(m_b, 'B', b);
        const Windows c1 = Open(m_c, 'C', c);
        ASSERT_EQ(2u, a.size());
        ASSERT_NO_FATAL_FAILURE(ArrangeTaskbar({a[0], b1[0], a[1], c1[0]}));
        ASSERT_NO_FATAL_FAILURE(StartCorvane(version));

        // Regrouped and sorted by title without the mode: nothing is written.
        ASSERT_NO_FATAL_FAILURE(ChooseFromList('G'));
        EXPECT_NE(std::string::npos, Programs().find("AA")) << Programs();
        EXPECT_EQ(Listed(), OnTaskbar());
        ASSERT_NO_FATAL_FAILURE(ChooseFromList('S'));
        ExpectPrograms("AABC");
        EXPECT_FALSE(SettingsExist()) << "written while the mode is off";

        ASSERT_NO_FATAL_FAILURE(ChooseFromList('K'));
        EXPECT_TRUE(COrderStore().ReadKeepOrder());
        EXPECT_EQ(3u, COrderStore().ReadOrder().size());
        m_client.ClearLog();

        {
            SCOPED_TRACE("a new window of A joins A's windows");
            Open(m_moreA, 'A', SamplesExe());
            ExpectPrograms("AAABC");
        }
        {
            SCOPED_TRACE("B ended, and started again");
            m_b.Terminate();
            ExpectPrograms("AAAC");
            Open(m_b, 'B', b);
            ExpectPrograms("AAABC");
        }
        for (const CStandinClient::CCall& call : m_client.GetCalls())
            EXPECT_NE(StandinOpActivateTab, call.op) << "the watch activated a window";

        {
            SCOPED_TRACE("corvane.exe started again, with B ended and the taskbar in another order");
            ::PostMessageA(m_main, WM_COMMAND, ID_TRAY_EXIT, 0);
            ASSERT_TRUE(m_corvane.WaitForExit(5000));
            m_b.Terminate();
            ASSERT_TRUE(WaitUntil([&] { return OnTaskbar().size() == 4; }));
            Windows shuffled = OnTaskbar();
            std::reverse(shuffled.begin(), shuffled.end());
            ASSERT_NO_FATAL_FAILURE(ArrangeTaskbar(shuffled));
            ASSERT_NO_FATAL_FAILURE(StartCorvane(version));
            ExpectPrograms("AAAC");
        }
        {
            SCOPED_TRACE("B, started, lands at its remembered place");
            Open(m_b, 'B', b);
            ExpectPrograms("AAABC");
        }
    }

    // The notification icon: closing hides to it, clicks and its menu show
    // the window again, a restarted shell gets it back, "退出" ends the
    // program; /tray starts hidden only while the order is kept.
    void CheckIcon(bool toolbar)
    {
        const LPCSTR version = toolbar ? "winxp" : "win2k";
        ASSERT_NO_FATAL_FAILURE(StartStandin(toolbar));
        Open(m_a, 'A', SamplesExe(), 2);
        ASSERT_NO_FATAL_FAILURE(StartCorvane(version));
        EXPECT_FALSE(HasIcon());
        ASSERT_NO_FATAL_FAILURE(ChooseFromList('K'));
        HWND icon = WaitForIcon();
        ASSERT_TRUE(icon) << "no icon";

        ASSERT_NO_FATAL_FAILURE(ClickCloseBox());
        ASSERT_TRUE(WaitShown(false)) << "the close box did not hide the window";
        EXPECT_TRUE(m_corvane.IsRunning());
        LeftClick(icon);
        ASSERT_TRUE(WaitShown(true)) << "a click on the icon did not show the window";

        ASSERT_NO_FATAL_FAILURE(PressKeysOn(m_main, [] { RealInput::Key(VK_ESCAPE); }));
        ASSERT_TRUE(WaitShown(false)) << "Esc did not hide the window";
        ASSERT_TRUE(OpenMenu(RightClickOnIcon(icon)));
        ASSERT_NO_FATAL_FAILURE(Choose('S'));
        ASSERT_TRUE(WaitShown(true)) << "显示 Corvane did not show the window";

        m_standin.Stop();
        ASSERT_NO_FATAL_FAILURE(StartStandin(toolbar));
        icon = WaitForIcon();
        ASSERT_TRUE(icon) << "no icon on the restarted taskbar";
        EXPECT_TRUE(WaitUntil([&] { return Listed() == OnTaskbar(); }, 15000));

        ASSERT_TRUE(OpenMenu(RightClickOnIcon(icon)));
        RealInput::Key('X');
        ASSERT_TRUE(m_corvane.WaitForExit(5000)) << "退出 did not end the program";
        EXPECT_TRUE(WaitUntil([&] { return !HasIcon(); })) << "the icon stayed";

        // Hidden at start while the order is kept; turned off from the icon,
        // it shows, and closing ends it.
        ASSERT_NO_FATAL_FAILURE(StartCorvane(version, 10000, "/tray", false));
        icon = WaitForIcon();
        ASSERT_TRUE(icon);
        EXPECT_FALSE(::IsWindowVisible(m_main));
        EXPECT_NE(m_main, ::GetForegroundWindow());
        EXPECT_EQ(Listed(), OnTaskbar());
        ASSERT_TRUE(OpenMenu(RightClickOnIcon(icon)));
        ASSERT_NO_FATAL_FAILURE(Choose('K'));
        ASSERT_TRUE(WaitShown(true));
        EXPECT_TRUE(WaitUntil([&] { return !HasIcon(); }));
        EXPECT_FALSE(COrderStore().ReadKeepOrder());
        ASSERT_NO_FATAL_FAILURE(PressKeysOn(m_main, [] { RealInput::Key(VK_ESCAPE); }));
        ASSERT_TRUE(m_corvane.WaitForExit(5000)) << "with the mode off Esc did not end the program";

        ASSERT_NO_FATAL_FAILURE(StartCorvane(version, 10000, "/tray"));
        EXPECT_FALSE(HasIcon());
    }

    CChildProcess m_a, m_moreA, m_b, m_c;
    std::map<DWORD, char> m_letters;
};

TEST_F(E2eKeepOrder, OnATabControlTaskbarNewAndRestartedProgramsTakeTheirPlaces)
{
    CheckPlacement(false);
}

TEST_F(E2eKeepOrder, OnAToolbarTaskbarNewAndRestartedProgramsTakeTheirPlaces)
{
    CheckPlacement(true);
}

TEST_F(E2eKeepOrder, OnATabControlTaskbarTheIconHoldsTheHiddenWindow)
{
    CheckIcon(false);
}

TEST_F(E2eKeepOrder, OnAToolbarTaskbarTheIconHoldsTheHiddenWindow)
{
    CheckIcon(true);
}
