#pragma once
// The stand-in's taskbar buttons: which windows have one, in which order,
// with which title and icon, and which one is active. A shell's rules:
// - a task window that appears gets a button at the end;
// - a destroyed window loses its button;
// - AddTab appends a button for a window without one and leaves a window that
//   has one where it is; DeleteTab removes a window's button and nothing else;
// - on a taskbar that groups similar buttons, a new button (from AddTab or
//   for a window that appears) whose program already has buttons goes right
//   after that program's last button instead of at the end;
// - a window taken off with DeleteTab stays off until AddTab, whatever it does.
// Every change is mirrored in the button host, which shows the buttons.
#include <windows.h>
#include <set>
#include <vector>
#include "framework/cstring.h"
#include "framework/imagelist.h"
#include "standin/button_host.h"

class CTaskButtons {
public:
    // Windows of process ownProcess (the stand-in's own) never get a button;
    // 0 excludes none. grouping: new buttons join their program's buttons.
    CTaskButtons(CButtonHost& host, DWORD ownProcess, bool grouping = false);
    ~CTaskButtons();
    CTaskButtons(const CTaskButtons&) = delete;
    CTaskButtons& operator=(const CTaskButtons&) = delete;

    HRESULT AddTab(HWND hWnd);
    HRESULT DeleteTab(HWND hWnd);
    HRESULT ActivateTab(HWND hWnd);

    // Looks at the top-level windows: new task windows get buttons, destroyed
    // windows lose theirs, titles and icons follow their windows.
    void Scan();
    // Gives every task window without a button one, in window-enumeration
    // order (top of the z-order first), as a shell does when it starts.
    void AddExisting();

    int GetCount() const { return static_cast<int>(m_buttons.size()); }
    // The window of the button at index, NULL outside the range.
    HWND GetWindowAt(int index) const;
    // The button index of hWnd, or -1.
    int Find(HWND hWnd) const;

    // Makes ActivateTab of hWnd (NULL: of every window) fail from now on;
    // fail false ends every such failure.
    void SetActivateFailure(HWND hWnd, bool fail);

    // What a shell counts as a task window: visible, and an app window, or an
    // unowned window that is not a tool window. The stand-in also wants a title.
    static bool IsTaskWindow(HWND hWnd);
    // What a grouping taskbar counts as the window's program: the full path
    // of its process's executable, lower-cased, since the file system ignores
    // case; empty when it cannot be read, which matches no other window.
    static CString ProgramOf(HWND hWnd);

private:
    struct CButton {
        HWND hWnd;
        CString title;
        HICON iconSource;  // the class's icon the image was made from; not owned
        int image;         // kDefaultImage, or this button's own image
        CString program;   // ProgramOf, read once when the button is made
    };

    bool IsOwnWindow(HWND hWnd) const;
    bool IsValidTarget(HWND hWnd) const;
    bool HasButtonOrTakenOff(HWND hWnd) const;
    // Makes the button: at the end, or after its program's last one.
    void Append(HWND hWnd);
    int PlaceFor(const CString& program) const;
    void AppendIfNew(HWND hWnd);
    static std::vector<HWND> TopLevelWindows();
    void RemoveAt(int index);
    // Brings title and icon of button index up to date; true when either changed.
    bool Follow(int index);
    void ReleaseImage(int image);
    void ShowActive();

    static CString ReadTitle(HWND hWnd);
    static HICON ReadIcon(HWND hWnd);

    // Image 0 is the system's application icon, for windows whose icon cannot
    // be read (under Wine, no icon of another process can be).
    static constexpr int kDefaultImage = 0;

    CButtonHost& m_host;
    DWORD m_ownProcess;
    bool m_grouping;
    CImageList m_images;
    std::vector<CButton> m_buttons;
    std::set<HWND> m_takenOff;
    std::set<HWND> m_failActivate;
    bool m_failEveryActivate = false;
    HWND m_active = nullptr;
};
