#pragma once
// The main window's task list: a list view that, while it holds no entry,
// says in its client area why. The text is drawn in the control's own
// painting, over its background, never added as an entry.
#include "framework/controls.h"
#include "framework/gdi.h"

class CTaskListCtrl : public CListCtrl {
public:
    // The text to show while the list is empty; an empty text shows nothing.
    void SetEmptyText(const CString& text);
    const CString& GetEmptyText() const { return m_emptyText; }

protected:
    void OnPaint();
    void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    void DrawEmptyText(CDC& dc);

    CString m_emptyText;
};
