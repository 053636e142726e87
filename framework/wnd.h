#pragma once
// CWnd: a C++ object bound to a window handle. While bound by subclassing, a
// map of the window's thread from handles to objects leads the shared window
// procedure to the object, which dispatches through its message map; what no
// map handles goes to the window's original procedure.
#include <windows.h>
#include "framework/cstring.h"
#include "framework/msgmap.h"
#include "framework/types.h"

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object subclassing hwnd, or null when no CWnd is bound to it.
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Binds the object to an existing window and routes its messages through
    // this object's map. PreSubclassWindow runs first, as the framework does.
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* parent);
    // Gives the window its original procedure back and unbinds the object;
    // returns the window. Refused (null, the object stays bound) while another
    // subclass sits above ours: restoring would cut that one out of the chain,
    // and leaving ours unbound would cut out the original procedure.
    HWND UnsubclassWindow();

    // Creates a window (any class) bound to this object from its first message on.
    BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style,
                  const RECT& rect, HWND parent, UINT nID, LPVOID param = nullptr);
    virtual BOOL DestroyWindow();

    // Message plumbing.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    LRESULT Default();
    // A handler that calls SetMsgHandled(FALSE) declines its message: the
    // search goes on through the maps, and a message that no handler keeps
    // goes to the default processing. Every handler starts as handled.
    void SetMsgHandled(BOOL handled) { m_bMsgHandled = handled; }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    { return ::SendMessageA(m_hWnd, message, wParam, lParam); }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    { return ::PostMessageA(m_hWnd, message, wParam, lParam); }

    // Thin forwards to the platform.
    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
    void GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
    void ClientToScreen(LPPOINT p) const { ::ClientToScreen(m_hWnd, p); }
    void ScreenToClient(LPPOINT p) const { ::ScreenToClient(m_hWnd, p); }
    void ClientToScreen(LPRECT r) const { ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(r), 2); }
    void ScreenToClient(LPRECT r) const { ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(r), 2); }
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags)
    { return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags); }
    BOOL MoveWindow(const RECT& r, BOOL repaint = TRUE)
    { return ::MoveWindow(m_hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, repaint); }
    BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }
    void SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text); }
    CString GetWindowText() const;
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    void SetFont(HFONT font, BOOL redraw = TRUE) { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    HMENU GetSystemMenu(BOOL revert) const { return ::GetSystemMenu(m_hWnd, revert); }
    HICON SetIcon(HICON icon, BOOL big)
    { return reinterpret_cast<HICON>(SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon))); }
    // Centres on the owner, else on the application's main window, else on the
    // work area of the screen, kept inside that work area.
    void CenterWindow();

protected:
    virtual const AFX_MSGMAP* GetMessageMap() const { return GetThisMessageMap(); }
    static const AFX_MSGMAP* GetThisMessageMap();

    // Looks the message up in the maps of this class and its bases.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // A message reflected from the parent; true when this control's map took it.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void PreSubclassWindow() {}
    // Called after the last message (WM_NCDESTROY), once the object is unbound.
    virtual void PostNcDestroy() {}

    static LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void BindHandle(HWND hwnd);
    void Unbind();

    WNDPROC m_pfnSuper = nullptr;

private:
    friend LRESULT CALLBACK CreateHookProc(int, WPARAM, LPARAM);
    bool FindHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // True when the handler took the message and did not decline it.
    bool CallHandler(AFX_PMSG handler, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Our procedure is the window's current one: no later subclass sits above it.
    bool IsTopProcedure() const;
    bool ReflectToChild(HWND child, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    MSG m_currentMsg{};
    BOOL m_bMsgHandled = TRUE;
};

namespace afx {
// Arms the creation hook of this thread so that the next window created on it
// is bound to wnd before its first message; disarmed when the object goes.
class CreateHookScope {
public:
    explicit CreateHookScope(CWnd* wnd);
    ~CreateHookScope();
    CreateHookScope(const CreateHookScope&) = delete;
    CreateHookScope& operator=(const CreateHookScope&) = delete;

private:
    HHOOK m_hook;
    CWnd* m_previous;
};
}  // namespace afx
