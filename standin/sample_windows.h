#pragma once
// Sample task windows for trying the stand-in taskbar and the program on a
// host without other applications: each has its own title and its own class
// with a small and a large icon drawn at run time in its own colour.
#include <memory>
#include <vector>
#include "framework/gdi.h"
#include "framework/handles.h"
#include "framework/wnd.h"

class CSampleWindow : public CWnd {
public:
    CSampleWindow() = default;
    ~CSampleWindow() override;

    // A visible, unowned, titled window: a task window on any shell. It is
    // shown without being activated.
    BOOL Create(LPCSTR title, COLORREF colour, const RECT& rect);

    COLORREF GetColour() const { return m_colour; }
    HICON GetSmallIcon() const { return m_smallIcon; }
    HICON GetLargeIcon() const { return m_largeIcon; }
    bool IsOpen() const { return m_hWnd != nullptr; }

protected:
    void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    COLORREF m_colour = 0;
    // The class refers to the icons and the brush: they are declared first so
    // that they go after it, and the window goes before all of them.
    CIcon m_smallIcon;
    CIcon m_largeIcon;
    CBrush m_background;
    CWindowClass m_class;
};

// A 16x16 or 32x32 icon filled with colour and framed in a darker shade.
CIcon MakeSampleIcon(COLORREF colour, int size);
// A colour far from the colours of the numbers before it.
COLORREF SampleColour(int number);

class CSampleWindows {
public:
    // Opens count windows titled "<prefix> 1" ... "<prefix> count", cascaded,
    // in that order; false when one could not be made.
    bool Open(int count, LPCSTR prefix);
    int GetOpenCount() const;
    CSampleWindow& operator[](size_t i) { return *m_windows[i]; }
    size_t size() const { return m_windows.size(); }

private:
    std::vector<std::unique_ptr<CSampleWindow>> m_windows;
};
