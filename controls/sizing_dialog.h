#pragma once
// CSizingDialog: a dialog base class for templates with a sizing border. It
// keeps registered controls in place as the dialog is resized, refuses sizes
// below the one the dialog opened at, shows the system's size-grip picture in
// the bottom-right corner and keeps the background erase off registered
// controls that ask for it.
#include <vector>
#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/gdi.h"

// The grip is created at run time; the program's resource header names the
// same id.
#ifndef IDC_SIZE_GRIP
#define IDC_SIZE_GRIP 17733
#endif

class CSizingDialog : public CDialog {
public:
    // How a control follows a change of the dialog's width (nModeX) or height
    // (nModeY). Any other value behaves as AnchorNone.
    enum AnchorMode {
        AnchorNone = 0,         // stays where it is
        AnchorStretch = 1,      // right (bottom) edge moves with the dialog's edge
        AnchorMove = 2,         // keeps its size and its distance from the right (bottom) edge
        AnchorProportional = 3  // keeps its size; left (top) edge keeps its fraction of the window
    };

    struct AnchorEntry {
        int nID;
        int nModeX;
        int nModeY;
        RECT rcLast;  // where the layout last put the control, client coordinates
        bool bExcludeFromErase;
        double dRatioX;  // AnchorProportional horizontally only: left ÷ (window width − left)
        double dRatioY;  // AnchorProportional vertically only: top ÷ (window height − top)
    };

    explicit CSizingDialog(UINT nIDTemplate, CWnd* pParent = nullptr);
    ~CSizingDialog() override;

    BOOL OnInitDialog() override;

protected:
    // Registers control nID after this class's OnInitDialog has run; the
    // control's current rectangle is the start of its layout. An id without a
    // control is ignored.
    void AddAnchor(UINT nID, int nModeX, int nModeY, bool bExcludeFromErase);

    // A derived dialog that handles WM_SIZE itself calls this first.
    void OnSize(UINT nType, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    BOOL OnEraseBkgnd(CDC* pDC);

    std::vector<AnchorEntry> m_anchors;
    CRect m_rcWindow;  // window rectangle, screen coordinates, as of the last WM_SIZE
    CSize m_sizeMin;   // window size at initialisation
    BOOL m_bResizeWidth = TRUE;
    BOOL m_bResizeHeight = TRUE;
    CBitmap m_bmpGrip;
    CStatic m_wndGrip;
    bool m_bInitialized = false;

    DECLARE_MESSAGE_MAP()
};
