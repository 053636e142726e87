#pragma once
// CLinkLabel: a static text control of a dialog turned into a hyperlink. The
// static control still draws the text; the label picks its font, colour and
// background, shows a hand cursor and a tooltip with the target, fits the
// control to its text and opens the target through the shell on a click.
#include "framework/controls.h"
#include "framework/cstring.h"
#include "framework/cursor.h"
#include "framework/gdi.h"
#include "framework/tooltip.h"

class CLinkLabel : public CStatic {
public:
    enum UnderlineMode {
        UnderlineOnHover = -1,
        UnderlineNever = 0,
        UnderlineAlways = 1,
    };

    // The size of the composed fallback command line, terminator included.
    static constexpr int kCommandLineSize = 2 * MAX_PATH;

    CLinkLabel() = default;
    ~CLinkLabel() override;

    // The target is handed to the shell unchanged; the window text stays as it is.
    void SetLinkUrl(CString url);
    void SetVisited(BOOL visited);
    // Any value but UnderlineOnHover and UnderlineAlways behaves as UnderlineNever.
    void SetUnderlineMode(int mode);

    BOOL DestroyWindow() override;
    // Relays every message offered to the label to its tooltip.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Opens target with the verb "open", falling back to the command registered
    // for .htm files. Above 32 is success; otherwise the shell's or WinExec's
    // code. Virtual so that a caller can decide how targets open.
    virtual int OpenLink(LPCSTR target, int showCmd);
    // Reads the default value of root\subKey into out, which must hold MAX_PATH
    // bytes and may be subKey's own buffer. ERROR_SUCCESS, or the failing status
    // (out untouched).
    static LONG ReadDefaultValue(HKEY root, LPCSTR subKey, LPSTR out);
    // The command line that opens url with the registered command: the command up
    // to its first "%1" in quotes, else its first %1 (a double-byte character of
    // the ANSI code page never matches), then a blank and url in quotes as one
    // argument. False, with out empty, when url holds a double quote or a control
    // character (a byte of either, wherever it stands), or when the line does not fit in out (a URL of up to 257
    // characters not ending in a backslash always fits behind any command that
    // the reader returns).
    static bool BuildFallbackCommand(LPCSTR registered, LPCSTR url, char (&out)[kCommandLineSize]);
    // The error box for an OpenLink result, captioned with the application's title.
    static void ShowOpenError(int code);
    // A copy of cursor resource id of the module file at path; none when the
    // file or the cursor cannot be read. The file is read as data only.
    static CCursor CopyModuleCursor(LPCSTR path, WORD id);

protected:
    void PreSubclassWindow() override;
    void FitToText();
    void LoadHandCursor();

    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnTimer(UINT_PTR nIDEvent);
    void OnClicked();
    BOOL OnEraseBkgnd(CDC* pDC);

    COLORREF m_linkColor = RGB(0, 0, 238);
    COLORREF m_visitedColor = RGB(85, 26, 139);
    COLORREF m_hoverColor = RGB(255, 0, 0);
    BOOL m_mouseOver = FALSE;
    BOOL m_visited = FALSE;
    int m_underlineMode = UnderlineOnHover;
    BOOL m_fitToText = TRUE;
    CString m_url;
    CFont m_underlineFont;
    CFont m_normalFont;
    CCursor m_handCursor;
    CToolTipCtrl m_toolTip;
    UINT m_hoverTimerId = 100;

    DECLARE_MESSAGE_MAP()

private:
    bool HasWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
    // WM_SETFONT with redraw; a font that could not be made leaves the control's own.
    void ApplyFont(const CFont& font);
};
