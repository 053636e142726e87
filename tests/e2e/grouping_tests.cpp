// The real corvane.exe over a stand-in taskbar that groups similar buttons, as
// the toolbar taskbars of XP, Server 2003 and Vista do by default: a new
// button whose program already has buttons goes after that program's last
// one. Three programs, the sample program (A) and two copies of it under other
// file names (B, C), whose six windows opened interleaved, A B C A B A. After
// every command the list and the taskbar agree, and each program's entries
// stand together.
#include "e2e_session.h"
#include <map>
#include "framework/reg_key.h"
#include "resource.h"
#include "tests/support/ansi_text.h"

namespace {

constexpr char kAdvancedKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
constexpr char kGlomming[] = "TaskbarGlomming";

// "Group similar taskbar buttons" turned on for the life of the object, as the
// user's setting the program reads; what was there before comes back after.
class CGroupingSetting {
public:
    CGroupingSetting()
    {
        CRegKey key;
        if (key.Create(HKEY_CURRENT_USER, kAdvancedKey) != ERROR_SUCCESS)
            return;
        m_had = key.QueryValue(kGlomming, m_type, m_data, 64) == ERROR_SUCCESS;
        const DWORD on = 1;
        m_set = ::RegSetValueExA(key.Get(), kGlomming, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on), sizeof on) ==
                ERROR_SUCCESS;
    }
    ~CGroupingSetting()
    {
        CRegKey key;
        if (!m_set || key.Open(HKEY_CURRENT_USER, kAdvancedKey, KEY_SET_VALUE) != ERROR_SUCCESS)
            return;
        if (m_had)
            ::RegSetValueExA(key.Get(), kGlomming, 0, m_type, m_data.data(), static_cast<DWORD>(m_data.size()));
        else
            ::RegDeleteValueA(key.Get(), kGlomming);
    }
    CGroupingSetting(const CGroupingSetting&) = delete;
    CGroupingSetting& operator=(const CGroupingSetting&) = delete;
    bool IsSet() const { return m_set; }

private:
    bool m_had = false;
    bool m_set = false;
    DWORD m_type = REG_NONE;
    std::vector<BYTE> m_data;
};

}  // namespace

class E2eGrouping : public E2eSession {
protected:
    void TearDown() override
    {
        m_samples.clear();
        E2eSession::TearDown();
        m_setting.reset();
    }

    // The grouping stand-in (a toolbar, as on XP), the six windows opened
    // interleaved, one process each, and the program told it runs on XP,
    // whose list is then arranged onto the taskbar. w holds the list then:
    // the runs are A A A B B C, since each program's first entry keeps its
    // place, whichever way the window order runs.
    void StartGrouped()
    {
        m_setting = std::make_unique<CGroupingSetting>();
        ASSERT_TRUE(m_setting->IsSet());
        ASSERT_TRUE(m_standin.Start(StandinExe(), "--toolbar --group")) << StandinExe().str();
        m_client = CStandinClient(m_standin.GetTray());
        m_exe['A'] = SamplesExe();
        m_exe['B'] = SamplesCopy("corvane_other.exe");
        m_exe['C'] = SamplesCopy("corvane_third.exe");
        // Titles whose order by title is neither the programs' nor the
        // windows': sorted in one list they would interleave the programs.
        for (const auto& [letter, title] : {std::pair<char, LPCSTR>{'A', "Oscar"}, {'B', "Tango"}, {'C', "Hotel"},
                                            {'A', "Kilo"}, {'B', "Bravo"}, {'A', "Yankee"}})
            ASSERT_NO_FATAL_FAILURE(Open(letter, title));
        ASSERT_EQ(6u, OnTaskbar().size());
        ASSERT_EQ("AAABBC", Of(OnTaskbar())) << "the stand-in did not group the new buttons";

        ASSERT_NO_FATAL_FAILURE(StartCorvane("winxp"));
        ASSERT_EQ("AAABBC", Programs()) << "the list was not grouped at its refresh";
        ASSERT_TRUE(OpenMenu(RightClickOn(0)));
        ASSERT_NO_FATAL_FAILURE(Choose('A'));
        ASSERT_EQ(Listed(), OnTaskbar());
        w = Listed();
    }

    void Open(char letter, LPCSTR title)
    {
        m_samples.push_back(std::make_unique<CChildProcess>());
        const Windows opened =
            OpenSamples(*m_samples.back(), CString("--count 1 --title ") + title, 1, 10000, m_exe[letter]);
        ASSERT_EQ(1u, opened.size());
        m_letters[m_samples.back()->GetId()] = letter;
    }

    // The programs of these windows, a letter each.
    std::string Of(const Windows& windows) const
    {
        std::string letters;
        for (HWND hWnd : windows) {
            DWORD process = 0;
            ::GetWindowThreadProcessId(hWnd, &process);
            const auto found = m_letters.find(process);
            letters += found == m_letters.end() ? '?' : found->second;
        }
        return letters;
    }
    std::string Programs() const { return Of(Listed()); }

    static bool StandTogether(const std::string& programs)
    {
        for (size_t i = 1; i < programs.size(); ++i) {
            if (programs[i] != programs[i - 1] && programs.find(programs[i]) < i)
                return false;
        }
        return true;
    }

    // The list and the taskbar agree, every program's entries stand together,
    // and, where given, the list is `expected` with entry `selected` selected.
    void Check(const Windows& expected = {}, int selected = -2)
    {
        // Input reaches the program after anything posted to it: wait for the
        // end state rather than synchronise.
        const bool settled = WaitUntil([&] {
            return (expected.empty() || Listed() == expected) &&
                   (selected == -2 || m_list->GetSelected() == selected);
        });
        ASSERT_TRUE(Sync());
        EXPECT_TRUE(settled) << "the list is " << Programs() << ", selected " << m_list->GetSelected();
        EXPECT_EQ(Listed(), OnTaskbar()) << "list " << Programs() << ", taskbar " << Of(OnTaskbar());
        EXPECT_TRUE(StandTogether(Programs())) << Programs();
        EXPECT_TRUE(StandTogether(Of(OnTaskbar()))) << Of(OnTaskbar());
    }

    void Button(int select, int id)
    {
        ASSERT_TRUE(m_list->Select(select));
        ASSERT_TRUE(Click(id)) << "the command did not end in time";
    }
    void Keys(int select, WORD vk)
    {
        ASSERT_TRUE(m_list->Select(select));
        ASSERT_NO_FATAL_FAILURE(FocusList());
        ASSERT_NO_FATAL_FAILURE(PressKeysOn(m_main, [vk] { RealInput::Chord(VK_CONTROL, vk); }));
    }
    // A command of the list's menu on entry `index`, which the right click
    // selects; the main window first comes in front of any sample window.
    void Menu(int index, char mnemonic)
    {
        ASSERT_NO_FATAL_FAILURE(BringToFront(m_main));
        ASSERT_TRUE(OpenMenu(RightClickOn(index)));
        ASSERT_NO_FATAL_FAILURE(Choose(mnemonic));
    }

    std::unique_ptr<CGroupingSetting> m_setting;
    std::vector<std::unique_ptr<CChildProcess>> m_samples;
    std::map<char, CString> m_exe;
    std::map<DWORD, char> m_letters;
    Windows w;
};

TEST_F(E2eGrouping, UpDownTopAndBottomMoveWholeRunsAtTheirEdges)
{
    ASSERT_NO_FATAL_FAILURE(StartGrouped());
    // The runs by position: a0 a1 a2 | b0 b1 | c0.
    const HWND a0 = w[0], a1 = w[1], a2 = w[2], b0 = w[3], b1 = w[4], c0 = w[5];
    {
        SCOPED_TRACE("上移 inside a run");
        ASSERT_NO_FATAL_FAILURE(Button(1, IDC_MOVE_UP));
        Check({a1, a0, a2, b0, b1, c0}, 0);
    }
    {
        SCOPED_TRACE("上移 at a run's start");
        ASSERT_NO_FATAL_FAILURE(Button(3, IDC_MOVE_UP));
        Check({b0, b1, a1, a0, a2, c0}, 0);
    }
    {
        SCOPED_TRACE("下移 inside a run");
        ASSERT_NO_FATAL_FAILURE(Button(2, IDC_MOVE_DOWN));
        Check({b0, b1, a0, a1, a2, c0}, 3);
    }
    {
        SCOPED_TRACE("下移 at a run's end");
        ASSERT_NO_FATAL_FAILURE(Button(4, IDC_MOVE_DOWN));
        Check({b0, b1, c0, a0, a1, a2}, 5);
    }
    {
        SCOPED_TRACE("Ctrl+Home");
        ASSERT_NO_FATAL_FAILURE(Keys(4, VK_HOME));
        Check({a1, a0, a2, b0, b1, c0}, 0);
    }
    {
        SCOPED_TRACE("Ctrl+End");
        ASSERT_NO_FATAL_FAILURE(Keys(3, VK_END));
        Check({a1, a0, a2, c0, b1, b0}, 5);
    }
    {
        SCOPED_TRACE("移到最前(&T)");
        ASSERT_NO_FATAL_FAILURE(Menu(3, 'T'));
        Check({c0, a1, a0, a2, b1, b0}, 0);
    }
    {
        SCOPED_TRACE("移到最后(&B)");
        ASSERT_NO_FATAL_FAILURE(Menu(2, 'B'));
        Check({c0, b1, b0, a1, a2, a0}, 5);
    }
}

TEST_F(E2eGrouping, DragsSortingGroupingArrangingAndRefreshingKeepProgramsTogether)
{
    ASSERT_NO_FATAL_FAILURE(StartGrouped());
    const HWND a0 = w[0], a1 = w[1], a2 = w[2], b0 = w[3], b1 = w[4], c0 = w[5];
    {
        SCOPED_TRACE("a drag onto the same program");
        ASSERT_TRUE(Drag(2, 0));
        ParkPointer();
        Check({a2, a0, a1, b0, b1, c0});
    }
    {
        SCOPED_TRACE("a drag upwards onto another program");
        ASSERT_TRUE(Drag(5, 4));
        ParkPointer();
        Check({a2, a0, a1, c0, b0, b1});
    }
    {
        SCOPED_TRACE("a drag downwards onto another program");
        ASSERT_TRUE(Drag(1, 3));
        ParkPointer();
        Check({c0, a2, a0, a1, b0, b1});
    }
    {
        SCOPED_TRACE("按标题排序(&S)");
        ASSERT_NO_FATAL_FAILURE(Menu(0, 'S'));
        // Bravo Tango | Hotel | Kilo Oscar Yankee.
        Check();
        EXPECT_EQ("BBCAAA", Programs());
        std::vector<std::string> titles;
        for (int i = 0; i < m_list->GetCount(); ++i)
            titles.push_back(m_list->GetText(i).str());
        EXPECT_EQ((std::vector<std::string>{"Bravo", "Tango", "Hotel", "Kilo", "Oscar", "Yankee"}), titles);
    }
    {
        SCOPED_TRACE("按程序归类(&G)");
        ASSERT_NO_FATAL_FAILURE(Menu(1, 'G'));
        Check();
    }
    {
        SCOPED_TRACE("刷新列表(&R), with a new window of B and one of A closed");
        ASSERT_NO_FATAL_FAILURE(Open('B', "Zulu"));
        ::PostMessageA(a1, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(a1); }));
        ASSERT_NO_FATAL_FAILURE(Menu(0, 'R'));
        ASSERT_TRUE(WaitUntil([&] { return m_list->GetCount() == 6; }));
        // A toolbar cannot be asked for its order: the list comes in window
        // order, brought together by program, until it is arranged.
        EXPECT_TRUE(StandTogether(Programs())) << Programs();
        EXPECT_EQ("BBBCAA", Of(OnTaskbar())) << "the new button did not join its program's";
    }
    {
        SCOPED_TRACE("按列表排列任务栏(&A)");
        ASSERT_NO_FATAL_FAILURE(Menu(1, 'A'));
        Check();
    }
}
