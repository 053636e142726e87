#include "app/tray_icon.h"
#include <algorithm>
#include <cstring>
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
    // A shell refuses a record larger than the forms it knows: the first
    // form, which every shell takes, carries all this icon needs, a tip of
    // up to 63 bytes included.
    m_data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    m_data.hWnd = hWnd;
    m_data.uID = id;
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_data.uCallbackMessage = callbackMessage;
    m_data.hIcon = icon;
    // The first form's tip holds 64 bytes, its NUL included.
    const size_t length = std::min<size_t>(std::strlen(tip), 63);
    std::memcpy(m_data.szTip, tip, length);
    m_shown = true;
    return AddAgain();
}

bool CTrayIcon::AddAgain()
{
    m_inArea = m_shown && ::Shell_NotifyIconA(NIM_ADD, &m_data);
    return m_inArea;
}

bool CTrayIcon::OfferAgain()
{
    m_inArea = m_shown && (::Shell_NotifyIconA(NIM_MODIFY, &m_data) || ::Shell_NotifyIconA(NIM_ADD, &m_data));
    return m_inArea;
}

void CTrayIcon::Hide()
{
    m_inArea = false;
    if (std::exchange(m_shown, false))
        ::Shell_NotifyIconA(NIM_DELETE, &m_data);
}
