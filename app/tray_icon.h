#pragma once
// Owner of one icon in the shell's notification area: the icon is there from
// Show until Hide or until the owner goes, whichever comes first. Move-only.
#include <windows.h>
#include <shellapi.h>

class CTrayIcon {
public:
    CTrayIcon() = default;
    ~CTrayIcon() { Hide(); }
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;
    CTrayIcon(CTrayIcon&& other) noexcept;
    CTrayIcon& operator=(CTrayIcon&& other) noexcept;

    // The icon of window hWnd, which gets callbackMessage with id as wParam
    // and the mouse message as lParam. The icon is not copied: it must
    // outlive the owner. False when the shell refused it; it is still
    // wanted, and AddAgain offers it to the next shell.
    bool Show(HWND hWnd, UINT id, UINT callbackMessage, HICON icon, LPCSTR tip);
    // A shell that starts (again) has an empty notification area: the icon
    // is added to it, when it is wanted.
    bool AddAgain();
    // The icon offered again to the same shell after it refused it: a shell
    // that took an earlier add after its time-out has the icon already, and
    // refuses another add while it takes a change; so a change first, then
    // an add. True when the icon is in the area now.
    bool OfferAgain();
    // Takes the icon away; nothing when there is none.
    void Hide();
    bool IsShown() const { return m_shown; }
    // The shell took the icon when it was last offered: it can be clicked.
    bool IsInArea() const { return m_inArea; }

private:
    // The first form of the record, which every shell from Windows 95 on takes.
    NOTIFYICONDATAA m_data{};
    bool m_shown = false;
    bool m_inArea = false;
};
