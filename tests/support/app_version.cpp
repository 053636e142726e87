#include "tests/support/app_version.h"
#include <cstring>

CAppVersion::CAppVersion(LPCSTR exeName, LPCSTR version)
    : m_key(CString("Software\\Wine\\AppDefaults\\") + exeName)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, m_key, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        return;
    char previous[260] = {};
    DWORD type = 0, size = sizeof previous - 1;
    m_hadValue = ::RegQueryValueExA(key, "Version", nullptr, &type, reinterpret_cast<BYTE*>(previous), &size) ==
                     ERROR_SUCCESS &&
                 type == REG_SZ;
    if (m_hadValue)
        m_previous = previous;
    ::RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                     static_cast<DWORD>(std::strlen(version) + 1));
    ::RegCloseKey(key);
}

CAppVersion::~CAppVersion()
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, m_key, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    if (m_hadValue)
        ::RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(static_cast<LPCSTR>(m_previous)),
                         static_cast<DWORD>(m_previous.GetLength() + 1));
    else
        ::RegDeleteValueA(key, "Version");
    ::RegCloseKey(key);
}
