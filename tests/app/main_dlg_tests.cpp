#include "app_fixture.h"
#include "tests/support/ansi_text.h"
#include "tests/support/dialog_watcher.h"
#include "tests/support/pump.h"
#include "framework/gdi.h"
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <functional>
#include <thread>

namespace {

using Order = std::vector<HWND>;

TEST_F(MainDlgTest, OpensWithTheListInTaskbarOrderAndNeverListsItself)
{
    AddWindows(4);
    m_shell->SetButtons({m_handles[2], m_handles[0], m_handles[3], m_handles[1]});
    Open();
    EXPECT_EQ((Order{m_handles[2], m_handles[0], m_handles[3], m_handles[1]}), Listed());

    // A tool window without WS_EX_APPWINDOW: no button, and not a task window.
    const DWORD exStyle = m_dlg.GetExStyle();
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(CTaskButtonList::IsTaskWindow(m_dlg.m_hWnd));
    EXPECT_EQ(-1, IndexOf(m_dlg.m_hWnd));
    // Not topmost.
    EXPECT_FALSE(exStyle & WS_EX_TOPMOST);
    // The focus starts on the list, the first tab stop.
    EXPECT_EQ(List(), ::GetFocus());
}

TEST_F(MainDlgTest, SystemMenuEndsWithASeparatorAndTheAboutItem)
{
    Open();
    HMENU menu = m_dlg.GetSystemMenu(FALSE);
    ASSERT_NE(nullptr, menu);
    const int n = ::GetMenuItemCount(menu);
    ASSERT_GE(n, 2);
    char text[64] = {};
    ::GetMenuStringA(menu, n - 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_EQ(AnsiText("关于 Corvane..."), text);
    EXPECT_EQ(static_cast<UINT>(IDM_ABOUTBOX), ::GetMenuItemID(menu, n - 1));
    EXPECT_TRUE(::GetMenuState(menu, n - 2, MF_BYPOSITION) & MF_SEPARATOR);
}

TEST_F(MainDlgTest, MoveButtonsReorderTaskbarAndListAndKeepTheSelection)
{
    AddWindows(3);
    Open();
    const Order start = m_handles;
    Select(IndexOf(start[1]));
    Click(IDC_MOVE_UP);
    EXPECT_EQ((Order{start[1], start[0], start[2]}), Listed());
    EXPECT_EQ(Listed(), OnTaskbar());
    EXPECT_EQ(IndexOf(start[1]), Selected());

    Click(IDC_MOVE_DOWN);
    Click(IDC_MOVE_DOWN);
    EXPECT_EQ((Order{start[0], start[2], start[1]}), Listed());
    EXPECT_EQ(Listed(), OnTaskbar());
    EXPECT_EQ(IndexOf(start[1]), Selected());
}

// width x height pixels of `source` from (x, y), one 0xRRGGBB a pixel, row by row.
std::vector<DWORD> CopyPixels(HDC source, int x, int y, int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* raw = nullptr;
    CBitmap bitmap;
    bitmap.Attach(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &raw, nullptr, 0));
    struct CMemoryDC {
        HDC dc = ::CreateCompatibleDC(nullptr);
        ~CMemoryDC() { ::DeleteDC(dc); }
    } memory;
    {
        const CSelectObject selected(memory.dc, bitmap);
        ::BitBlt(memory.dc, 0, 0, width, height, source, x, y, SRCCOPY);
    }
    const auto* pixels = static_cast<const DWORD*>(raw);
    std::vector<DWORD> result(pixels, pixels + width * height);
    for (DWORD& pixel : result)
        pixel &= 0xFFFFFF;
    return result;
}

// The part of the list's client area that differs from the list's background
// as the screen shows it now: the bounding box, in client coordinates, empty
// when nothing differs.
CRect CaptureInk(HWND list)
{
    CRect client;
    ::GetClientRect(list, &client);
    POINT origin{0, 0};
    ::ClientToScreen(list, &origin);
    const std::vector<DWORD> pixels =
        CopyPixels(CClientDC(nullptr), origin.x, origin.y, client.Width(), client.Height());
    const COLORREF background = static_cast<COLORREF>(::SendMessageA(list, LVM_GETBKCOLOR, 0, 0));
    const DWORD wanted = (GetRValue(background) << 16) | (GetGValue(background) << 8) | GetBValue(background);
    CRect ink(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    for (int y = 0; y < client.Height(); ++y) {
        for (int x = 0; x < client.Width(); ++x) {
            if (pixels[static_cast<size_t>(y * client.Width() + x)] == wanted)
                continue;
            ink.left = std::min<LONG>(ink.left, x);
            ink.top = std::min<LONG>(ink.top, y);
            ink.right = std::max<LONG>(ink.right, x + 1);
            ink.bottom = std::max<LONG>(ink.bottom, y + 1);
        }
    }
    return ink.left == INT_MAX ? CRect() : ink;
}

// The same once the list has been painted again and the screen shows the
// same picture twice running: the display shows a window's painting a moment
// after the program made it. The dialog is brought above every other window.
CRect InkOnScreen(HWND dlg, HWND list)
{
    ::SetWindowPos(dlg, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    CRect last = CaptureInk(list);
    for (int look = 0; look < 60; ++look) {
        PumpMessagesFor(50);
        const CRect now = CaptureInk(list);
        if (now == last && !now.IsRectEmpty())
            break;
        last = now;
    }
    return last;
}

// The height of a line of the dialog's font.
int LineHeight(HWND dlg)
{
    const CClientDC dc(dlg);
    const CSelectObject selected(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(dlg, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(dc, &metrics);
    return metrics.tmHeight;
}

// Centred: as much room on either side of the ink as on the other, give or
// take the blank part of a glyph's cell (a full-width "。" inks only its left
// half), which is less than a line's height.
void ExpectCentredWithin(const CRect& ink, HWND list, int slack)
{
    CRect client;
    ::GetClientRect(list, &client);
    EXPECT_FALSE(ink.IsRectEmpty());
    EXPECT_LE(std::abs(ink.left - (client.right - ink.right)), slack) << ink.left << " " << ink.right;
    EXPECT_LE(std::abs(ink.top - (client.bottom - ink.bottom)), slack) << ink.top << " " << ink.bottom;
}

TEST_F(MainDlgTest, AnEmptyListWithoutATaskbarSaysSoCentredAndWrappedToItsWidth)
{
    m_shell.reset();
    m_shell = std::make_unique<CFakeShell>(FakeTaskbarLayout::NoTray());
    Open();
    // Away from the list, which would otherwise draw its focus rectangle.
    ::SetFocus(m_dlg.GetDlgItem(IDOK));
    EXPECT_EQ(0, ::SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0));
    const int line = LineHeight(m_dlg);
    const CRect ink = InkOnScreen(m_dlg, List());
    ExpectCentredWithin(ink, List(), line);
    EXPECT_GE(ink.Height(), 2 * line) << "the long text wraps to the list's width";

    // Twice as wide, the text takes fewer lines and stays centred.
    CRect window;
    m_dlg.GetWindowRect(&window);
    m_dlg.SetWindowPos(nullptr, 0, 0, window.Width() * 2, window.Height(), SWP_NOMOVE | SWP_NOZORDER);
    const CRect wide = InkOnScreen(m_dlg, List());
    ExpectCentredWithin(wide, List(), line);
    EXPECT_LT(wide.Height(), ink.Height());
    EXPECT_GT(wide.Width(), ink.Width());
    EXPECT_EQ(0, ::SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0));
}

// The list's client area as its window holds it now, one 0xRRGGBB a pixel,
// row by row: what the program drew, before the display shows it.
std::vector<DWORD> ClientPixels(HWND list)
{
    CRect client;
    ::GetClientRect(list, &client);
    return CopyPixels(CClientDC(list), 0, 0, client.Width(), client.Height());
}

TEST_F(MainDlgTest, AnEmptyListsTextIsDrawnOnlyWhereTheListIsPainted)
{
    m_shell.reset();
    m_shell = std::make_unique<CFakeShell>(FakeTaskbarLayout::NoTray());
    Open();
    ::SetFocus(m_dlg.GetDlgItem(IDOK));
    ASSERT_FALSE(InkOnScreen(m_dlg, List()).IsRectEmpty());
    ::RedrawWindow(List(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const std::vector<DWORD> full = ClientPixels(List());

    // Everything in a colour that no painting uses, then the left half, which
    // cuts through every line of the text, painted again.
    CRect client;
    ::GetClientRect(List(), &client);
    constexpr COLORREF kMarker = RGB(255, 0, 255);
    {
        CClientDC dc(List());
        dc.FillSolidRect(&client, kMarker);
    }
    CRect half = client;
    half.right = client.Width() / 2;
    ::RedrawWindow(List(), &half, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const std::vector<DWORD> partly = ClientPixels(List());
    ASSERT_EQ(partly.size(), full.size());
    int outside = 0, differentInside = 0;
    for (int y = 0; y < client.Height(); ++y) {
        for (int x = 0; x < client.Width(); ++x) {
            const size_t at = static_cast<size_t>(y * client.Width() + x);
            if (x >= half.right)
                outside += partly[at] != 0xFF00FF;
            else
                differentInside += partly[at] != full[at];
        }
    }
    EXPECT_EQ(outside, 0) << "pixels drawn outside the area being painted";
    EXPECT_EQ(differentInside, 0) << "pixels unlike a full paint's inside it";
}

TEST_F(MainDlgTest, AnEmptyListsTextBreaksARunWithoutBlanksInsideTheList)
{
    m_shell.reset();
    m_shell = std::make_unique<CFakeShell>(FakeTaskbarLayout::NoTray());
    Open();
    ::SetFocus(m_dlg.GetDlgItem(IDOK));
    auto* list = static_cast<CTaskListCtrl*>(CWnd::FromHandlePermanent(List()));
    ASSERT_NE(list, nullptr);
    list->SetEmptyText(CString(std::string(120, 'W')));
    const int line = LineHeight(m_dlg);
    const CRect ink = InkOnScreen(m_dlg, List());
    ExpectCentredWithin(ink, List(), line);
    EXPECT_GE(ink.Height(), 2 * line) << "the run is broken into lines, not cut off at the right";
}

TEST_F(MainDlgTest, AnEmptyListOverATaskbarWithoutTaskWindowsSaysThatInOneLine)
{
    Open();
    ::SetFocus(m_dlg.GetDlgItem(IDOK));
    ASSERT_EQ(0, ::SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0)) << "no other task window may exist here";
    const int line = LineHeight(m_dlg);
    const CRect ink = InkOnScreen(m_dlg, List());
    ExpectCentredWithin(ink, List(), line);
    EXPECT_LE(ink.Height(), line);
    // As wide as this text in the dialog's font, less the blank of its last
    // glyph's cell.
    const std::string text = AnsiText("没有带任务栏按钮的窗口。");
    const CClientDC dc(m_dlg);
    const CSelectObject selected(dc, reinterpret_cast<HGDIOBJ>(m_dlg.SendMessage(WM_GETFONT)));
    SIZE extent{};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    EXPECT_LE(ink.Width(), extent.cx);
    EXPECT_GT(ink.Width(), extent.cx - line);
}

TEST_F(MainDlgTest, AListWithEntriesShowsNoTextBelowThem)
{
    AddWindows(2);
    Open();
    ::SetFocus(m_dlg.GetDlgItem(IDOK));
    ASSERT_EQ(2, ::SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0));
    CRect last;
    ListView_GetItemRect(List(), 1, &last, LVIR_BOUNDS);
    const CRect ink = InkOnScreen(m_dlg, List());
    EXPECT_FALSE(ink.IsRectEmpty()) << "the entries' titles";
    EXPECT_LE(ink.bottom, last.bottom);
}

TEST_F(MainDlgTest, RefreshPicksUpANewWindowAtItsTaskbarPlace)
{
    AddWindows(2);
    Open();
    AddWindows(1);
    m_shell->SetButtons({m_handles[2], m_handles[0], m_handles[1]});
    EXPECT_EQ((Order{m_handles[0], m_handles[1]}), Listed());
    Click(IDC_REFRESH);
    EXPECT_EQ((Order{m_handles[2], m_handles[0], m_handles[1]}), Listed());
}

TEST_F(MainDlgTest, TheColumnSpansTheListAfterEveryResize)
{
    AddWindows(2);
    Open();
    auto columnMatches = [this] {
        RECT client;
        ::GetClientRect(List(), &client);
        return ::SendMessageA(List(), LVM_GETCOLUMNWIDTH, 0, 0) == client.right;
    };
    EXPECT_TRUE(columnMatches());
    CRect window;
    m_dlg.GetWindowRect(&window);
    for (int grow : {60, 140, 0, 25}) {
        m_dlg.SetWindowPos(nullptr, 0, 0, window.Width() + grow, window.Height() + grow / 2,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_TRUE(columnMatches()) << "grown by " << grow;
    }
    // One column only: the resizes before initialisation added or changed none.
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    EXPECT_FALSE(::SendMessageA(List(), LVM_GETCOLUMNA, 1, reinterpret_cast<LPARAM>(&column)));
}

TEST_F(MainDlgTest, ButtonsKeepTheirCornersAndTheListGrows)
{
    Open();
    auto rectOf = [this](int id) {
        CRect r;
        ::GetWindowRect(m_dlg.GetDlgItem(id), &r);
        m_dlg.ScreenToClient(&r);
        return r;
    };
    const CRect close = rectOf(IDOK), up = rectOf(IDC_MOVE_UP), list = rectOf(IDC_TASK_LIST);
    CRect window;
    m_dlg.GetWindowRect(&window);
    m_dlg.SetWindowPos(nullptr, 0, 0, window.Width() + 50, window.Height() + 30,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(CRect(close.left + 50, close.top, close.right + 50, close.bottom), rectOf(IDOK));
    EXPECT_EQ(CRect(up.left + 50, up.top + 30, up.right + 50, up.bottom + 30), rectOf(IDC_MOVE_UP));
    EXPECT_EQ(CRect(list.left, list.top, list.right + 50, list.bottom + 30), rectOf(IDC_TASK_LIST));
}

TEST_F(DragTest, DropOnAnEntrysLabelMovesTheDraggedEntryThereUnselected)
{
    AddWindows(5);
    Open();
    const Order start = Listed();
    ASSERT_EQ(5u, start.size());
    Select(IndexOf(start[3]));
    m_shell->ClearCalls();
    Drag(IndexOf(start[3]), LabelOf(IndexOf(start[1])));
    EXPECT_EQ((Order{start[0], start[3], start[1], start[2], start[4]}), Listed());
    EXPECT_EQ(Listed(), OnTaskbar());
    EXPECT_EQ(-1, Selected());
    EXPECT_EQ(nullptr, ::GetCapture());
}

TEST_F(DragTest, DropElsewhereCancelledOrWithoutMovementChangesNothing)
{
    AddWindows(3);
    Open();
    const Order start = Listed();
    RECT client;
    ::GetClientRect(List(), &client);
    m_shell->ClearCalls();

    Drag(IndexOf(start[2]), CPoint(client.right / 2, client.bottom - 3));  // below the last entry
    EXPECT_TRUE(m_shell->Calls().empty()) << "dropped below the entries";
    Drag(IndexOf(start[2]), LabelOf(IndexOf(start[0])), WM_KEYDOWN);
    EXPECT_TRUE(m_shell->Calls().empty()) << "cancelled with Esc";
    Drag(IndexOf(start[2]), LabelOf(IndexOf(start[0])), WM_RBUTTONDOWN);
    EXPECT_TRUE(m_shell->Calls().empty()) << "cancelled with the right button";
    Drag(IndexOf(start[2]), LabelOf(IndexOf(start[2])), WM_LBUTTONUP, false);
    EXPECT_TRUE(m_shell->Calls().empty()) << "released without movement";
    EXPECT_EQ(start, Listed());
}

TEST_F(DragTest, TheRestoreWaitsForTheDropAndTheDraggedWindowLandsWhereItWasDropped)
{
    AddWindows(5);
    Open();
    const Order w = m_handles;
    ASSERT_EQ(w, Listed());
    // A closed window above the dragged one: an arrangement during the drag
    // would drop its entry and shift the dragged entry's index.
    m_windows[1].Reset();
    m_handles.erase(m_handles.begin() + 1);
    const size_t entries = ListCount();
    m_shell->ClearCalls();
    PumpMessages();
    // The shell restarts during the drag, and the restore looks twice.
    m_dlg.PostMessage(::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    m_dlg.QueueLookAtTaskbar();
    m_dlg.QueueLookAtTaskbar();
    Drag(3, LabelOf(0));
    ASSERT_FALSE(m_shell->Calls().empty());
    EXPECT_EQ((TaskbarCall{TaskbarOp::DeleteTab, w[3]}), m_shell->Calls().front()) << "a shell call before the drop";
    EXPECT_EQ((Order{w[3], w[0], w[2], w[4]}), Listed());
    EXPECT_EQ(Listed(), OnTaskbar());
    EXPECT_EQ(entries - 1, ListCount()) << "not arranged after the drop";
}

// The list's menu as it stands open: each move item's state.
struct MenuMoveStates {
    UINT up = ~0u, down = ~0u, top = ~0u, bottom = ~0u;
    bool operator==(const MenuMoveStates& o) const
    {
        return up == o.up && down == o.down && top == o.top && bottom == o.bottom;
    }
};

TEST_F(MainDlgTest, TheListsMenuGreysTheMovesThatWouldDoNothing)
{
    AddWindows(3);
    Open();
    m_shell->ClearCalls();
    const auto open = [this](int selected) {
        LVITEMA none{};
        none.stateMask = LVIS_SELECTED;
        ::SendMessageA(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
        if (selected >= 0)
            Select(selected);
        MenuMoveStates states;
        // From the keyboard: the menu opens at the selected entry.
        InListMenu(m_dlg, List(), -1, [&states](HWND popup) {
            HMENU menu = reinterpret_cast<HMENU>(::SendMessageA(popup, MN_GETHMENU, 0, 0));
            const auto state = [menu](UINT id) { return ::GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED; };
            states = {state(IDC_MOVE_UP), state(IDC_MOVE_DOWN), state(ID_TASK_MOVE_TOP), state(ID_TASK_MOVE_BOTTOM)};
        });
        return states;
    };
    const UINT on = MF_ENABLED, off = MF_GRAYED;
    EXPECT_TRUE((MenuMoveStates{off, off, off, off}) == open(-1)) << "no selection";
    EXPECT_TRUE((MenuMoveStates{off, on, off, on}) == open(0)) << "the first entry";
    EXPECT_TRUE((MenuMoveStates{on, on, on, on}) == open(1)) << "a middle entry";
    EXPECT_TRUE((MenuMoveStates{on, off, on, off}) == open(2)) << "the last entry";
    EXPECT_TRUE(m_shell->Calls().empty()) << "a menu closed without a command moves nothing";
}

TEST_F(MainDlgTest, TheKeyboardsMenuOpensAtTheSelectedEntryWhenOnlyTheLowHalfOfLParamIsSet)
{
    AddWindows(3);
    Open();
    Select(1);
    RECT label{};
    label.left = LVIR_LABEL;
    ::SendMessageA(List(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&label));
    POINT expected{label.left, label.bottom};
    ::ClientToScreen(List(), &expected);
    RECT shown{};
    // Both coordinates -1 as 64-bit Windows may deliver them; on 32-bit this is -1.
    const auto keyboard = static_cast<LPARAM>(static_cast<DWORD_PTR>(0xFFFFFFFFu));
    InListMenu(m_dlg, List(), keyboard, [&shown](HWND popup) { ::GetWindowRect(popup, &shown); });
    EXPECT_EQ(expected.x, shown.left);
    EXPECT_EQ(expected.y, shown.top);
}

TEST_F(MainDlgTest, TheWindowClearsAppWindowOnItselfWhateverTheApplicationsMainWindowIs)
{
    // Its destructor takes it off as the main window again.
    CWnd other;
    ASSERT_TRUE(other.CreateEx(WS_EX_APPWINDOW, "STATIC", "other", WS_POPUP, CRect(0, 0, 50, 50), nullptr, 0));
    TestApp().m_pMainWnd = &other;
    ASSERT_TRUE(m_dlg.Create());
    EXPECT_FALSE(m_dlg.GetExStyle() & WS_EX_APPWINDOW);
    EXPECT_TRUE(m_dlg.GetExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(other.GetExStyle() & WS_EX_APPWINDOW) << "another window's style changed";
}

// ------------------------------------------------ the restore after a restart

// A restarted shell whose new button host comes first and whose buttons
// arrive over several looks, in an order of its own.
TEST_F(MainDlgTest, TheRestoreWaitsUntilTheNewTaskbarShowsTheSameCountTwice)
{
    AddWindows(5);
    Open();
    const Order listed = Listed();
    m_shell.reset();
    m_shell = std::make_unique<CFakeShell>();
    ASSERT_TRUE(m_shell->IsReady());
    TaskbarCreated();
    const Order arrival{m_handles[4], m_handles[2], m_handles[0], m_handles[3], m_handles[1]};
    for (size_t shown : {0, 2, 4, 5}) {
        m_shell->SetButtons(Order(arrival.begin(), arrival.begin() + static_cast<std::ptrdiff_t>(shown)));
        m_dlg.LookAtTaskbar();
        EXPECT_FALSE(ButtonsTouched()) << "arranged with " << shown << " of 5 buttons there";
    }
    m_dlg.LookAtTaskbar();
    EXPECT_EQ(listed, OnTaskbar());
    EXPECT_EQ(2 * ListCount(), m_shell->Calls().size());

    // Arranged once: the restore is over.
    m_shell->ClearCalls();
    m_dlg.LookAtTaskbar();
    EXPECT_TRUE(m_shell->Calls().empty());
}

// A taskbar whose button host stops answering, as a hung shell's does: its
// windows belong to a thread that made them and then waits, pumping no
// messages, until the object goes. That thread has no COM: the shell's
// TaskbarList stays the test's own.
class CHungTaskbar {
public:
    CHungTaskbar() : m_thread([this] { Run(); }) { ::WaitForSingleObject(m_ready.Get(), 10000); }
    ~CHungTaskbar()
    {
        ::SetEvent(m_release.Get());
        m_thread.join();
    }
    CHungTaskbar(const CHungTaskbar&) = delete;
    CHungTaskbar& operator=(const CHungTaskbar&) = delete;
    HWND Host() const { return m_host; }

private:
    void Run()
    {
        const CFakeShell windowsOnly;
        m_host = windowsOnly.TabControl();
        ::SetEvent(m_ready.Get());
        ::WaitForSingleObject(m_release.Get(), INFINITE);
    }

    CHandle m_ready{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    CHandle m_release{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    HWND m_host = nullptr;
    std::thread m_thread;
};

TEST_F(MainDlgTest, TheRestoreTakesAHostThatDoesNotAnswerForNoHostAndStillGivesUp)
{
    AddWindows(3);
    Open();
    m_shell.reset();
    m_shell = std::make_unique<CFakeShell>(FakeTaskbarLayout::NoTray());
    {
        const CHungTaskbar hung;
        ASSERT_NE(nullptr, hung.Host());
        ASSERT_EQ(hung.Host(), CTaskButtonList::FindButtonHost());
        TaskbarCreated();
        for (int look = 0; look < 3; ++look)
            m_dlg.LookAtTaskbar();
        EXPECT_FALSE(ButtonsTouched()) << "arranged a taskbar that answers nothing";
        // Ten seconds after the broadcast the restore gives up.
        m_dlg.AgeRestore(10000);
        m_dlg.LookAtTaskbar();
    }
    // A shell that answers after that is left alone.
    m_shell.reset();
    m_shell = std::make_unique<CFakeShell>();
    m_shell->SetButtons(m_handles);
    m_dlg.LookAtTaskbar();
    m_dlg.LookAtTaskbar();
    EXPECT_FALSE(ButtonsTouched());
}

// The shell restarts while a refresh shows "Unable to Activate Tab.", as it
// may when a restarting shell fails the first activations.
TEST_F(MainDlgTest, TheRestoreWaitsForTheProbesMessageBoxAndArrangesOnceAfterTheProbe)
{
    AddWindows(4);
    Open();
    const Order shellOrder{m_handles[2], m_handles[0], m_handles[3], m_handles[1]};
    m_shell->SetButtons(shellOrder);
    // The focus where a probe of the last position leaves it.
    ::SendMessageA(m_shell->TabControl(), TCM_SETCURFOCUS, 3, 0);
    m_shell->SetResult(TaskbarOp::ActivateTab, E_FAIL);
    int boxes = 0;
    bool touchedInBox = true;
    CDialogWatcher watcher([&](HWND box) {
        // The main window is activated again when the box has gone.
        if (box == m_dlg.m_hWnd)
            return false;
        if (boxes++ == 0) {
            touchedInBox = RestartShellNow();
            m_shell->SetResult(TaskbarOp::ActivateTab, S_OK);
        }
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        return true;
    });
    Click(IDC_REFRESH);
    ASSERT_EQ(1, boxes);
    EXPECT_FALSE(touchedInBox) << "the taskbar was arranged while the box was open";
    EXPECT_EQ(shellOrder, Listed()) << "the probe did not read the shell's own order";
    EXPECT_EQ(shellOrder, OnTaskbar());
    // Arranged once, after the probe's last activation.
    const std::vector<TaskbarCall>& calls = m_shell->Calls();
    const auto lastActivation = std::find_if(calls.rbegin(), calls.rend(),
                                             [](const TaskbarCall& call) { return call.op == TaskbarOp::ActivateTab; });
    EXPECT_EQ(2 * ListCount(), static_cast<size_t>(lastActivation - calls.rbegin()));
    EXPECT_EQ(ListCount(), m_shell->CallsOf(TaskbarOp::DeleteTab).size());
}

TEST_F(MainDlgTest, TheRestoreWaitsForTheListsMenuAndTheAboutBox)
{
    AddWindows(3);
    Open();
    bool touchedInMenu = true;
    InListMenu(m_dlg, List(), -1, [&](HWND) { touchedInMenu = RestartShellNow(); });
    EXPECT_FALSE(touchedInMenu);
    EXPECT_EQ(2 * ListCount(), m_shell->Calls().size()) << "not arranged when the menu closed";

    bool touchedInBox = true;
    {
        CDialogWatcher watcher([&](HWND about) {
            if (about == m_dlg.m_hWnd)
                return false;
            touchedInBox = RestartShellNow();
            CDialogWatcher::PressEnter(about);
            return true;
        });
        Click(IDC_ABOUT);
    }
    EXPECT_FALSE(touchedInBox);
    EXPECT_EQ(2 * ListCount(), m_shell->Calls().size()) << "not arranged when the About box closed";
}

TEST(MainApp, ImageListOutlivesTheWindowAndIsDestroyedOnceWithTheApplication)
{
    HIMAGELIST images;
    {
        CMainApp app;
        ASSERT_TRUE(app.m_imageList.Create(16, 16, ILC_COLOR32, 0, 10));
        images = app.m_imageList.GetSafeHandle();
        CFakeShell shell;
        CTestWindowClass cls("CorvaneImageListTest", RGB(200, 0, 0));
        CTestWindow w = CTestWindow::Create(cls, AnsiText("图标"));
        shell.SetButtons({w});
        {
            CTestMainDlg dlg;
            // Read back through AfxGetMainWnd() while the dialog initialises.
            // cppcheck-suppress unreadVariable
            app.m_pMainWnd = &dlg;
            ASSERT_TRUE(dlg.Create());
            EXPECT_EQ(images, reinterpret_cast<HIMAGELIST>(
                                  ::SendMessageA(dlg.GetDlgItem(IDC_TASK_LIST), LVM_GETIMAGELIST, LVSIL_SMALL, 0)));
            EXPECT_GE(ImageList_GetImageCount(images), 1);
            dlg.DestroyWindow();
        }
        // The control's destruction left the application's list alone.
        int cx = 0, cy = 0;
        EXPECT_TRUE(ImageList_GetIconSize(images, &cx, &cy));
        EXPECT_GE(ImageList_GetImageCount(images), 1);
    }
    int cx = 0, cy = 0;
    EXPECT_FALSE(ImageList_GetIconSize(images, &cx, &cy));
    TestApp();  // the suite's own application object is current again
}

}  // namespace
