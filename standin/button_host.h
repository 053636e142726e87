#pragma once
// The control that draws the stand-in's task buttons: a tab control in button
// style, or a toolbar. Both show what the button model tells them, in its
// order; neither decides anything about windows.
#include "framework/wnd.h"
#include <commctrl.h>

class CButtonHost : public CWnd {
public:
    virtual BOOL Create(HWND parent, const RECT& rect) = 0;

    // What the button model tells the control. Calls made through these are
    // the stand-in's own and are not counted as foreign messages.
    void SetImageList(HIMAGELIST images) { CSelfCall call(*this); DoSetImageList(images); }
    void InsertButton(int index, LPCSTR title, int image) { CSelfCall call(*this); DoInsertButton(index, title, image); }
    void DeleteButton(int index) { CSelfCall call(*this); DoDeleteButton(index); }
    void UpdateButton(int index, LPCSTR title, int image) { CSelfCall call(*this); DoUpdateButton(index, title, image); }
    // Shows the button at index as the active one and gives it the control's
    // focus; -1 leaves no button active.
    void ShowActive(int index) { CSelfCall call(*this); DoShowActive(index); }

    // While held, the control neither draws nor fits its buttons to its width;
    // both happen once, on release. Holding twice is holding once.
    void HoldRedraw();
    void ReleaseRedraw();

    // Messages that other threads (other processes' probes) sent to the
    // control since the last reset.
    LONG GetForeignMessages() const { return m_foreignMessages; }
    void ResetForeignMessages() { m_foreignMessages = 0; }

protected:
    virtual void DoSetImageList(HIMAGELIST images) = 0;
    virtual void DoInsertButton(int index, LPCSTR title, int image) = 0;
    virtual void DoDeleteButton(int index) = 0;
    virtual void DoUpdateButton(int index, LPCSTR title, int image) = 0;
    virtual void DoShowActive(int index) = 0;
    virtual void DoFitButtons() = 0;
    // What the control catches up on when a held redraw is released.
    virtual void DoReleaseRedraw() {}
    bool IsRedrawHeld() const { return m_redrawHeld; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Fits the buttons to the width now, or on release while redraw is held.
    void FitButtons();
    // Fits count buttons, gap pixels apart and the first lead pixels in, into
    // the client width, each at most kMaxButtonWidth and at least
    // kMinButtonWidth wide.
    int ButtonWidth(int count, int gap = 0, int lead = 0) const;

    static constexpr int kMaxButtonWidth = 180;
    static constexpr int kMinButtonWidth = 40;

private:
    // While the stand-in itself talks to the control, the thread may still be
    // answering another process's request: InSendMessage() alone cannot tell
    // its messages from foreign ones.
    class CSelfCall {
    public:
        explicit CSelfCall(CButtonHost& host) : m_host(host) { ++m_host.m_selfCalls; }
        ~CSelfCall() { --m_host.m_selfCalls; }
        CSelfCall(const CSelfCall&) = delete;
        CSelfCall& operator=(const CSelfCall&) = delete;

    private:
        CButtonHost& m_host;
    };

    int m_selfCalls = 0;
    LONG m_foreignMessages = 0;
    bool m_redrawHeld = false;
    bool m_fitPending = false;
};

// One tab per button. TCM_GETCURFOCUS answers the active button's position.
class CTabButtonHost : public CButtonHost {
public:
    BOOL Create(HWND parent, const RECT& rect) override;

protected:
    void DoSetImageList(HIMAGELIST images) override;
    void DoInsertButton(int index, LPCSTR title, int image) override;
    void DoDeleteButton(int index) override;
    void DoUpdateButton(int index, LPCSTR title, int image) override;
    void DoShowActive(int index) override;
    void DoFitButtons() override;
    void DoReleaseRedraw() override;
    void OnSize(UINT type, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    int m_active = -1;
};

// One check button per task button; the active one is checked.
class CToolbarButtonHost : public CButtonHost {
public:
    BOOL Create(HWND parent, const RECT& rect) override;

protected:
    void DoSetImageList(HIMAGELIST images) override;
    void DoInsertButton(int index, LPCSTR title, int image) override;
    void DoDeleteButton(int index) override;
    void DoUpdateButton(int index, LPCSTR title, int image) override;
    void DoShowActive(int index) override;
    void DoFitButtons() override;
    void OnSize(UINT type, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    int CommandAt(int index) const;

    // Toolbar buttons are addressed by command id; each new button gets its own.
    int m_nextCommand = 1;
};
