#include "controls/sizing_dialog.h"
#include <climits>
#include <cmath>
#include <limits>

namespace {

// The system's size-grip bitmap (OBM_SIZE, only named by windows.h under OEMRESOURCE).
constexpr UINT kOemSizeGrip = 32766;

// Room for this many windows in one deferred batch; the platform grows it on demand.
constexpr int kDeferBatch = 20;

// Proportional placement is defined by IEEE double arithmetic with every step
// rounded to double. The i686 program does its floating point on the x87
// unit, which the runtime starts at 64-bit precision: it keeps more digits
// between steps and gets the truncations wrong (for k = 100 / 300 it makes
// trunc(400 × k ÷ (k + 1)) 100 instead of 99). SSE2 would round right, but
// the program runs on CPUs without it. While this object lives, the x87 unit
// rounds every result to double's 53 bits, as SSE2 does; the exponent range
// stays wider, which only matters far outside a window's sizes. Elsewhere the
// arithmetic is SSE2's and already rounds so.
#if defined(__i386__) && defined(__GNUC__)
class CDoubleRounding {
public:
    CDoubleRounding()
    {
        __asm__ __volatile__("fnstcw %0" : "=m"(m_saved));
        // Precision control, bits 8 and 9: 10 is 53 bits.
        const unsigned short rounded = static_cast<unsigned short>((m_saved & ~0x0300u) | 0x0200u);
        __asm__ __volatile__("fldcw %0" : : "m"(rounded) : "memory");
    }
    ~CDoubleRounding() { __asm__ __volatile__("fldcw %0" : : "m"(m_saved) : "memory"); }
    CDoubleRounding(const CDoubleRounding&) = delete;
    CDoubleRounding& operator=(const CDoubleRounding&) = delete;

private:
    unsigned short m_saved = 0;
};
#else
class CDoubleRounding {};
#endif

// The operands and results of the rounded arithmetic pass through volatile
// memory, so that the compiler can move none of it out from between the
// changes of the control word.
using RoundedDouble = volatile double;

// k = edge ÷ (extent − edge). A control registered exactly on the window's far
// edge has no finite ratio; infinity marks it, and its edge then stays on the
// far edge (the fraction edge ÷ extent is 1).
double ProportionalRatio(int edge, int extent)
{
    if (extent == edge)
        return std::numeric_limits<double>::infinity();
    [[maybe_unused]] const CDoubleRounding rounding;
    const RoundedDouble numerator = edge;
    const RoundedDouble denominator = extent - edge;
    const RoundedDouble ratio = numerator / denominator;
    return ratio;
}

// The left (top) edge for the window's new width (height): trunc(extent × k ÷
// (k + 1)), product first. False when that has no value (k = −1, from a window
// of zero extent at registration): the edge is then left where it is.
bool ProportionalEdge(int extent, double ratio, LONG* edge)
{
    if (std::isinf(ratio)) {
        *edge = extent;
        return true;
    }
    double result;
    {
        [[maybe_unused]] const CDoubleRounding rounding;
        const RoundedDouble k = ratio;
        const RoundedDouble size = extent;
        const RoundedDouble product = size * k;
        const RoundedDouble value = product / (k + 1.0);
        result = value;
    }
    if (!std::isfinite(result) || result <= static_cast<double>(INT_MIN) || result >= static_cast<double>(INT_MAX))
        return false;
    *edge = static_cast<LONG>(result);
    return true;
}

// One axis of the layout: low/high are left/right or top/bottom of the
// control, delta the change of the window's extent, extent its new value.
void LayOutAxis(int mode, double ratio, int delta, int extent, LONG& low, LONG& high)
{
    switch (mode) {
    case CSizingDialog::AnchorStretch:
        high += delta;
        break;
    case CSizingDialog::AnchorMove:
        low += delta;
        high += delta;
        break;
    case CSizingDialog::AnchorProportional: {
        const LONG size = high - low;
        if (ProportionalEdge(extent, ratio, &low))
            high = low + size;
        break;
    }
    default:
        break;
    }
}

}  // namespace

BEGIN_MESSAGE_MAP(CSizingDialog, CDialog)
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CSizingDialog::CSizingDialog(UINT nIDTemplate, CWnd* pParent) : CDialog(nIDTemplate, pParent) {}

CSizingDialog::~CSizingDialog()
{
    // Normally gone already with the dialog's window; the picture must not
    // outlive the bitmap it shows.
    if (m_wndGrip.m_hWnd)
        m_wndGrip.DestroyWindow();
    m_bmpGrip.DeleteObject();
}

BOOL CSizingDialog::OnInitDialog()
{
    CDialog::OnInitDialog();

    GetWindowRect(&m_rcWindow);
    m_sizeMin = m_rcWindow.Size();

    // Without the bitmap the grip keeps its creation size and shows nothing.
    m_bmpGrip.LoadOEMBitmap(kOemSizeGrip);
    if (m_wndGrip.Create("", WS_CHILD | WS_VISIBLE | SS_BITMAP, CRect(0, 0, 10, 10), this, IDC_SIZE_GRIP)) {
        // A bitmap static sizes itself to the picture it is given.
        m_wndGrip.SetBitmap(m_bmpGrip);
        CRect client;
        GetClientRect(&client);
        CRect grip;
        m_wndGrip.GetWindowRect(&grip);
        ScreenToClient(&grip);
        m_wndGrip.SetWindowPos(nullptr, client.right - grip.Width(), client.bottom - grip.Height(), 0, 0,
                               SWP_NOSIZE | SWP_NOZORDER);
    }
    // Ignored when the grip could not be created.
    AddAnchor(IDC_SIZE_GRIP, AnchorMove, AnchorMove, true);

    m_bInitialized = true;
    return TRUE;
}

void CSizingDialog::AddAnchor(UINT nID, int nModeX, int nModeY, bool bExcludeFromErase)
{
    HWND control = GetDlgItem(static_cast<int>(nID));
    if (!control)
        return;
    CRect r;
    ::GetWindowRect(control, &r);
    ScreenToClient(&r);

    AnchorEntry entry{};
    entry.nID = static_cast<int>(nID);
    entry.nModeX = nModeX;
    entry.nModeY = nModeY;
    entry.rcLast = r;
    entry.bExcludeFromErase = bExcludeFromErase;
    // The edge is a client coordinate and the extent the whole window's:
    // k ÷ (k + 1) is then edge ÷ window extent, the fraction that is kept.
    if (nModeX == AnchorProportional)
        entry.dRatioX = ProportionalRatio(r.left, m_rcWindow.Width());
    if (nModeY == AnchorProportional)
        entry.dRatioY = ProportionalRatio(r.top, m_rcWindow.Height());
    m_anchors.push_back(entry);
}

void CSizingDialog::OnSize(UINT, int, int)
{
    Default();

    // The window rectangle, not the client size of the message: every kind of
    // size change (frame, maximise, restore, minimise) is measured alike, and
    // only the sizes count, never where the window stands.
    CRect now;
    GetWindowRect(&now);
    if (!m_anchors.empty()) {
        const int dx = now.Width() - m_rcWindow.Width();
        const int dy = now.Height() - m_rcWindow.Height();
        HDWP batch = ::BeginDeferWindowPos(kDeferBatch);
        for (AnchorEntry& entry : m_anchors) {
            RECT r = entry.rcLast;
            LayOutAxis(entry.nModeX, entry.dRatioX, dx, now.Width(), r.left, r.right);
            LayOutAxis(entry.nModeY, entry.dRatioY, dy, now.Height(), r.top, r.bottom);
            if (::EqualRect(&r, &entry.rcLast))
                continue;
            // A control destroyed since its registration is passed over: a
            // missing window would make the platform drop the whole batch.
            if (HWND control = GetDlgItem(entry.nID); control && batch) {
                // The batch may be reallocated; the handle returned is the one to go on with.
                batch = ::DeferWindowPos(batch, control, nullptr, r.left, r.top, r.right - r.left,
                                         r.bottom - r.top, SWP_NOZORDER);
            }
            entry.rcLast = r;
        }
        if (batch)
            ::EndDeferWindowPos(batch);
    }
    m_rcWindow = now;
}

void CSizingDialog::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    Default();
    if (!m_bInitialized)
        return;
    lpMMI->ptMinTrackSize.x = m_sizeMin.cx;
    lpMMI->ptMinTrackSize.y = m_sizeMin.cy;
    if (!m_bResizeWidth) {
        lpMMI->ptMaxSize.x = m_sizeMin.cx;
        lpMMI->ptMaxTrackSize.x = m_sizeMin.cx;
    }
    if (!m_bResizeHeight) {
        lpMMI->ptMaxSize.y = m_sizeMin.cy;
        lpMMI->ptMaxTrackSize.y = m_sizeMin.cy;
    }
}

BOOL CSizingDialog::OnEraseBkgnd(CDC* pDC)
{
    HDC dc = pDC->GetSafeHdc();
    // A version-6 control asks its parent to paint the background under it
    // into the control's own DC (WM_ERASEBKGND, then WM_PRINTCLIENT) before it
    // draws itself. Leaving the controls out there would clip the control's
    // own area away in its DC, and it would never show: only the dialog's own
    // erase leaves them out.
    HWND painted = ::WindowFromDC(dc);
    if (painted && painted != m_hWnd)
        return static_cast<BOOL>(Default());

    // The clipping is the caller's: it is given back as it came.
    const int saved = ::SaveDC(dc);
    // A hidden grip leaves its corner to be painted like the rest.
    const bool gripVisible = m_wndGrip.IsWindowVisible() != FALSE;
    for (const AnchorEntry& entry : m_anchors) {
        if (entry.nID == IDC_SIZE_GRIP && !gripVisible)
            continue;
        if (entry.bExcludeFromErase)
            pDC->ExcludeClipRect(&entry.rcLast);
    }
    const BOOL erased = static_cast<BOOL>(Default());
    if (saved)
        ::RestoreDC(dc, saved);
    return erased;
}
