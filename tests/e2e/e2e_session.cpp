#include "e2e_session.h"
#include <commctrl.h>
#include <shlwapi.h>
#include <algorithm>
#include "resource.h"

namespace {

constexpr char kMainClass[] = "#32770";
constexpr char kMainCaption[] = "Corvane";
// The mutex that the other end-to-end tests take too: one test at a time owns
// the pointer, the keyboard and the prefix's one stand-in.
constexpr char kSerialMutex[] = "CorvaneE2E.RealInput";
constexpr UINT kHoverTimeMs = 60000;

CPoint CursorPos()
{
    CPoint point;
    ::GetCursorPos(&point);
    return point;
}

BOOL CALLBACK CollectAll(HWND hWnd, LPARAM lParam)
{
    reinterpret_cast<Windows*>(lParam)->push_back(hWnd);
    return TRUE;
}

}  // namespace

bool PointerTo(CPoint point)
{
    RealInput::MoveTo(point);
    return WaitUntil([&] { return CursorPos() == point; }, 2000);
}

CHoverTime::CHoverTime(UINT ms)
{
    // Written to the user's settings (SPIF_UPDATEINIFILE), where other
    // processes read it; no broadcast, which would wait on every window.
    if (::SystemParametersInfoA(SPI_GETMOUSEHOVERTIME, 0, &m_previous, 0))
        m_set = ::SystemParametersInfoA(SPI_SETMOUSEHOVERTIME, ms, nullptr, SPIF_UPDATEINIFILE) != FALSE;
}

CHoverTime::~CHoverTime()
{
    if (m_set)
        ::SystemParametersInfoA(SPI_SETMOUSEHOVERTIME, m_previous, nullptr, SPIF_UPDATEINIFILE);
}

Windows InZOrder(const Windows& windows)
{
    Windows all;
    ::EnumWindows(CollectAll, reinterpret_cast<LPARAM>(&all));
    return Restricted(all, windows);
}

Windows Restricted(const Windows& windows, const Windows& among)
{
    Windows result;
    for (HWND hWnd : windows) {
        if (std::find(among.begin(), among.end(), hWnd) != among.end())
            result.push_back(hWnd);
    }
    return result;
}

void E2eSession::SetUp()
{
    m_serial.Attach(::CreateMutexA(nullptr, FALSE, kSerialMutex));
    ASSERT_TRUE(m_serial);
    const DWORD turn = ::WaitForSingleObject(m_serial.Get(), 60000);
    ASSERT_TRUE(turn == WAIT_OBJECT_0 || turn == WAIT_ABANDONED) << "another end-to-end test kept the session";
    m_ownsSerial = true;
    // The list selects the entry under a resting pointer: the program waits
    // far longer than a test step, and the pointer starts away from it.
    m_hoverTime.emplace(kHoverTimeMs);
    ParkPointer();
}

void E2eSession::TearDown()
{
    m_list.reset();
    if (m_corvane.IsRunning() && m_main) {
        ::PostMessageA(m_main, WM_COMMAND, IDCANCEL, 0);
        m_corvane.WaitForExit(3000);
    }
    m_corvane.Terminate();
    m_version.reset();
    m_standin.Stop();
    m_hoverTime.reset();
    if (!m_copyFolder.IsEmpty()) {
        // Its programs have ended with the test's child processes.
        WIN32_FIND_DATAA found{};
        const HANDLE search = ::FindFirstFileA(m_copyFolder + "\\*.exe", &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                ::DeleteFileA(m_copyFolder + "\\" + found.cFileName);
            } while (::FindNextFileA(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryA(m_copyFolder);
    }
    if (m_ownsSerial)
        ::ReleaseMutex(m_serial.Get());
}

void E2eSession::ParkPointer()
{
    PointerTo(CPoint(::GetSystemMetrics(SM_CXSCREEN) - 8, 8));
}

void E2eSession::StartStandin(bool toolbar, UINT pollMs)
{
    CString arguments = toolbar ? "--toolbar" : "";
    if (pollMs) {
        CString poll;
        poll.Format(" --poll %u", pollMs);
        arguments += poll;
    }
    ASSERT_TRUE(m_standin.Start(StandinExe(), arguments)) << StandinExe().str();
    m_client = CStandinClient(m_standin.GetTray());
}

Windows E2eSession::OpenSamples(CChildProcess& process, const CString& arguments, size_t count, DWORD timeoutMs,
                                const CString& exe)
{
    Windows opened;
    if (!process.Start(exe, arguments)) {
        ADD_FAILURE() << "could not start " << exe.str();
        return opened;
    }
    const bool shown = WaitUntil([&] { return TopLevelWindows(process.GetId()).size() == count; }, timeoutMs);
    EXPECT_TRUE(shown) << count << " sample windows did not open";
    // Idle: nothing it does after opening its windows comes between a test's
    // check of the foreground and its keys.
    EXPECT_EQ(0u, ::WaitForInputIdle(process.GetProcess(), timeoutMs)) << "the samples did not become idle";
    const Windows own = TopLevelWindows(process.GetId());
    if (!m_client.IsConnected())
        return own;
    // The stand-in gives the buttons in its own time, and a rescan request
    // of a stand-in that a busy machine has not run for a while times out:
    // asked again until every window has its button.
    const bool buttons = WaitUntil(
        [&] {
            m_client.Rescan();
            opened = Restricted(OnTaskbar(), own);
            return opened.size() == own.size();
        },
        timeoutMs);
    EXPECT_TRUE(buttons) << own.size() - opened.size() << " sample windows without a button";
    return opened;
}

CString E2eSession::SamplesCopy(const CString& fileName)
{
    if (m_copyFolder.IsEmpty()) {
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        m_copyFolder.Format("%scorvane-e2e-%lu", temp, ::GetCurrentProcessId());
        ::CreateDirectoryA(m_copyFolder, nullptr);
    }
    const CString copy = m_copyFolder + "\\" + fileName;
    EXPECT_TRUE(::CopyFileA(SamplesExe(), copy, FALSE)) << copy.str();
    return copy;
}

void E2eSession::StartCorvane(LPCSTR version, DWORD timeoutMs, LPCSTR arguments, bool shown)
{
    m_list.reset();
    m_version.reset();
    m_version = std::make_unique<CAppVersion>("corvane.exe", version);
    ASSERT_TRUE(m_corvane.Start(CorvaneExe(), arguments)) << CorvaneExe().str() << ": error " << ::GetLastError();
    // The first refresh runs before the window shows. A hidden one is found
    // as soon as it exists, its controls a moment later.
    ASSERT_TRUE(WaitUntil(
        [&] {
            m_main = FindTopLevel(m_corvane.GetId(), kMainClass, kMainCaption, shown);
            return m_main && ::GetDlgItem(m_main, IDC_TASK_LIST);
        },
        timeoutMs))
        << "no main window";
    m_list = std::make_unique<CRemoteListView>(::GetDlgItem(m_main, IDC_TASK_LIST));
    ASSERT_TRUE(m_list->IsValid());
    // The start of a hidden one ends when it takes posted messages.
    if (!shown) {
        ASSERT_TRUE(Sync(timeoutMs)) << "the start did not end";
    }
}

void E2eSession::ArrangeTaskbar(const Windows& order)
{
    for (HWND hWnd : order)
        ASSERT_TRUE(StandinRequest(m_client.GetTray(), kStandinMsgDeleteTab, reinterpret_cast<WPARAM>(hWnd), 0, nullptr));
    for (HWND hWnd : order)
        ASSERT_TRUE(StandinRequest(m_client.GetTray(), kStandinMsgAddTab, reinterpret_cast<WPARAM>(hWnd), 0, nullptr));
    ASSERT_EQ(order, Restricted(OnTaskbar(), order));
}

bool E2eSession::Click(int id, UINT timeoutMs)
{
    return SendWithin(::GetDlgItem(m_main, id), BM_CLICK, 0, 0, timeoutMs);
}

void E2eSession::PostClick(int id)
{
    // What a button sends its parent when it is clicked.
    ::PostMessageA(m_main, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(m_main, id)));
}

void E2eSession::BringToFront(HWND hWnd)
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

void E2eSession::PressKeysOn(HWND hWnd, const std::function<void()>& keys)
{
    ASSERT_NO_FATAL_FAILURE(BringToFront(hWnd));
    ASSERT_TRUE(WaitUntil([&] { return ActiveOfThread(hWnd) == hWnd; }))
        << "not the active window of its thread; active: \"" << WindowText(ActiveOfThread(hWnd)).str() << "\"";
    ASSERT_EQ(hWnd, ::GetForegroundWindow())
        << "lost the foreground; in front: \"" << WindowText(::GetForegroundWindow()).str() << "\"";
    keys();
}

bool E2eSession::Drag(int from, int to)
{
    // Windows that opened since may cover the list: the drag goes to what is
    // under the pointer.
    if (!WaitUntil([&] {
            if (::GetForegroundWindow() == m_main)
                return true;
            ::SetForegroundWindow(m_main);
            return false;
        })) {
        ADD_FAILURE() << "the main window is not in front";
        return false;
    }
    // Two presses close in time and place make a double click, which starts
    // no drag: each drag presses a little to the other side of the label's
    // centre than the one before.
    m_pressLeft = !m_pressLeft;
    const int shift = 4 * ::GetSystemMetrics(SM_CXDOUBLECLK);
    CPoint start = m_list->GetLabelCentre(from);
    start.x += m_pressLeft ? -shift : shift;
    const CPoint drop = m_list->GetLabelCentre(to);
    if (start.x < 0 || drop.x < 0 || !PointerTo(start)) {
        ADD_FAILURE() << "no entry to drag, or the pointer did not get there";
        return false;
    }
    if (::WindowFromPoint(start) != m_list->GetHwnd()) {
        ADD_FAILURE() << "the entry is covered by \"" << WindowText(::WindowFromPoint(start)).str() << "\"";
        return false;
    }
    RealInput::LeftDown();
    // Beyond the drag threshold the list reports the drag, and the program's
    // rectangle tracking captures the mouse for the dialog. A drop on the
    // entry itself still needs the pointer to have moved.
    const CPoint beyond(start.x + 12, drop.y == start.y ? start.y + 6 : (start.y + drop.y) / 2);
    const bool started = PointerTo(beyond) && WaitUntil([&] { return CaptureOfThread(m_main) == m_main; }, 3000);
    EXPECT_TRUE(started) << "the drag did not start";
    const bool dropped = started && PointerTo(CPoint(drop.x + 2, drop.y)) && PointerTo(drop);
    EXPECT_TRUE(!started || dropped) << "the pointer did not reach the drop place";
    // Released whatever happened, so that no later step finds the button held.
    RealInput::LeftUp();
    const bool ended = WaitUntil([&] { return CaptureOfThread(m_main) == nullptr; }, 3000);
    EXPECT_TRUE(ended) << "the drag did not end";
    return started && dropped && ended;
}

bool E2eSession::IsResponsive(UINT timeoutMs) const
{
    return m_corvane.IsRunning() && SendWithin(m_main, WM_NULL, 0, 0, timeoutMs);
}

bool E2eSession::Sync(DWORD timeoutMs)
{
    // A message sent from here is answered even in the middle of a command,
    // whenever the program waits for the stand-in; a posted one only when the
    // command has returned to the message loop. The marker is a change that
    // cannot be seen: the text background between its default and the window
    // colour that the default stands for.
    HWND list = m_list->GetHwnd();
    LRESULT current = 0;
    if (!SendWithin(list, LVM_GETTEXTBKCOLOR, 0, 0, timeoutMs, &current))
        return false;
    const COLORREF marker = static_cast<COLORREF>(current) == CLR_DEFAULT ? ::GetSysColor(COLOR_WINDOW) : CLR_DEFAULT;
    if (!::PostMessageA(list, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(marker)))
        return false;
    return WaitUntil(
        [&] {
            LRESULT now = 0;
            return SendWithin(list, LVM_GETTEXTBKCOLOR, 0, 0, timeoutMs, &now) && static_cast<COLORREF>(now) == marker;
        },
        timeoutMs);
}

void E2eSession::FocusList()
{
    ::SendMessageA(m_main, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_list->GetHwnd()), TRUE);
    ASSERT_NO_FATAL_FAILURE(BringToFront(m_main));
    ASSERT_EQ(m_list->GetHwnd(), FocusOfThread(m_main));
}

HWND E2eSession::OpenMenu(const std::function<void()>& open)
{
    HWND menu = nullptr;
    // What the program was still doing (the activation and focus changes of
    // hiding or showing its window come as messages) is over before the
    // click that opens the menu, which a late change of activation closes.
    EXPECT_TRUE(Sync()) << "the program did not come back to its loop";
    open();
    EXPECT_TRUE(WaitUntil([&] { return (menu = PopupMenuOf(m_corvane.GetId())) != nullptr; })) << "no menu";
    return menu;
}

void E2eSession::Choose(char mnemonic)
{
    RealInput::Key(static_cast<WORD>(mnemonic));
    ASSERT_TRUE(WaitUntil([&] { return PopupMenuOf(m_corvane.GetId()) == nullptr; })) << "the menu stayed open";
    ASSERT_TRUE(Sync());
}

std::function<void()> E2eSession::RightClickOn(int index)
{
    return [this, index] {
        RealInput::MoveTo(m_list->GetLabelCentre(index));
        RealInput::RightClick();
    };
}

void E2eKeepingSession::SetUp()
{
    E2eSession::SetUp();
    ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Corvane");
}

void E2eKeepingSession::TearDown()
{
    if (m_corvane.IsRunning() && m_main) {
        ::PostMessageA(m_main, WM_COMMAND, ID_TRAY_EXIT, 0);
        m_corvane.WaitForExit(5000);
    }
    EndOtherProcesses();
    E2eSession::TearDown();
    ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Corvane");
}
