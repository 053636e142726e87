#pragma once
// Real top-level windows for tests of the task list: a window class with a
// solid-colour small icon, and windows of it with the styles a test needs.
// Each owner destroys what it made.
#include <windows.h>
#include <commctrl.h>
#include "framework/handles.h"
#include <string>
#include <vector>

// A 16 x 16 icon filled with one opaque colour.
CIcon SolidIcon(COLORREF color);

// A window class registered for the life of the object. With a colour, its
// small icon (and large icon) is a solid icon of that colour; without, the
// class has no icon at all.
class CTestWindowClass {
public:
    explicit CTestWindowClass(const std::string& name);
    CTestWindowClass(const std::string& name, COLORREF color);

    const char* Name() const { return m_name.c_str(); }
    HICON SmallIcon() const { return m_icon; }
    bool IsRegistered() const { return m_class.GetAtom() != 0; }

private:
    void Register();

    std::string m_name;
    // Declared before the class, so that the class goes first.
    CIcon m_icon;
    CWindowClass m_class;
};

// Owner of one top-level window.
struct CTestWindowTraits {
    using Handle = HWND;
    static BOOL Release(HWND hWnd) { return ::DestroyWindow(hWnd); }
};

class CTestWindow : public CHandleOwner<CTestWindowTraits> {
public:
    // Visible unless told otherwise; shown without taking the activation.
    static CTestWindow Create(const CTestWindowClass& cls, const std::string& title, DWORD exStyle = 0,
                              HWND owner = nullptr, bool visible = true);
    HWND Get() const { return m_h; }
    operator HWND() const { return m_h; }
    void Reset() { Free(); }
};

// The windows stored as item data with a list view's entries, in list order.
std::vector<HWND> ListEntryWindows(HWND list);

// The colour at the centre of image `index` of an image list, drawn on white.
COLORREF ImageCentreColor(HIMAGELIST images, int index);
