// The stand-in taskbar as a client process sees it: the real executable,
// reached through the TaskbarList server that the prefix registers and
// through its query requests, its window chain read across processes.
#include "standin_test_support.h"
#include <commctrl.h>
#include "engine/task_button_list.h"
#include "tests/support/pump.h"
#include "tests/support/task_windows.h"
#include <shellapi.h>
#include <utility>

namespace {

using Buttons = std::vector<HWND>;

HRESULT Add(HWND hWnd) { return CallTaskbarList(StandinOpAddTab, hWnd); }
HRESULT Delete(HWND hWnd) { return CallTaskbarList(StandinOpDeleteTab, hWnd); }
HRESULT Activate(HWND hWnd) { return CallTaskbarList(StandinOpActivateTab, hWnd); }

int Focus(HWND tabs)
{
    return static_cast<int>(::SendMessageA(tabs, TCM_GETCURFOCUS, 0, 0));
}

// The checked state of each toolbar button by position. No pointer can cross
// to the other process, so command ids are tried and mapped to positions.
std::vector<bool> CheckedButtons(HWND toolbar)
{
    const int count = static_cast<int>(::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    std::vector<bool> checked(static_cast<size_t>(count > 0 ? count : 0), false);
    for (int id = 1; id <= 200; ++id) {
        const int index = static_cast<int>(::SendMessageA(toolbar, TB_COMMANDTOINDEX, static_cast<WPARAM>(id), 0));
        if (index >= 0 && index < count)
            checked[static_cast<size_t>(index)] = ::SendMessageA(toolbar, TB_ISBUTTONCHECKED, static_cast<WPARAM>(id), 0) != 0;
    }
    return checked;
}

// Waits, answering messages, until the stand-in's poll (not a rescan request)
// has brought the button count to count.
bool WaitForButtonCount(const CStandinClient& client, int count, DWORD timeoutMs = 10000)
{
    return PumpMessagesUntil([&] { return client.GetButtonCount() == count; }, timeoutMs);
}

int CountStandinTrays()
{
    int count = 0;
    for (HWND tray = ::FindWindowExA(nullptr, nullptr, kStandinTrayClass, nullptr); tray;
         tray = ::FindWindowExA(nullptr, tray, kStandinTrayClass, nullptr))
        count += ::GetPropA(tray, kStandinTrayProperty) != nullptr;
    return count;
}

}  // namespace

TEST_F(StandinTest, EngineFindsTheButtonHostOfEveryLayout)
{
    struct Layout {
        LPCSTR arguments;
        LPCSTR hostClass;
        bool rebar;
    };
    for (const Layout& layout : {Layout{"", "SysTabControl32", true}, Layout{"--toolbar", "ToolbarWindow32", true},
                                 Layout{"--no-rebar", "SysTabControl32", false},
                                 Layout{"--toolbar --no-rebar", "ToolbarWindow32", false}}) {
        SCOPED_TRACE(layout.arguments);
        Restart(layout.arguments);
        HWND tray = m_standin.GetTray();
        // Found before Wine's own hidden tray, as the program looks it up.
        EXPECT_EQ(tray, ::FindWindowExA(nullptr, nullptr, "Shell_TrayWnd", nullptr));
        EXPECT_EQ(layout.rebar, ::FindWindowExA(tray, nullptr, "RebarWindow32", nullptr) != nullptr);
        HWND host = CTaskButtonList::FindButtonHost();
        ASSERT_NE(nullptr, host);
        EXPECT_EQ(m_client.GetButtonHost(), host);
        EXPECT_EQ(tray, ::GetAncestor(host, GA_ROOT));
        char hostClass[64] = {};
        ::GetClassNameA(host, hostClass, sizeof hostClass);
        EXPECT_STREQ(layout.hostClass, hostClass);
    }

    // A visible strip along the bottom of the screen, with no button of its own.
    HWND tray = m_standin.GetTray();
    RECT strip{};
    ::GetWindowRect(tray, &strip);
    EXPECT_TRUE(::IsWindowVisible(tray));
    EXPECT_EQ(::GetSystemMetrics(SM_CYSCREEN), strip.bottom);
    EXPECT_EQ(::GetSystemMetrics(SM_CXSCREEN), strip.right - strip.left);
    EXPECT_FALSE(CTaskButtonList::IsTaskWindow(tray));
}

TEST_F(StandinTest, AddTabAndDeleteTabHaveTheShellsEffects)
{
    auto a = OpenTaskWindow("Alpha");
    auto b = OpenTaskWindow("Bravo");
    auto c = OpenTaskWindow("Charlie");
    m_client.Rescan();
    ASSERT_EQ((Buttons{*a, *b, *c}), m_client.GetButtons());

    EXPECT_EQ(S_OK, Delete(*a));
    EXPECT_EQ((Buttons{*b, *c}), m_client.GetButtons()) << "DeleteTab removes the button";
    EXPECT_EQ(S_OK, Delete(*a));
    EXPECT_EQ((Buttons{*b, *c}), m_client.GetButtons()) << "DeleteTab of a window without a button";
    EXPECT_EQ(S_OK, Add(*a));
    EXPECT_EQ((Buttons{*b, *c, *a}), m_client.GetButtons()) << "AddTab appends";
    EXPECT_EQ(S_OK, Add(*b));
    EXPECT_EQ((Buttons{*b, *c, *a}), m_client.GetButtons()) << "AddTab of a window with a button";

    // A run taken off and added again stands at the end in the new order:
    // what every reordering rests on.
    Delete(*c);
    Delete(*b);
    Add(*c);
    Add(*b);
    EXPECT_EQ((Buttons{*a, *c, *b}), m_client.GetButtons());
    EXPECT_EQ(3, ::SendMessageA(m_client.GetButtonHost(), TCM_GETITEMCOUNT, 0, 0));

    // The program's own wrappers over the same server.
    EXPECT_TRUE(CTaskButtonList::DeleteTab(*a));
    EXPECT_TRUE(CTaskButtonList::AddTab(*a));
    EXPECT_EQ((Buttons{*c, *b, *a}), m_client.GetButtons());
}

TEST_F(StandinTest, ActivateTabPutsTheTabControlsFocusOnTheWindowsButton)
{
    auto a = OpenTaskWindow("Alpha");
    auto b = OpenTaskWindow("Bravo");
    auto c = OpenTaskWindow("Charlie");
    m_client.Rescan();
    HWND tabs = m_client.GetButtonHost();
    const Buttons windows{*a, *b, *c};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(S_OK, Activate(windows[static_cast<size_t>(i)]));
        EXPECT_EQ(i, Focus(tabs));
    }
    // Drawn as the pressed button once the calls pause.
    EXPECT_TRUE(PumpMessagesUntil([&] { return ::SendMessageA(tabs, TCM_GETCURSEL, 0, 0) == 2; }, 10000))
        << ::SendMessageA(tabs, TCM_GETCURSEL, 0, 0);
    EXPECT_EQ(2, Focus(tabs));

    // After a reorder the focus goes to the window's new place.
    Delete(*a);
    Add(*a);
    EXPECT_EQ(S_OK, Activate(*a));
    EXPECT_EQ(2, Focus(tabs));
    EXPECT_TRUE(CTaskButtonList::ActivateTab(*b));
    EXPECT_EQ(0, Focus(tabs));

    // A window without a button leaves no tab focused, so no probe can take
    // another window's tab for its own.
    Delete(*c);
    EXPECT_EQ(S_OK, Activate(*c));
    EXPECT_EQ(-1, Focus(tabs));
}

TEST_F(StandinTest, ActivateTabChecksTheButtonOfAToolbarHost)
{
    Restart("--toolbar");
    auto a = OpenTaskWindow("Alpha");
    auto b = OpenTaskWindow("Bravo");
    auto c = OpenTaskWindow("Charlie");
    m_client.Rescan();
    HWND toolbar = m_client.GetButtonHost();

    EXPECT_EQ(S_OK, Activate(*b));
    EXPECT_EQ((std::vector<bool>{false, true, false}), CheckedButtons(toolbar));
    EXPECT_EQ(S_OK, Activate(*c));
    EXPECT_EQ((std::vector<bool>{false, false, true}), CheckedButtons(toolbar));
    Delete(*c);
    Delete(*a);
    Add(*a);
    EXPECT_EQ((Buttons{*b, *a}), m_client.GetButtons());
    EXPECT_EQ((std::vector<bool>{false, false}), CheckedButtons(toolbar));
    EXPECT_EQ(S_OK, Activate(*a));
    EXPECT_EQ((std::vector<bool>{false, true}), CheckedButtons(toolbar));
}

TEST(StandinAbsentTest, CallsFailAtOnceWhenNoStandinRuns)
{
    ASSERT_EQ(nullptr, StandinFindTray());
    auto a = OpenTaskWindow("Alone");
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(kStandinNotRunning, Add(*a));
    EXPECT_EQ(kStandinNotRunning, Delete(*a));
    EXPECT_EQ(kStandinNotRunning, Activate(*a));
    EXPECT_FALSE(CTaskButtonList::AddTab(*a));
    EXPECT_FALSE(CTaskButtonList::DeleteTab(*a));
    EXPECT_FALSE(CTaskButtonList::ActivateTab(*a));
    EXPECT_LT(::GetTickCount() - start, 1000u);
}

// Run only as the child of the next test: starts a stand-in and ends at once,
// as a crashed or timed-out test would, without stopping it.
TEST(DISABLED_StandinStarter, StartsAStandinAndEndsWithoutStoppingIt)
{
    CStandinProcess standin;
    ASSERT_TRUE(standin.Start(StandinExe(), ""));
    ::TerminateProcess(::GetCurrentProcess(), 7);
}

TEST(StandinLifetimeTest, AStandinEndsWithTheProcessThatStartedIt)
{
    ASSERT_EQ(nullptr, StandinFindTray());
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    DWORD code = 0;
    std::string output;
    ASSERT_TRUE(RunToEnd(CString("\"") + self +
                             "\" --gtest_also_run_disabled_tests --gtest_filter=DISABLED_StandinStarter.*",
                         20000, &code, &output));
    ASSERT_EQ(7u, code) << output;
    EXPECT_TRUE(PumpMessagesUntil([] { return StandinFindTray() == nullptr; }, 10000))
        << "a stand-in outlived the process that started it";
}

TEST_F(StandinTest, CallsToAStandinThatStoppedOrHangsFailInBoundedTime)
{
    auto a = OpenTaskWindow("Alpha");
    m_client.Rescan();

    // A stand-in that answers nothing: its thread is held still.
    ASSERT_NE(static_cast<DWORD>(-1), ::SuspendThread(m_standin.GetThread()));
    DWORD start = ::GetTickCount();
    EXPECT_EQ(kStandinNoAnswer, Activate(*a));
    EXPECT_LT(::GetTickCount() - start, kStandinTimeoutMs + 2000);
    ::ResumeThread(m_standin.GetThread());
    EXPECT_EQ(1, m_client.Rescan()) << "the stand-in goes on after the pause";

    EXPECT_EQ(0u, m_standin.Stop());
    start = ::GetTickCount();
    EXPECT_EQ(kStandinNotRunning, Add(*a));
    EXPECT_LT(::GetTickCount() - start, 1000u);
    Restart("");
}

TEST_F(StandinTest, ASecondStandinSaysSoAndLeaves)
{
    DWORD code = 0;
    std::string output;
    ASSERT_TRUE(RunToEnd("\"" + StandinExe() + "\"", 10000, &code, &output));
    EXPECT_EQ(static_cast<DWORD>(kStandinExitAlreadyRunning), code);
    EXPECT_NE(std::string::npos, output.find("already running")) << output;
    EXPECT_EQ(1, CountStandinTrays());
    EXPECT_EQ(m_standin.GetTray(), StandinFindTray());
    EXPECT_EQ(0, m_client.Rescan()) << "the first one still answers";

    output.clear();
    ASSERT_TRUE(RunToEnd("\"" + StandinExe() + "\" --poll never", 10000, &code, &output));
    EXPECT_EQ(2u, code) << "bad options are refused before anything else";
    EXPECT_NE(std::string::npos, output.find("usage")) << output;
}

TEST_F(StandinTest, NullDestroyedAndOwnWindowsChangeNothing)
{
    auto a = OpenTaskWindow("Alpha");
    auto b = OpenTaskWindow("Bravo");
    HWND gone;
    {
        auto closed = OpenTaskWindow("Closed");
        gone = *closed;
    }
    m_client.Rescan();
    ASSERT_EQ((Buttons{*a, *b}), m_client.GetButtons());
    ASSERT_EQ(S_OK, Activate(*b));
    m_client.ClearLog();

    const Buttons bad{nullptr, gone, m_standin.GetTray(), m_client.GetButtonHost()};
    for (HWND h : bad) {
        EXPECT_EQ(E_INVALIDARG, Add(h)) << h;
        EXPECT_EQ(E_INVALIDARG, Delete(h)) << h;
        EXPECT_EQ(E_INVALIDARG, Activate(h)) << h;
    }
    EXPECT_EQ((Buttons{*a, *b}), m_client.GetButtons());
    EXPECT_EQ(1, Focus(m_client.GetButtonHost())) << "the active button stays";
    EXPECT_EQ(bad.size() * 3, m_client.GetCalls().size()) << "every call reached the stand-in";
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), ::WaitForSingleObject(m_standin.GetProcess(), 0));
}

TEST_F(StandinTest, TaskWindowsThatAppearGetButtonsAtTheEndAndDestroyedOnesLoseThem)
{
    auto a = OpenTaskWindow("Alpha");
    m_client.Rescan();
    auto b = OpenTaskWindow("Bravo");
    m_client.Rescan();
    ASSERT_EQ((Buttons{*a, *b}), m_client.GetButtons());

    // The poll finds new windows by itself; windows that open together get
    // their buttons in the order they opened.
    auto c = OpenTaskWindow("Charlie");
    auto d = OpenTaskWindow("Delta");
    ASSERT_TRUE(WaitForButtonCount(m_client, 4));
    EXPECT_EQ((Buttons{*a, *b, *c, *d}), m_client.GetButtons());

    // A window shown later appears then, at the end.
    auto late = OpenWindow("Late", WS_OVERLAPPEDWINDOW, 0);
    m_client.Rescan();
    EXPECT_EQ(4, m_client.GetButtonCount());
    late->ShowWindow(SW_SHOWNA);
    m_client.Rescan();
    EXPECT_EQ((Buttons{*a, *b, *c, *d, *late}), m_client.GetButtons());

    b.reset();
    d.reset();
    ASSERT_TRUE(WaitForButtonCount(m_client, 3)) << "the poll drops destroyed windows";
    EXPECT_EQ((Buttons{*a, *c, *late}), m_client.GetButtons());
}

namespace {

// Counts the shell's TaskbarCreated broadcasts that reach a window.
LRESULT CALLBACK CountTaskbarCreated(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR count)
{
    if (message == ::RegisterWindowMessageA(kTaskbarCreatedMessage))
        ++*reinterpret_cast<int*>(count);
    return ::DefSubclassProc(hWnd, message, wParam, lParam);
}

}  // namespace

TEST_F(StandinTest, AStartingStandinButtonsExistingWindowsInEnumerationOrderAndBroadcasts)
{
    m_standin.Stop();
    auto a = OpenTaskWindow("Alpha");
    auto b = OpenTaskWindow("Bravo");
    auto c = OpenTaskWindow("Charlie");
    int broadcasts = 0;
    ASSERT_TRUE(::SetWindowSubclass(*b, CountTaskbarCreated, 1, reinterpret_cast<DWORD_PTR>(&broadcasts)));
    // The last window opened is on top: the enumeration meets it first.
    ::SetWindowPos(*a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    Restart("");
    EXPECT_EQ((Buttons{*a, *c, *b}), m_client.GetButtons());
    PumpMessagesUntil([&] { return broadcasts != 0; }, 10000);
    EXPECT_EQ(1, broadcasts);
    ::RemoveWindowSubclass(*b, CountTaskbarCreated, 1);
}

TEST_F(StandinTest, AWindowTakenOffStaysOffUntilAddTab)
{
    auto a = OpenTaskWindow("Alpha");
    auto b = OpenTaskWindow("Bravo");
    m_client.Rescan();
    ASSERT_EQ(S_OK, Delete(*a));

    // Nothing a window does brings its button back by itself.
    a->ShowWindow(SW_HIDE);
    a->ShowWindow(SW_SHOWNA);
    a->SetWindowText("Alpha renamed");
    PumpMessagesFor(500);
    m_client.Rescan();
    EXPECT_EQ((Buttons{*b}), m_client.GetButtons());

    // Taken off before the stand-in ever saw it: off as well.
    auto never = OpenTaskWindow("Never");
    ASSERT_EQ(S_OK, Delete(*never));
    m_client.Rescan();
    EXPECT_EQ((Buttons{*b}), m_client.GetButtons());

    ASSERT_EQ(S_OK, Add(*a));
    m_client.Rescan();
    EXPECT_EQ((Buttons{*b, *a}), m_client.GetButtons());
}

TEST_F(StandinTest, TheLogRecordsEveryCallAndActivationFailsOnDemand)
{
    auto a = OpenTaskWindow("Alpha");
    auto b = OpenTaskWindow("Bravo");
    m_client.Rescan();
    m_client.ClearLog();
    EXPECT_TRUE(m_client.GetCalls().empty());

    Add(*a);
    Delete(*b);
    Activate(*a);
    Activate(nullptr);
    const auto calls = m_client.GetCalls();
    ASSERT_EQ(4u, calls.size());
    const StandinOp ops[] = {StandinOpAddTab, StandinOpDeleteTab, StandinOpActivateTab, StandinOpActivateTab};
    const HWND windows[] = {*a, *b, *a, nullptr};
    const HRESULT results[] = {S_OK, S_OK, S_OK, E_INVALIDARG};
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(ops[i], calls[i].op) << i;
        EXPECT_EQ(windows[i], calls[i].hWnd) << i;
        EXPECT_EQ(results[i], calls[i].result) << i;
    }
    m_client.ClearLog();
    EXPECT_TRUE(m_client.GetCalls().empty());

    // One window's activation fails, with no effect; the other's still works.
    Add(*b);
    HWND tabs = m_client.GetButtonHost();
    ASSERT_EQ(S_OK, Activate(*b));
    m_client.FailActivate(*a, true);
    EXPECT_EQ(E_FAIL, Activate(*a));
    EXPECT_FALSE(CTaskButtonList::ActivateTab(*a));
    EXPECT_EQ(1, Focus(tabs));
    EXPECT_EQ(S_OK, Activate(*b));

    m_client.FailActivate(nullptr, true);
    EXPECT_EQ(E_FAIL, Activate(*b));
    m_client.FailActivate(nullptr, false);
    EXPECT_EQ(S_OK, Activate(*a));
    EXPECT_EQ(0, Focus(tabs));
    EXPECT_EQ(S_OK, Add(*a)) << "failures touch ActivateTab only";
}

TEST_F(StandinTest, TheSamplesProgramOpensNumberedTaskWindowsAndEndsWithThem)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string commandLine = "\"" + SamplesExe().str() + "\" --count 3 --prefix Probe";
    ASSERT_TRUE(::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &info));
    // `thread` is held only to close the handle CreateProcess opened; cppcheck
    // does not see the destructor it inherits from the owner template.
    // cppcheck-suppress unreadVariable
    CHandle process(info.hProcess), thread(info.hThread);
    ASSERT_TRUE(WaitForButtonCount(m_client, 3, 10000));

    std::vector<std::string> titles;
    std::vector<std::string> classes;
    for (HWND window : m_client.GetButtons()) {
        char text[64] = {};
        ::GetWindowTextA(window, text, sizeof text);
        titles.push_back(text);
        ::GetClassNameA(window, text, sizeof text);
        classes.push_back(text);
    }
    EXPECT_EQ((std::vector<std::string>{"Probe 1", "Probe 2", "Probe 3"}), titles);
    EXPECT_NE(classes[0], classes[1]) << "each window has a class, and icons, of its own";
    EXPECT_NE(classes[1], classes[2]);

    for (HWND window : m_client.GetButtons())
        ::PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), ::WaitForSingleObject(process.Get(), 5000));
    DWORD code = 1;
    ::GetExitCodeProcess(process.Get(), &code);
    EXPECT_EQ(0u, code);
    EXPECT_TRUE(WaitForButtonCount(m_client, 0));
}

namespace {

constexpr UINT kIconCallback = WM_APP + 7;

// A window of this process that owns notification icons and records the
// clicks their callback messages bring (moves left out), with their ids.
class CIconOwnerWnd : public CWnd {
public:
    std::vector<LPARAM> clicks;
    std::vector<WPARAM> ids;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == kIconCallback && lParam != WM_MOUSEMOVE) {
            clicks.push_back(lParam);
            ids.push_back(wParam);
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

NOTIFYICONDATAA IconData(HWND owner, UINT id, UINT flags, HICON icon, LPCSTR tip)
{
    // The size that Windows 2000 and every later version take.
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = owner;
    data.uID = id;
    data.uFlags = flags;
    data.uCallbackMessage = kIconCallback;
    data.hIcon = icon;
    ::lstrcpynA(data.szTip, tip, sizeof data.szTip);  // cppcheck-suppress lstrcpynACalled
    return data;
}

// Real clicks through the system's input queue, then the callbacks awaited.
std::vector<LPARAM> ClickAt(POINT screen, DWORD down, DWORD up, int times, const CIconOwnerWnd& owner, size_t expected)
{
    ::SetCursorPos(screen.x, screen.y);
    for (int i = 0; i < times; ++i) {
        INPUT input[2]{};
        input[0].type = input[1].type = INPUT_MOUSE;
        input[0].mi.dwFlags = down;
        input[1].mi.dwFlags = up;
        ::SendInput(2, input, sizeof(INPUT));
    }
    PumpMessagesUntil([&] { return owner.clicks.size() >= expected; }, 10000);
    return owner.clicks;
}

}  // namespace

TEST_F(StandinTest, NotificationIconsShowAtTheRightEndAndPassClicksToTheirWindow)
{
    RECT alone{}, strip{}, icon{}, host{};
    ::GetWindowRect(m_client.GetButtonHost(), &alone);
    ::GetWindowRect(m_standin.GetTray(), &strip);
    CIconOwnerWnd owner, other;
    ASSERT_TRUE(owner.CreateEx(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    ASSERT_TRUE(other.CreateEx(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    const CIcon red = SolidIcon(RGB(255, 0, 0));
    NOTIFYICONDATAA data = IconData(owner, 7, NIF_ICON | NIF_MESSAGE | NIF_TIP, red, "Corvane");
    ASSERT_TRUE(::Shell_NotifyIconA(NIM_ADD, &data));
    EXPECT_FALSE(::Shell_NotifyIconA(NIM_ADD, &data)) << "the same window and id twice";

    std::vector<CStandinClient::CNotifyIcon> icons = m_client.GetNotifyIcons();
    ASSERT_EQ(1u, icons.size());
    EXPECT_EQ(owner.m_hWnd, icons[0].owner);
    EXPECT_EQ(7u, icons[0].id);
    EXPECT_EQ(CString("Corvane"), icons[0].tip);
    // At the right end, beside the task buttons, which make room for it.
    ::GetWindowRect(icons[0].window, &icon);
    ::GetWindowRect(m_client.GetButtonHost(), &host);
    EXPECT_EQ(strip.right, icon.right);
    EXPECT_LE(host.right, icon.left);
    // Drawn from the bits that Wine sends, since no icon handle crosses processes.
    const POINT centre{(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2};
    const auto onScreen = [&centre] {
        HDC screen = ::GetDC(nullptr);
        const COLORREF pixel = ::GetPixel(screen, centre.x, centre.y);
        ::ReleaseDC(nullptr, screen);
        return pixel;
    };
    EXPECT_TRUE(PumpMessagesUntil([&] { return onScreen() == RGB(255, 0, 0); }, 10000)) << std::hex << onScreen();

    EXPECT_EQ((std::vector<LPARAM>{WM_LBUTTONDOWN, WM_LBUTTONUP}),
              ClickAt(centre, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1, owner, 2));
    EXPECT_EQ((std::vector<LPARAM>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP}),
              ClickAt(centre, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 1, owner, 4));
    PumpMessagesFor(static_cast<DWORD>(::GetDoubleClickTime()) + 50);
    owner.clicks.clear();
    EXPECT_EQ((std::vector<LPARAM>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}),
              ClickAt(centre, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2, owner, 4));
    EXPECT_EQ(std::vector<WPARAM>(owner.ids.size(), 7), owner.ids);

    // A second icon goes to the right of the first; a change and a removal
    // are a shell's; an icon goes with its window.
    NOTIFYICONDATAA second = IconData(other, 1, NIF_TIP, nullptr, "Other");
    ASSERT_TRUE(::Shell_NotifyIconA(NIM_ADD, &second));
    data = IconData(owner, 7, NIF_TIP, nullptr, "\xB1\xA3\xB3\xD6");
    EXPECT_TRUE(::Shell_NotifyIconA(NIM_MODIFY, &data));
    icons = m_client.GetNotifyIcons();
    ASSERT_EQ(2u, icons.size());
    EXPECT_EQ(CString("\xB1\xA3\xB3\xD6"), icons[0].tip);
    EXPECT_EQ(other.m_hWnd, icons[1].owner);
    ::GetWindowRect(icons[1].window, &icon);
    EXPECT_EQ(strip.right, icon.right);
    EXPECT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &data));
    EXPECT_FALSE(::Shell_NotifyIconA(NIM_MODIFY, &data));
    other.DestroyWindow();
    m_client.Rescan();
    EXPECT_TRUE(m_client.GetNotifyIcons().empty());
    ::GetWindowRect(m_client.GetButtonHost(), &host);
    EXPECT_EQ(alone.right, host.right) << "the task buttons take the whole strip again";
}
