#include "app/tray_icon.h"
#include <utility>

CTrayIcon::CTrayIcon(CTrayIcon&& other) noexcept
    : m_data(other.m_data), m_shown(std::exchange(other.m_shown, false)), m_inArea(std::exchange(other.m_inArea, false))
{
}

CTrayIcon& CTrayIcon::operator=(CTrayIcon&& other) noexcept
{
    if (this != &other) {
        Hide();
        m_data = other.m_data;
        m_shown = std::exchange(other.m_shown, false);
        m_inArea = std::exchange(other.m_inArea, false);
    }
    return *this;
}

bool CTrayIcon::Show(HWND hWnd, UINT id, UINT callbackMessage, HICON icon, LPCSTR tip)
{
    Hide();
    m_data = NOTIFYICONDATAA{};
    // Shells before Windows 2000's refuse a larger record, and Windows 2000's
    // reads the rest of a larger one as fields it does not have: the first
    // form carries all this icon needs, a tip of up to 63 bytes included.
    m_data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    m_data.hWnd = hWnd;
    m_data.uID = id;
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_data.uCallbackMessage = callbackMessage;
    m_data.hIcon = icon;
    ::lstrcpynA(m_data.szTip, tip, 64);
    m_shown = true;
    return AddAgain();
}

bool CTrayIcon::AddAgain()
{
    m_inArea = m_shown && ::Shell_NotifyIconA(NIM_ADD, &m_data);
    return m_inArea;
}

void CTrayIcon::Hide()
{
    m_inArea = false;
    if (std::exchange(m_shown, false))
        ::Shell_NotifyIconA(NIM_DELETE, &m_data);
}
