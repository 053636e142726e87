// Times what the controls' tests wait for without timing it: how long the
// link label keeps its hover state once the pointer has left it (its poll
// runs every 100 ms), and how long a drag of a resizable dialog's frame
// corner takes from the press until the window has its new size. Real
// pointer input, on the bench's display; median and longest of the runs.
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>
#include "bench_clock.h"
#include "controls/link_label.h"
#include "controls/sizing_dialog.h"
#include "framework/app.h"
#include "framework/dialog.h"
#include "link_label_tests.h"
#include "sizing_dialog_tests.h"
#include "tests/support/pump.h"
#include "tests/support/real_input.h"

namespace {

constexpr DWORD kLimitMs = 20000;

class CBenchLabel : public CLinkLabel {
public:
    bool IsHovering() const { return m_mouseOver != FALSE; }
};

class CLabelDlg : public CDialog {
public:
    CLabelDlg() : CDialog(IDD_LINK_TEST) {}
    CBenchLabel label;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_LINK_LEFT, label); }
};

class CSizingDlg : public CSizingDialog {
public:
    CSizingDlg() : CSizingDialog(IDD_SIZING_TEST) {}
};

CRect ScreenRect(HWND hWnd)
{
    CRect r;
    ::GetWindowRect(hWnd, &r);
    return r;
}

// False when a run did not end within the limit.
bool Print(const char* what, std::vector<double> times, bool ok)
{
    std::sort(times.begin(), times.end());
    if (!ok || times.empty()) {
        std::printf("  %-34s did not end within %lu ms\n", what, static_cast<unsigned long>(kLimitMs));
        return false;
    }
    std::printf("  %-34s %8.1f ms median, %8.1f ms longest, %zu runs\n", what, times[times.size() / 2], times.back(),
                times.size());
    return true;
}

// From the pointer leaving the label to the poll that ends the hover.
bool HoverEnds(int runs)
{
    CLabelDlg dlg;
    if (!dlg.Create())
        return Print("link label: hover ends", {}, false);
    dlg.ShowWindow(SW_SHOW);
    PumpMessages();
    const CRect label = ScreenRect(dlg.label);
    const CRect dialog = ScreenRect(dlg);
    const CPoint inside((label.left + label.right) / 2, (label.top + label.bottom) / 2);
    const CPoint outside(dialog.right + 30, dialog.bottom + 30);
    std::vector<double> times;
    bool ok = true;
    for (int i = 0; i < runs && ok; ++i) {
        ::SetCursorPos(inside.x, inside.y);
        ok = PumpMessagesUntil([&] { return dlg.label.IsHovering(); }, kLimitMs);
        const double left = Now();
        ::SetCursorPos(outside.x, outside.y);
        ok = ok && PumpMessagesUntil([&] { return !dlg.label.IsHovering(); }, kLimitMs);
        times.push_back(Now() - left);
    }
    dlg.DestroyWindow();
    return Print("link label: hover ends after leaving", times, ok);
}

// One drag of the frame's bottom-right corner by (dx, dy), paced by the
// pointer; the time from the press until the window has its new size.
bool DragCorner(CSizingDlg& dlg, int dx, int dy, double& ms)
{
    const CRect r = ScreenRect(dlg);
    const CPoint from(r.right - 2, r.bottom - 2);
    RealInput::MoveTo(from);
    if (!PumpMessagesUntil([&] { return RealInput::PointerAt(from); }, kLimitMs))
        return false;
    const CSize expected(r.Width() + dx, r.Height() + dy);
    std::atomic<bool> released{false};
    const double start = Now();
    const DWORD sizer = ::GetCurrentThreadId();
    std::thread hand([from, dx, dy, sizer, &released] {
        RealInput::Drag(from, CPoint(from.x + dx, from.y + dy), 5,
                        [sizer] { return RealInput::InMoveSizeLoop(sizer); });
        released = true;
    });
    const bool ended = PumpMessagesUntil(
        [&] {
            const CRect now = ScreenRect(dlg);
            return released && now.Width() == expected.cx && now.Height() == expected.cy;
        },
        kLimitMs);
    ms = Now() - start;
    hand.join();
    PumpMessages();
    return ended;
}

bool FrameDrags(int runs)
{
    CSizingDlg dlg;
    if (!dlg.Create())
        return Print("sizing dialog: frame drag", {}, false);
    dlg.ShowWindow(SW_SHOW);
    PumpMessages();
    std::vector<double> times;
    bool ok = true;
    for (int i = 0; i < runs && ok; ++i) {
        // Out and back again, so that the minimum size never stops it.
        const int sign = i % 2 == 0 ? 1 : -1;
        double ms = 0;
        ok = DragCorner(dlg, sign * 40, sign * 30, ms);
        times.push_back(ms);
    }
    dlg.DestroyWindow();
    return Print("sizing dialog: frame drag of 5 steps", times, ok);
}

}  // namespace

int main()
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    CWinApp app;
    const bool hover = HoverEnds(20);
    const bool drags = FrameDrags(10);
    std::fflush(stdout);
    return hover && drags ? 0 : 1;
}
