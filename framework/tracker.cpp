#include "framework/tracker.h"
#include "framework/gdi.h"

namespace {
// The outline is drawn with XOR, so drawing it again erases it.
class CTrackerFrame {
public:
    explicit CTrackerFrame(HWND hwnd) : m_dc(hwnd) {}
    ~CTrackerFrame() { Hide(); }
    CTrackerFrame(const CTrackerFrame&) = delete;
    CTrackerFrame& operator=(const CTrackerFrame&) = delete;

    void Show(const CRect& rect)
    {
        Hide();
        m_rect = rect;
        m_dc.DrawFocusRect(&m_rect);
        m_shown = true;
    }
    void Hide()
    {
        if (m_shown)
            m_dc.DrawFocusRect(&m_rect);
        m_shown = false;
    }

private:
    CClientDC m_dc;
    CRect m_rect;
    bool m_shown = false;
};
}  // namespace

BOOL CRectTracker::Track(CWnd* pWnd, CPoint point, BOOL, CWnd* pWndClipTo)
{
    HWND hwnd = pWnd->m_hWnd;
    if (::GetCapture() != nullptr)
        return FALSE;
    ::UpdateWindow(hwnd);
    ::SetCapture(hwnd);
    if (::GetCapture() != hwnd)
        return FALSE;

    const CPoint offset(point.x - m_rect.left, point.y - m_rect.top);
    const CRect start = m_rect;
    BOOL result = FALSE;
    {
        bool moved = false;
        CTrackerFrame frame(pWndClipTo ? pWndClipTo->m_hWnd : hwnd);
        MSG msg;
        for (;;) {
            const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
            if (got == 0) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (got == -1 || ::GetCapture() != hwnd)
                break;
            if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
                // The messages carry the pointer in the capturing window's client coordinates.
                CPoint p(static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam)));
                if (msg.hwnd != hwnd)
                    ::MapWindowPoints(msg.hwnd, hwnd, &p, 1);
                CRect next(p.x - offset.x, p.y - offset.y, p.x - offset.x + start.Width(),
                           p.y - offset.y + start.Height());
                if (next != m_rect) {
                    m_rect = next;
                    frame.Show(m_rect);
                    moved = true;
                }
                if (msg.message == WM_LBUTTONUP) {
                    result = moved ? TRUE : FALSE;
                    break;
                }
            } else if ((msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) || msg.message == WM_RBUTTONDOWN) {
                break;
            } else {
                ::DispatchMessageA(&msg);
            }
        }
    }
    if (::GetCapture() == hwnd)
        ::ReleaseCapture();
    if (!result)
        m_rect = start;
    return result;
}
