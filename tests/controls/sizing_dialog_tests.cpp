#include <gtest/gtest.h>
#include "controls/sizing_dialog.h"
#include "sizing_dialog_tests.h"
#include "tests/support/pump.h"
#include "tests/support/real_input.h"
#include <cstring>
#include <functional>
#include <ostream>
#include <atomic>
#include <thread>
#include <vector>

// Readable rectangles and points in failure messages.
static void PrintTo(const CRect& r, std::ostream* os)
{
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
static void PrintTo(const CPoint& p, std::ostream* os)
{
    *os << "(" << p.x << ", " << p.y << ")";
}

namespace {

// A dialog control that counts the moves the platform makes on it.
class CMoveCounter : public CWnd {
public:
    int moves = 0;

protected:
    LRESULT OnWindowPosChanging(WPARAM, LPARAM)
    {
        ++moves;
        return Default();
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CMoveCounter, CWnd)
    ON_MESSAGE(WM_WINDOWPOSCHANGING, &CMoveCounter::OnWindowPosChanging)
END_MESSAGE_MAP()

class CTestSizingDlg : public CSizingDialog {
public:
    using Registrations = std::function<void(CTestSizingDlg&)>;
    explicit CTestSizingDlg(Registrations registrations = nullptr)
        : CSizingDialog(IDD_SIZING_TEST), m_registrations(std::move(registrations))
    {
    }

    using CSizingDialog::AddAnchor;
    using CSizingDialog::m_anchors;
    using CSizingDialog::m_bInitialized;
    using CSizingDialog::m_bmpGrip;
    using CSizingDialog::m_bResizeHeight;
    using CSizingDialog::m_bResizeWidth;
    using CSizingDialog::m_sizeMin;
    using CSizingDialog::m_wndGrip;

protected:
    BOOL OnInitDialog() override
    {
        CSizingDialog::OnInitDialog();
        if (m_registrations)
            m_registrations(*this);
        return TRUE;
    }

private:
    Registrations m_registrations;
};

// The usual registrations: one control per mode, the stretched one kept out of the erase.
void RegisterStandard(CTestSizingDlg& dlg)
{
    dlg.AddAnchor(IDC_SZ_STRETCH, 1, 1, true);
    dlg.AddAnchor(IDC_SZ_MOVE, 2, 2, false);
    dlg.AddAnchor(IDC_SZ_FIXED, 0, 0, false);
}

CRect WindowRect(const CWnd& wnd)
{
    CRect r;
    wnd.GetWindowRect(&r);
    return r;
}

CRect ClientRect(const CWnd& wnd)
{
    CRect r;
    wnd.GetClientRect(&r);
    return r;
}

// A control's rectangle in its dialog's client coordinates.
CRect ItemRect(const CWnd& dlg, int id)
{
    CRect r;
    ::GetWindowRect(dlg.GetDlgItem(id), &r);
    dlg.ScreenToClient(&r);
    return r;
}

// SetWindowPos sends WM_SIZE before it returns.
void ResizeTo(CWnd& dlg, int cx, int cy)
{
    dlg.SetWindowPos(nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ResizeBy(CWnd& dlg, int dx, int dy)
{
    const CRect r = WindowRect(dlg);
    ResizeTo(dlg, r.Width() + dx, r.Height() + dy);
}

void ExpectGripInCorner(const CTestSizingDlg& dlg)
{
    const CRect client = ClientRect(dlg);
    const CRect grip = ItemRect(dlg, IDC_SIZE_GRIP);
    EXPECT_EQ(client.BottomRight(), grip.BottomRight());
}

TEST(SizingDialog, InitialisationRecordsTheOpeningSizeAndPlacesTheGrip)
{
    CTestSizingDlg dlg(RegisterStandard);
    ASSERT_TRUE(dlg.Create());
    EXPECT_TRUE(dlg.m_bInitialized);
    EXPECT_EQ(WindowRect(dlg).Width(), dlg.m_sizeMin.cx);
    EXPECT_EQ(WindowRect(dlg).Height(), dlg.m_sizeMin.cy);

    HWND grip = dlg.GetDlgItem(IDC_SIZE_GRIP);
    ASSERT_NE(nullptr, grip);
    EXPECT_EQ(grip, dlg.m_wndGrip.m_hWnd);
    EXPECT_EQ(static_cast<DWORD>(WS_CHILD | WS_VISIBLE | SS_BITMAP),
              static_cast<DWORD>(::GetWindowLongA(grip, GWL_STYLE)) & (WS_CHILD | WS_VISIBLE | SS_TYPEMASK));
    // The grip shows the system's bitmap and took its size.
    ASSERT_EQ(OBJ_BITMAP, static_cast<int>(::GetObjectType(dlg.m_bmpGrip)));
    EXPECT_EQ(dlg.m_bmpGrip.GetSafeHandle(),
              reinterpret_cast<HBITMAP>(::SendMessageA(grip, STM_GETIMAGE, IMAGE_BITMAP, 0)));
    BITMAP bm{};
    ::GetObjectA(dlg.m_bmpGrip, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, ItemRect(dlg, IDC_SIZE_GRIP).Width());
    EXPECT_EQ(bm.bmHeight, ItemRect(dlg, IDC_SIZE_GRIP).Height());
    ExpectGripInCorner(dlg);

    // The grip is the first entry, ahead of the derived dialog's own.
    ASSERT_EQ(4u, dlg.m_anchors.size());
    const auto& first = dlg.m_anchors[0];
    EXPECT_EQ(IDC_SIZE_GRIP, first.nID);
    EXPECT_EQ(2, first.nModeX);
    EXPECT_EQ(2, first.nModeY);
    EXPECT_TRUE(first.bExcludeFromErase);
    EXPECT_EQ(ItemRect(dlg, IDC_SIZE_GRIP), CRect(first.rcLast));
    dlg.DestroyWindow();
}

TEST(SizingDialog, StretchedControlFollowsBothEdgesAndComesBackExactly)
{
    CTestSizingDlg dlg(RegisterStandard);
    ASSERT_TRUE(dlg.Create());
    const CRect original = ItemRect(dlg, IDC_SZ_STRETCH);

    ResizeBy(dlg, 30, 20);
    const CRect grown = ItemRect(dlg, IDC_SZ_STRETCH);
    EXPECT_EQ(CRect(original.left, original.top, original.right + 30, original.bottom + 20), grown);
    EXPECT_EQ(grown, CRect(dlg.m_anchors[1].rcLast));

    ResizeBy(dlg, -30, -20);
    EXPECT_EQ(original, ItemRect(dlg, IDC_SZ_STRETCH));
    EXPECT_EQ(original, CRect(dlg.m_anchors[1].rcLast));
    dlg.DestroyWindow();
}

TEST(SizingDialog, MovedControlAndGripKeepTheirSizeAndCornerDistanceAtEverySize)
{
    CTestSizingDlg dlg(RegisterStandard);
    ASSERT_TRUE(dlg.Create());
    const CRect client0 = ClientRect(dlg);
    const CRect move0 = ItemRect(dlg, IDC_SZ_MOVE);
    const int fromRight = client0.right - move0.right;
    const int fromBottom = client0.bottom - move0.bottom;
    const CSize opening = dlg.m_sizeMin;

    const CSize sizes[] = {{opening.cx + 30, opening.cy + 20},
                           {opening.cx + 157, opening.cy},
                           {opening.cx, opening.cy + 91},
                           {opening.cx + 3, opening.cy + 1},
                           {opening.cx, opening.cy}};
    for (const CSize& size : sizes) {
        ResizeTo(dlg, size.cx, size.cy);
        ASSERT_EQ(size.cx, WindowRect(dlg).Width());
        ASSERT_EQ(size.cy, WindowRect(dlg).Height());
        const CRect client = ClientRect(dlg);
        const CRect move = ItemRect(dlg, IDC_SZ_MOVE);
        EXPECT_EQ(move0.Size().cx, move.Width());
        EXPECT_EQ(move0.Size().cy, move.Height());
        EXPECT_EQ(fromRight, client.right - move.right);
        EXPECT_EQ(fromBottom, client.bottom - move.bottom);
        ExpectGripInCorner(dlg);
    }
    EXPECT_EQ(move0, ItemRect(dlg, IDC_SZ_MOVE));
    dlg.DestroyWindow();
}

TEST(SizingDialog, OnlyControlsWhoseRectangleChangesAreMoved)
{
    CTestSizingDlg dlg(RegisterStandard);
    ASSERT_TRUE(dlg.Create());
    CMoveCounter fixed, stretch, move, grip;
    ASSERT_TRUE(fixed.SubclassDlgItem(IDC_SZ_FIXED, &dlg));
    ASSERT_TRUE(stretch.SubclassDlgItem(IDC_SZ_STRETCH, &dlg));
    ASSERT_TRUE(move.SubclassDlgItem(IDC_SZ_MOVE, &dlg));
    ASSERT_TRUE(grip.SubclassWindow(dlg.m_wndGrip.UnsubclassWindow()));
    const CRect fixed0 = ItemRect(dlg, IDC_SZ_FIXED);

    // A size message without a change of size moves nothing at all.
    const CRect client = ClientRect(dlg);
    dlg.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    dlg.SetWindowPos(nullptr, 0, 0, WindowRect(dlg).Width(), WindowRect(dlg).Height(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    EXPECT_EQ(0, fixed.moves + stretch.moves + move.moves + grip.moves);

    ResizeBy(dlg, 40, 0);
    EXPECT_EQ(1, stretch.moves);
    EXPECT_EQ(1, move.moves);
    EXPECT_EQ(1, grip.moves);
    ResizeBy(dlg, -40, 25);
    ResizeBy(dlg, 0, -25);
    EXPECT_EQ(3, stretch.moves);
    EXPECT_EQ(0, fixed.moves);
    EXPECT_EQ(fixed0, ItemRect(dlg, IDC_SZ_FIXED));
    dlg.DestroyWindow();
}

TEST(SizingDialog, WhereTheDialogStandsPlaysNoPart)
{
    CTestSizingDlg inPlace(RegisterStandard);
    CTestSizingDlg moved(RegisterStandard);
    ASSERT_TRUE(inPlace.Create());
    ASSERT_TRUE(moved.Create());
    const CRect start = WindowRect(moved);

    ResizeBy(inPlace, 30, 20);
    moved.SetWindowPos(nullptr, start.left - 50, start.top + 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Moved and resized in one call, from another position again.
    moved.SetWindowPos(nullptr, start.left + 15, start.top - 25, start.Width() + 30, start.Height() + 20,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_EQ(WindowRect(inPlace).Size().cx, WindowRect(moved).Width());
    for (int id : {IDC_SZ_STRETCH, IDC_SZ_MOVE, IDC_SZ_FIXED, IDC_SIZE_GRIP})
        EXPECT_EQ(ItemRect(inPlace, id), ItemRect(moved, id)) << "control " << id;
    inPlace.DestroyWindow();
    moved.DestroyWindow();
}

// Registers the proportional control with its left edge at 100 and its top at
// 100 while the window is 400 by 300: ratios 1/3 and 1/2.
void RegisterProportional(CTestSizingDlg& dlg)
{
    ResizeTo(dlg, 400, 300);
    ::SetWindowPos(dlg.GetDlgItem(IDC_SZ_PROPORTIONAL), nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dlg.AddAnchor(IDC_SZ_PROPORTIONAL, 3, 0, false);
    dlg.AddAnchor(IDC_SZ_PROPORTIONAL, 0, 3, false);
}

TEST(SizingDialog, ProportionalEdgeKeepsItsFractionOfTheWindowTruncated)
{
    CTestSizingDlg dlg(RegisterProportional);
    ASSERT_TRUE(dlg.Create());
    ASSERT_EQ(400, WindowRect(dlg).Width());
    const CRect r0 = ItemRect(dlg, IDC_SZ_PROPORTIONAL);
    ASSERT_EQ(100, r0.left);
    auto& horizontal = dlg.m_anchors[1];
    auto& vertical = dlg.m_anchors[2];
    EXPECT_DOUBLE_EQ(1.0 / 3.0, horizontal.dRatioX);
    EXPECT_DOUBLE_EQ(0.5, vertical.dRatioY);

    ResizeTo(dlg, 600, 300);
    EXPECT_EQ(150, horizontal.rcLast.left);
    EXPECT_EQ(r0.Width(), horizontal.rcLast.right - horizontal.rcLast.left);
    EXPECT_EQ(r0.top, horizontal.rcLast.top);
    EXPECT_EQ(r0.bottom, horizontal.rcLast.bottom);
    ResizeTo(dlg, 500, 300);
    EXPECT_EQ(125, horizontal.rcLast.left);
    EXPECT_EQ(CRect(horizontal.rcLast), ItemRect(dlg, IDC_SZ_PROPORTIONAL));

    // 400 × (1/3) ÷ (4/3) in double precision lies just below 100.
    ResizeTo(dlg, 400, 300);
    EXPECT_EQ(99, horizontal.rcLast.left);
    EXPECT_EQ(r0.Width(), horizontal.rcLast.right - horizontal.rcLast.left);

    // The vertical ratio 1/2 is exact: 450 × 0.5 ÷ 1.5.
    ResizeTo(dlg, 400, 450);
    EXPECT_EQ(150, vertical.rcLast.top);
    EXPECT_EQ(r0.Height(), vertical.rcLast.bottom - vertical.rcLast.top);
    EXPECT_EQ(r0.left, vertical.rcLast.left);
    EXPECT_EQ(99, horizontal.rcLast.left);
    dlg.DestroyWindow();
}

TEST(SizingDialog, ProportionalControlRegisteredOnTheFarEdgeStaysThere)
{
    CTestSizingDlg dlg([](CTestSizingDlg& d) {
        ResizeTo(d, 400, 300);
        ::SetWindowPos(d.GetDlgItem(IDC_SZ_PROPORTIONAL), nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        d.AddAnchor(IDC_SZ_PROPORTIONAL, 3, 3, false);
        d.AddAnchor(IDC_SZ_MOVE, 2, 2, false);
    });
    ASSERT_TRUE(dlg.Create());
    const CRect r0 = ItemRect(dlg, IDC_SZ_PROPORTIONAL);
    const CRect move0 = ItemRect(dlg, IDC_SZ_MOVE);
    ResizeTo(dlg, 520, 330);
    EXPECT_EQ(CRect(520, 330, 520 + r0.Width(), 330 + r0.Height()), ItemRect(dlg, IDC_SZ_PROPORTIONAL));
    EXPECT_EQ(CRect(move0.left + 120, move0.top + 30, move0.right + 120, move0.bottom + 30), ItemRect(dlg, IDC_SZ_MOVE));
    dlg.DestroyWindow();
}

TEST(SizingDialog, ControlRegisteredTwiceIsLaidOutByBothEntries)
{
    CTestSizingDlg dlg([](CTestSizingDlg& d) {
        d.AddAnchor(IDC_SZ_PLAIN, 1, 0, false);
        d.AddAnchor(IDC_SZ_PLAIN, 2, 1, false);
    });
    ASSERT_TRUE(dlg.Create());
    const CRect r0 = ItemRect(dlg, IDC_SZ_PLAIN);
    ASSERT_EQ(3u, dlg.m_anchors.size());

    ResizeBy(dlg, 30, 20);
    ResizeBy(dlg, 5, 5);
    EXPECT_EQ(CRect(r0.left, r0.top, r0.right + 35, r0.bottom), CRect(dlg.m_anchors[1].rcLast));
    const CRect second(r0.left + 35, r0.top, r0.right + 35, r0.bottom + 25);
    EXPECT_EQ(second, CRect(dlg.m_anchors[2].rcLast));
    // The platform merges two moves of one window in a batch; the later one wins.
    EXPECT_EQ(second, ItemRect(dlg, IDC_SZ_PLAIN));
    dlg.DestroyWindow();
}

TEST(SizingDialog, MissingControlsAreIgnoredAndDoNotStopTheOthers)
{
    CTestSizingDlg dlg([](CTestSizingDlg& d) {
        d.AddAnchor(399, 1, 1, true);
        d.AddAnchor(IDC_SZ_PLAIN, 2, 2, true);
        d.AddAnchor(IDC_SZ_MOVE, 2, 2, false);
    });
    ASSERT_TRUE(dlg.Create());
    ASSERT_EQ(3u, dlg.m_anchors.size());
    const CRect move0 = ItemRect(dlg, IDC_SZ_MOVE);
    // A registered control destroyed later.
    ::DestroyWindow(dlg.GetDlgItem(IDC_SZ_PLAIN));
    ResizeBy(dlg, 10, 10);
    EXPECT_EQ(CRect(move0.left + 10, move0.top + 10, move0.right + 10, move0.bottom + 10), ItemRect(dlg, IDC_SZ_MOVE));
    ExpectGripInCorner(dlg);
    dlg.DestroyWindow();
}

// MINMAXINFO as a test fills it before sending: every member a marker value.
MINMAXINFO Marked()
{
    MINMAXINFO info;
    POINT* p = reinterpret_cast<POINT*>(&info);
    for (size_t i = 0; i < sizeof info / sizeof *p; ++i)
        p[i] = POINT{7000 + static_cast<LONG>(i), 8000 + static_cast<LONG>(i)};
    return info;
}

bool SamePoint(const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }

TEST(SizingDialog, MinMaxInfoGivesTheOpeningSizeAndLocksAxesOnRequest)
{
    CTestSizingDlg dlg(RegisterStandard);
    ASSERT_TRUE(dlg.Create());
    const CSize opening = WindowRect(dlg).Size();

    MINMAXINFO info = Marked();
    dlg.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    const MINMAXINFO marked = Marked();
    EXPECT_EQ(opening.cx, info.ptMinTrackSize.x);
    EXPECT_EQ(opening.cy, info.ptMinTrackSize.y);
    EXPECT_TRUE(SamePoint(marked.ptReserved, info.ptReserved));
    EXPECT_TRUE(SamePoint(marked.ptMaxSize, info.ptMaxSize));
    EXPECT_TRUE(SamePoint(marked.ptMaxPosition, info.ptMaxPosition));
    EXPECT_TRUE(SamePoint(marked.ptMaxTrackSize, info.ptMaxTrackSize));

    // Grown first: the locks give the opening size, not the current one.
    ResizeBy(dlg, 50, 50);
    dlg.m_bResizeWidth = FALSE;
    info = Marked();
    dlg.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(opening.cx, info.ptMaxSize.x);
    EXPECT_EQ(opening.cx, info.ptMaxTrackSize.x);
    EXPECT_EQ(marked.ptMaxSize.y, info.ptMaxSize.y);
    EXPECT_EQ(marked.ptMaxTrackSize.y, info.ptMaxTrackSize.y);
    EXPECT_TRUE(SamePoint(marked.ptMaxPosition, info.ptMaxPosition));

    // The platform applies the answer to every resize of a window with a sizing border.
    ResizeTo(dlg, opening.cx + 80, opening.cy + 60);
    EXPECT_EQ(opening.cx, WindowRect(dlg).Width());
    EXPECT_EQ(opening.cy + 60, WindowRect(dlg).Height());

    dlg.m_bResizeWidth = TRUE;
    dlg.m_bResizeHeight = FALSE;
    info = Marked();
    dlg.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(marked.ptMaxSize.x, info.ptMaxSize.x);
    EXPECT_EQ(marked.ptMaxTrackSize.x, info.ptMaxTrackSize.x);
    EXPECT_EQ(opening.cy, info.ptMaxSize.y);
    EXPECT_EQ(opening.cy, info.ptMaxTrackSize.y);

    dlg.m_bResizeHeight = TRUE;
    ResizeTo(dlg, opening.cx - 30, opening.cy + 10);
    EXPECT_EQ(opening.cx, WindowRect(dlg).Width());
    ResizeTo(dlg, opening.cx + 10, opening.cy - 20);
    EXPECT_EQ(opening.cy, WindowRect(dlg).Height());
    dlg.DestroyWindow();
}

// Drags the window's bottom-right frame corner by (dx, dy) as a user would,
// and pumps until the drag has ended with the window at `expected`, its
// size clamped as the dialog wants it. The platform's sizing loop runs on
// this thread, so the input comes from another, each step once the pointer
// is where the one before put it.
void DragFrameCorner(const CWnd& dlg, int dx, int dy, CSize expected)
{
    const CRect r = WindowRect(dlg);
    const CPoint from(r.right - 2, r.bottom - 2);
    ASSERT_EQ(HTBOTTOMRIGHT, dlg.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(from.x, from.y)));
    RealInput::MoveTo(from);
    ASSERT_TRUE(PumpMessagesUntil([&] { return RealInput::PointerAt(from); }, 10000));
    std::atomic<bool> released{false};
    const DWORD sizer = ::GetCurrentThreadId();
    std::thread user([from, dx, dy, sizer, &released] {
        RealInput::Drag(from, CPoint(from.x + dx, from.y + dy), 5,
                        [sizer] { return RealInput::InMoveSizeLoop(sizer); });
        released = true;
    });
    // The sizing loop runs inside this pump from the press to the release.
    const bool ended = PumpMessagesUntil(
        [&] {
            const CRect now = WindowRect(dlg);
            return released && now.Width() == expected.cx && now.Height() == expected.cy;
        },
        20000);
    user.join();
    PumpMessages();
    EXPECT_TRUE(ended) << "the drag did not end at the expected size";
}

TEST(SizingDialog, UserCannotDragTheFrameBelowTheOpeningSize)
{
    CTestSizingDlg dlg(RegisterStandard);
    ASSERT_TRUE(dlg.Create());
    dlg.ShowWindow(SW_SHOW);
    PumpMessagesFor(50);
    const CSize opening = WindowRect(dlg).Size();
    const CRect stretch0 = ItemRect(dlg, IDC_SZ_STRETCH);

    DragFrameCorner(dlg, 40, 30, CSize(opening.cx + 40, opening.cy + 30));
    ASSERT_EQ(opening.cx + 40, WindowRect(dlg).Width()) << "the drag did not reach the frame";
    EXPECT_EQ(opening.cy + 30, WindowRect(dlg).Height());
    EXPECT_EQ(stretch0.right + 40, ItemRect(dlg, IDC_SZ_STRETCH).right);
    ExpectGripInCorner(dlg);

    DragFrameCorner(dlg, -100, -75, opening);
    EXPECT_EQ(opening.cx, WindowRect(dlg).Width());
    EXPECT_EQ(opening.cy, WindowRect(dlg).Height());
    EXPECT_EQ(stretch0, ItemRect(dlg, IDC_SZ_STRETCH));
    ExpectGripInCorner(dlg);
    dlg.DestroyWindow();
}

// Sees WM_SIZE and WM_GETMINMAXINFO before the base class does, and after.
class CWatchingDlg : public CTestSizingDlg {
public:
    using CTestSizingDlg::CTestSizingDlg;
    int sizesBeforeInit = 0;
    int minMaxBeforeInit = 0;
    int minMaxChangedBeforeInit = 0;
    std::vector<CRect> moveRectSeenAfterBase;

protected:
    BOOL OnInitDialog() override
    {
        // The window is resized while the base class has not initialised yet.
        const CRect r = WindowRect(*this);
        ResizeTo(*this, r.Width() + 20, r.Height() + 20);
        return CTestSizingDlg::OnInitDialog();
    }
    void OnSize(UINT type, int cx, int cy)
    {
        if (!m_bInitialized)
            ++sizesBeforeInit;
        CSizingDialog::OnSize(type, cx, cy);
        if (m_bInitialized)
            moveRectSeenAfterBase.push_back(ItemRect(*this, IDC_SZ_MOVE));
    }
    void OnGetMinMaxInfo(MINMAXINFO* info)
    {
        const MINMAXINFO before = *info;
        CSizingDialog::OnGetMinMaxInfo(info);
        if (!m_bInitialized) {
            ++minMaxBeforeInit;
            if (std::memcmp(&before, info, sizeof before) != 0)
                ++minMaxChangedBeforeInit;
        }
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CWatchingDlg, CTestSizingDlg)
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
END_MESSAGE_MAP()

TEST(SizingDialog, BeforeInitialisationNothingIsLaidOutOrLimited)
{
    CWatchingDlg dlg(RegisterStandard);
    const CRect templateMove = [] {
        CTestSizingDlg plain;
        plain.Create();
        const CRect r = ItemRect(plain, IDC_SZ_MOVE);
        plain.DestroyWindow();
        return r;
    }();
    ASSERT_TRUE(dlg.Create());
    EXPECT_GE(dlg.sizesBeforeInit, 1);
    EXPECT_GE(dlg.minMaxBeforeInit, 1);
    EXPECT_EQ(0, dlg.minMaxChangedBeforeInit);
    // Registered where the template put it; the opening size is the one after the early resize.
    EXPECT_EQ(templateMove, ItemRect(dlg, IDC_SZ_MOVE));
    EXPECT_EQ(WindowRect(dlg).Width(), dlg.m_sizeMin.cx);
    dlg.DestroyWindow();
}

TEST(SizingDialog, DerivedSizeHandlerRunsAfterTheLayout)
{
    CWatchingDlg dlg(RegisterStandard);
    ASSERT_TRUE(dlg.Create());
    dlg.moveRectSeenAfterBase.clear();
    const CRect move0 = ItemRect(dlg, IDC_SZ_MOVE);
    ResizeBy(dlg, 30, 20);
    ASSERT_EQ(1u, dlg.moveRectSeenAfterBase.size());
    EXPECT_EQ(CRect(move0.left + 30, move0.top + 20, move0.right + 30, move0.bottom + 20),
              dlg.moveRectSeenAfterBase[0]);
    dlg.DestroyWindow();
}

// The colour the dialog's erase left at a client point, on a DC prefilled with marker.
class EraseProbe {
public:
    static constexpr COLORREF kMarker = RGB(255, 0, 255);

    explicit EraseProbe(CWnd& dlg) : m_dlg(dlg)
    {
        const CRect client = ClientRect(dlg);
        CClientDC screen(dlg.m_hWnd);
        m_dc = ::CreateCompatibleDC(screen);
        m_bitmap.Attach(::CreateCompatibleBitmap(screen, client.Width(), client.Height()));
        m_old = ::SelectObject(m_dc, m_bitmap);
        CDC(m_dc).FillSolidRect(&client, kMarker);
        m_result = dlg.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(m_dc));
    }
    ~EraseProbe()
    {
        ::SelectObject(m_dc, m_old);
        ::DeleteDC(m_dc);
    }
    EraseProbe(const EraseProbe&) = delete;
    EraseProbe& operator=(const EraseProbe&) = delete;

    LRESULT Result() const { return m_result; }
    bool Painted(POINT p) const { return ::GetPixel(m_dc, p.x, p.y) != kMarker; }
    bool PaintedAtCentreOf(int id) const
    {
        const CRect r = ItemRect(m_dlg, id);
        return Painted(CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    }

private:
    CWnd& m_dlg;
    HDC m_dc = nullptr;
    CBitmap m_bitmap;
    HGDIOBJ m_old = nullptr;
    LRESULT m_result = 0;
};

TEST(SizingDialog, EraseLeavesFlaggedControlsAndOnlyAVisibleGripUnpainted)
{
    CTestSizingDlg dlg([](CTestSizingDlg& d) {
        RegisterStandard(d);
        d.AddAnchor(IDC_SZ_PLAIN, 2, 0, true);
    });
    ASSERT_TRUE(dlg.Create());
    dlg.ShowWindow(SW_SHOWNOACTIVATE);
    ResizeBy(dlg, 25, 15);
    {
        EraseProbe probe(dlg);
        EXPECT_NE(0, probe.Result());
        EXPECT_TRUE(probe.Painted(CPoint(1, 1)));
        EXPECT_FALSE(probe.PaintedAtCentreOf(IDC_SZ_STRETCH));
        EXPECT_TRUE(probe.PaintedAtCentreOf(IDC_SZ_MOVE));
        EXPECT_FALSE(probe.PaintedAtCentreOf(IDC_SIZE_GRIP));
        EXPECT_FALSE(probe.PaintedAtCentreOf(IDC_SZ_PLAIN));
    }
    // Only the grip's visibility counts; another hidden control stays excluded.
    dlg.m_wndGrip.ShowWindow(SW_HIDE);
    ::ShowWindow(dlg.GetDlgItem(IDC_SZ_PLAIN), SW_HIDE);
    {
        EraseProbe probe(dlg);
        EXPECT_TRUE(probe.PaintedAtCentreOf(IDC_SIZE_GRIP));
        EXPECT_FALSE(probe.PaintedAtCentreOf(IDC_SZ_PLAIN));
        EXPECT_FALSE(probe.PaintedAtCentreOf(IDC_SZ_STRETCH));
    }
    dlg.DestroyWindow();
}

// A version-6 control has its parent paint the background under it into the
// control's own DC, whose origin it has moved to the parent's; afterwards it
// draws itself into the same DC.
TEST(SizingDialog, EraseIntoAControlsOwnDcLeavesItsAreaToTheControl)
{
    CTestSizingDlg dlg(RegisterStandard);
    ASSERT_TRUE(dlg.Create());
    dlg.ShowWindow(SW_SHOWNOACTIVATE);
    HWND control = dlg.GetDlgItem(IDC_SZ_STRETCH);
    const CRect r = ItemRect(dlg, IDC_SZ_STRETCH);
    HDC dc = ::GetDC(control);
    CRect whole;
    ASSERT_EQ(SIMPLEREGION, ::GetClipBox(dc, &whole));
    POINT origin{};
    ::OffsetViewportOrgEx(dc, -r.left, -r.top, &origin);
    EXPECT_NE(0, dlg.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc)));
    ::SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
    CRect after;
    EXPECT_EQ(SIMPLEREGION, ::GetClipBox(dc, &after));
    EXPECT_EQ(whole, after);
    ::ReleaseDC(control, dc);
    dlg.DestroyWindow();
}

TEST(SizingDialog, GripBitmapIsReleasedWithTheDialog)
{
    HBITMAP afterWindow = nullptr;
    {
        CTestSizingDlg dlg;
        ASSERT_TRUE(dlg.Create());
        afterWindow = dlg.m_bmpGrip;
        dlg.DestroyWindow();
        EXPECT_EQ(nullptr, dlg.m_wndGrip.m_hWnd);
        EXPECT_EQ(OBJ_BITMAP, static_cast<int>(::GetObjectType(afterWindow)));
    }
    EXPECT_EQ(0u, ::GetObjectType(afterWindow));

    // An object destroyed with its window still open takes both with it.
    HBITMAP withWindow = nullptr;
    HWND window = nullptr;
    HWND grip = nullptr;
    {
        CTestSizingDlg dlg;
        ASSERT_TRUE(dlg.Create());
        withWindow = dlg.m_bmpGrip;
        window = dlg.m_hWnd;
        grip = dlg.m_wndGrip.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(grip));
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(0u, ::GetObjectType(withWindow));
}

}  // namespace
