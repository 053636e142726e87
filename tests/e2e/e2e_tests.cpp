// The real corvane.exe over the stand-in taskbar and sample windows of other
// processes, driven from this one as a user drives it: button clicks, list
// selection, a real mouse drag and real keys. The list is read across the
// process boundary and compared with the stand-in's button order.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <memory>
#include "e2e_support.h"
#include "resource.h"
#include "standin/standin_client.h"
#include "tests/support/ansi_text.h"

namespace {

using Windows = std::vector<HWND>;

constexpr char kMainClass[] = "#32770";
constexpr char kMainCaption[] = "Corvane";
// Chinese texts go through AnsiText: the ANSI calls see them in the code page
// the program runs under, whatever the compiler.
const std::string kAboutCaption = AnsiText("关于 Corvane");
constexpr size_t kSamples = 5;
// Only one test at a time may own the pointer and the keyboard, and the
// prefix holds only one stand-in: a mutex of the prefix's session says whose
// turn it is.
constexpr char kSerialMutex[] = "CorvaneE2E.RealInput";

BOOL CALLBACK CollectAll(HWND hWnd, LPARAM lParam)
{
    reinterpret_cast<Windows*>(lParam)->push_back(hWnd);
    return TRUE;
}

// The windows in the order EnumWindows gives them, which is the Z order.
Windows InZOrder(const Windows& windows)
{
    Windows all;
    ::EnumWindows(CollectAll, reinterpret_cast<LPARAM>(&all));
    Windows ordered;
    for (HWND hWnd : all) {
        if (std::find(windows.begin(), windows.end(), hWnd) != windows.end())
            ordered.push_back(hWnd);
    }
    return ordered;
}

CPoint CursorPos()
{
    CPoint point;
    ::GetCursorPos(&point);
    return point;
}

}  // namespace

class E2eTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_serial.Attach(::CreateMutexA(nullptr, FALSE, kSerialMutex));
        ASSERT_TRUE(m_serial);
        const DWORD turn = ::WaitForSingleObject(m_serial.Get(), 60000);
        ASSERT_TRUE(turn == WAIT_OBJECT_0 || turn == WAIT_ABANDONED) << "another end-to-end test kept the session";
        m_ownsSerial = true;
        // The list selects the entry under a resting pointer: keep the
        // pointer away from where the windows open.
        ParkPointer();
    }

    void TearDown() override
    {
        m_list.reset();
        if (m_corvane.IsRunning() && m_main) {
            ::PostMessageA(m_main, WM_COMMAND, IDCANCEL, 0);
            m_corvane.WaitForExit(3000);
        }
        m_corvane.Terminate();
        m_version.reset();
        m_samples.Terminate();
        m_standin.Stop();
        if (m_ownsSerial)
            ::ReleaseMutex(m_serial.Get());
    }

    static void ParkPointer()
    {
        const CPoint park(::GetSystemMetrics(SM_CXSCREEN) - 8, 8);
        RealInput::MoveTo(park);
        WaitUntil([&] { return CursorPos() == park; }, 2000);
    }

    // The stand-in taskbar and kSamples sample windows ("任务窗口 1" ...), whose
    // buttons are then put in an order that is neither their creation order
    // nor their Z order: 2, 4, 5, 1, 3. m_created holds them by number.
    void StartTaskbar(bool toolbar)
    {
        ASSERT_TRUE(m_standin.Start(StandinExe(), toolbar ? "--toolbar" : "")) << StandinExe().str();
        m_client = CStandinClient(m_standin.GetTray());
        ASSERT_TRUE(m_samples.Start(SamplesExe(), AnsiText("--count 5 --prefix 任务窗口")));
        ASSERT_TRUE(WaitUntil([&] { return TopLevelWindows(m_samples.GetId()).size() == kSamples; }));
        ASSERT_EQ(static_cast<int>(kSamples), m_client.Rescan());
        m_created = OnTaskbar();
        std::sort(m_created.begin(), m_created.end(),
                  [](HWND a, HWND b) { return WindowText(a).str() < WindowText(b).str(); });
        ASSERT_EQ(CString(AnsiText("任务窗口 1")), WindowText(m_created[0]));
        const Windows order{m_created[1], m_created[3], m_created[4], m_created[0], m_created[2]};
        // Every button off, then on again in the wanted order: AddTab appends.
        for (HWND hWnd : order)
            ASSERT_TRUE(StandinRequest(m_standin.GetTray(), kStandinMsgDeleteTab, reinterpret_cast<WPARAM>(hWnd), 0,
                                       nullptr));
        for (HWND hWnd : order)
            ASSERT_TRUE(
                StandinRequest(m_standin.GetTray(), kStandinMsgAddTab, reinterpret_cast<WPARAM>(hWnd), 0, nullptr));
        ASSERT_EQ(order, OnTaskbar());
        m_client.ClearLog();
    }

    // Starts the program with the Windows version that chooses its taskbar
    // kind (win2k: tab control, winxp: toolbar) and waits for its main window.
    void StartCorvane(LPCSTR version = "win2k")
    {
        m_list.reset();
        m_version.reset();
        m_version = std::make_unique<CAppVersion>("corvane.exe", version);
        ASSERT_TRUE(m_corvane.Start(CorvaneExe(), "")) << CorvaneExe().str();
        ASSERT_TRUE(WaitUntil([&] { return (m_main = FindTopLevel(m_corvane.GetId(), kMainClass, kMainCaption)) != nullptr; },
                              10000))
            << "no main window";
        m_list = std::make_unique<CRemoteListView>(::GetDlgItem(m_main, IDC_TASK_LIST));
        ASSERT_TRUE(m_list->IsValid());
    }

    Windows OnTaskbar() const { return m_client.GetButtons(); }
    Windows Listed() const { return m_list->GetWindows(); }

    // Presses a button of the main window; returns when its command has run.
    void Click(int id, LPCSTR caption)
    {
        HWND button = ::GetDlgItem(m_main, id);
        ASSERT_EQ(CString(caption), WindowText(button));
        DWORD_PTR ignored = 0;
        ASSERT_TRUE(::SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 10000, &ignored));
    }

    void BringToFront(HWND hWnd)
    {
        // Asked again while it waits: a window that another program has just
        // opened may still be taking the activation.
        const bool front = WaitUntil([&] {
            if (::GetForegroundWindow() == hWnd)
                return true;
            ::SetForegroundWindow(hWnd);
            return false;
        });
        ASSERT_TRUE(front) << "could not bring it to the front; in front: \"" << WindowText(::GetForegroundWindow()).str()
                           << "\"";
    }

    // A drag of entry `from` onto entry `to`'s label with the real mouse: press
    // on the entry's label, move in small steps as a hand does, release.
    void Drag(int from, int to)
    {
        const CPoint start = m_list->GetLabelCentre(from);
        const CPoint drop = m_list->GetLabelCentre(to);
        ASSERT_FALSE(start == drop);
        auto moveTo = [](CPoint point) {
            RealInput::MoveTo(point);
            ASSERT_TRUE(WaitUntil([&] { return CursorPos() == point; }, 2000));
        };
        ASSERT_NO_FATAL_FAILURE(moveTo(start));
        RealInput::LeftDown();
        // Beyond the drag threshold the list reports the drag, and the
        // program's rectangle tracking captures the mouse for the dialog.
        constexpr int kSteps = 8;
        for (int step = 1; step <= kSteps; ++step)
            ASSERT_NO_FATAL_FAILURE(moveTo(CPoint(start.x, start.y + (drop.y - start.y) * step / kSteps)));
        ASSERT_TRUE(WaitUntil([&] { return CaptureOfThread(m_main) == m_main; })) << "the drag did not start";
        // One more move while the tracking runs, then the release on the label.
        ASSERT_NO_FATAL_FAILURE(moveTo(CPoint(drop.x + 2, drop.y)));
        ASSERT_NO_FATAL_FAILURE(moveTo(drop));
        RealInput::LeftUp();
        ASSERT_TRUE(WaitUntil([&] { return CaptureOfThread(m_main) == nullptr; })) << "the drag did not end";
    }

    // The About box, opened a moment ago: owned by the main window, which it
    // disables; Enter closes it and gives the main window back.
    void CheckAboutBoxAndCloseWithEnter()
    {
        HWND box = nullptr;
        ASSERT_TRUE(WaitUntil([&] {
            return (box = FindTopLevel(m_corvane.GetId(), kMainClass, kAboutCaption.c_str())) != nullptr;
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

    CHandle m_serial;
    bool m_ownsSerial = false;
    CStandinProcess m_standin;
    CStandinClient m_client{nullptr};
    CChildProcess m_samples;
    Windows m_created;
    std::unique_ptr<CAppVersion> m_version;
    CChildProcess m_corvane;
    HWND m_main = nullptr;
    std::unique_ptr<CRemoteListView> m_list;
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
    ASSERT_NO_FATAL_FAILURE(Click(IDC_MOVE_UP, AnsiText("上移").c_str()));
    const Windows up{w[0], w[2], w[1], w[3], w[4]};
    EXPECT_EQ(up, Listed());
    EXPECT_EQ(up, OnTaskbar());
    EXPECT_EQ(1, m_list->GetSelected());

    ASSERT_NO_FATAL_FAILURE(Click(IDC_MOVE_DOWN, AnsiText("下移").c_str()));
    ASSERT_NO_FATAL_FAILURE(Click(IDC_MOVE_DOWN, AnsiText("下移").c_str()));
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

    ASSERT_NO_FATAL_FAILURE(Drag(3, 1));
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
    ASSERT_TRUE(more.Start(SamplesExe(), AnsiText("--count 1 --prefix 新窗口")));
    ASSERT_TRUE(WaitUntil([&] { return TopLevelWindows(more.GetId()).size() == 1; }));
    const HWND added = TopLevelWindows(more.GetId()).front();
    ASSERT_EQ(static_cast<int>(kSamples + 1), m_client.Rescan());
    ASSERT_EQ(static_cast<int>(kSamples), m_list->GetCount()) << "nothing refreshes by itself";

    ASSERT_NO_FATAL_FAILURE(BringToFront(m_main));
    RealInput::Chord(VK_MENU, 'R');
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
        ASSERT_NO_FATAL_FAILURE(Click(IDC_MOVE_UP, AnsiText("上移").c_str()));
        const Windows moved{w[1], w[0], w[2], w[3], w[4]};
        ASSERT_EQ(moved, OnTaskbar());

        // The click left the focus on "上移", where Enter would press it
        // again; with the focus in the list Enter goes to the default button.
        ::SendMessageA(m_main, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_list->GetHwnd()), TRUE);
        ASSERT_NO_FATAL_FAILURE(BringToFront(m_main));
        ASSERT_EQ(m_list->GetHwnd(), FocusOfThread(m_main));
        m_client.ClearLog();
        RealInput::Key(key);
        ASSERT_TRUE(m_corvane.WaitForExit(5000)) << "the program did not end";
        EXPECT_EQ(moved, OnTaskbar());
        EXPECT_EQ(0, m_client.GetCallCount()) << "closing touched the taskbar";
    }
}

TEST_F(E2eTest, AltAAndTheSystemMenuOpenTheAboutBoxAndTheProgramGoesOn)
{
    ASSERT_NO_FATAL_FAILURE(StartTaskbar(false));
    ASSERT_NO_FATAL_FAILURE(StartCorvane());

    ASSERT_NO_FATAL_FAILURE(BringToFront(m_main));
    RealInput::Chord(VK_MENU, 'A');
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
    ASSERT_NO_FATAL_FAILURE(Click(IDC_MOVE_DOWN, AnsiText("下移").c_str()));
    const Windows moved{w[1], w[0], w[2], w[3], w[4]};
    EXPECT_EQ(moved, Listed());
    EXPECT_EQ(moved, OnTaskbar());
}
