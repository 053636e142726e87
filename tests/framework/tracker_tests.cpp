#include <gtest/gtest.h>
#include "framework/framework.h"
#include "framework_tests.h"
#include "tests/support/pump.h"

namespace {

// Queues the input a user's hand would give, for Track's own loop to read.
struct Tracked {
    CDialog dlg{IDD_FW_TEST};
    Tracked() { EXPECT_TRUE(dlg.Create()); }
    ~Tracked() { dlg.DestroyWindow(); }
    void Post(UINT message, int x, int y, WPARAM wParam = 0)
    { dlg.PostMessage(message, wParam, MAKELPARAM(x, y)); }
};

TEST(RectTracker, ReleaseAfterMovementReportsTheMoveAndKeepsTheOffset)
{
    static CWinApp app;
    Tracked t;
    t.Post(WM_MOUSEMOVE, 40, 30, MK_LBUTTON);
    t.Post(WM_MOUSEMOVE, 60, 50, MK_LBUTTON);
    t.Post(WM_LBUTTONUP, 60, 50);
    CRect start(10, 20, 110, 36);
    CRectTracker tracker(&start, CRectTracker::dottedLine);
    EXPECT_TRUE(tracker.Track(&t.dlg, CPoint(15, 25)));
    // The rectangle followed the pointer at the offset it had when the drag began.
    EXPECT_EQ(CRect(55, 45, 155, 61), tracker.m_rect);
    EXPECT_EQ(nullptr, ::GetCapture());
}

TEST(RectTracker, ReleaseWithoutMovementEscapeAndRightButtonReportNothing)
{
    CRect start(10, 20, 110, 36);
    {
        Tracked t;
        t.Post(WM_MOUSEMOVE, 15, 25, MK_LBUTTON);  // the pointer where the drag began
        t.Post(WM_LBUTTONUP, 15, 25);
        CRectTracker tracker(&start, CRectTracker::dottedLine);
        EXPECT_FALSE(tracker.Track(&t.dlg, CPoint(15, 25)));
    }
    {
        Tracked t;
        t.Post(WM_MOUSEMOVE, 80, 80, MK_LBUTTON);
        t.dlg.PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
        t.Post(WM_LBUTTONUP, 80, 80);
        CRectTracker tracker(&start, CRectTracker::dottedLine);
        EXPECT_FALSE(tracker.Track(&t.dlg, CPoint(15, 25)));
        EXPECT_EQ(start, tracker.m_rect);
    }
    {
        Tracked t;
        t.Post(WM_MOUSEMOVE, 80, 80, MK_LBUTTON);
        t.Post(WM_RBUTTONDOWN, 80, 80);
        t.Post(WM_LBUTTONUP, 80, 80);
        CRectTracker tracker(&start, CRectTracker::dottedLine);
        EXPECT_FALSE(tracker.Track(&t.dlg, CPoint(15, 25)));
    }
    EXPECT_EQ(nullptr, ::GetCapture());
    // The left release that followed each cancel is left in the queue, harmless.
    PumpMessages();
}

}  // namespace
