#pragma once
// Owner of an open registry key: closes it exactly once. Move-only. Opening
// never creates a key; only Create does. Every call gives the registry's own
// result (ERROR_SUCCESS or an error code), for the caller to judge.
#include <windows.h>
#include <string>
#include <vector>
#include "framework/owner.h"

struct CRegKeyTraits {
    using Handle = HKEY;
    static BOOL Release(HKEY key) { return ::RegCloseKey(key) == ERROR_SUCCESS; }
};

class CRegKey : public CHandleOwner<CRegKeyTraits> {
public:
    // An existing key; a missing one stays missing (ERROR_FILE_NOT_FOUND).
    LONG Open(HKEY parent, LPCSTR subKey, REGSAM access = KEY_READ)
    {
        HKEY key = nullptr;
        const LONG result = ::RegOpenKeyExA(parent, subKey, 0, access, &key);
        Attach(result == ERROR_SUCCESS ? key : nullptr);
        return result;
    }
    // The key, made with any missing parents when it does not exist yet.
    LONG Create(HKEY parent, LPCSTR subKey, REGSAM access = KEY_READ | KEY_WRITE)
    {
        HKEY key = nullptr;
        const LONG result =
            ::RegCreateKeyExA(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr);
        Attach(result == ERROR_SUCCESS ? key : nullptr);
        return result;
    }
    LONG Close() { return Free() ? ERROR_SUCCESS : ERROR_INVALID_HANDLE; }
    HKEY Get() const { return m_h; }

    // A value's type and bytes as stored: nothing is added, so text may come
    // without its terminating NUL. A value of more than maxBytes is not read
    // (ERROR_MORE_DATA, with its type), so that a huge value costs nothing.
    LONG QueryValue(LPCSTR name, DWORD& type, std::vector<BYTE>& data, DWORD maxBytes) const
    {
        data.clear();
        DWORD size = 0;
        LONG result = ::RegQueryValueExA(m_h, name, nullptr, &type, nullptr, &size);
        if (result != ERROR_SUCCESS)
            return result;
        if (size > maxBytes)
            return ERROR_MORE_DATA;
        // The value may grow between the two calls: the second one then fails
        // with ERROR_MORE_DATA rather than overrun the buffer.
        data.resize(size);
        result = ::RegQueryValueExA(m_h, name, nullptr, &type, data.empty() ? nullptr : data.data(), &size);
        data.resize(result == ERROR_SUCCESS ? size : 0);
        return result;
    }
    // A REG_DWORD of four bytes; any other type or size is ERROR_INVALID_DATA.
    LONG QueryDWORDValue(LPCSTR name, DWORD& value) const
    {
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
        const LONG result = QueryValue(name, type, data, sizeof(DWORD));
        if (result == ERROR_MORE_DATA)
            return ERROR_INVALID_DATA;
        if (result != ERROR_SUCCESS)
            return result;
        if (type != REG_DWORD || data.size() != sizeof(DWORD))
            return ERROR_INVALID_DATA;
        CopyMemory(&value, data.data(), sizeof(DWORD));
        return ERROR_SUCCESS;
    }
    // A REG_SZ of at most maxBytes, its terminating NUL (if stored) left out;
    // any other type, or a longer value, is ERROR_INVALID_DATA.
    LONG QueryStringValue(LPCSTR name, std::string& value, DWORD maxBytes) const
    {
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
        const LONG result = QueryValue(name, type, data, maxBytes);
        if (result == ERROR_MORE_DATA)
            return ERROR_INVALID_DATA;
        if (result != ERROR_SUCCESS)
            return result;
        if (type != REG_SZ)
            return ERROR_INVALID_DATA;
        value.assign(data.begin(), data.end());
        const size_t end = value.find('\0');
        if (end != std::string::npos)
            value.resize(end);
        return ERROR_SUCCESS;
    }

    LONG SetValue(LPCSTR name, DWORD type, const void* data, DWORD size)
    {
        return ::RegSetValueExA(m_h, name, 0, type, static_cast<const BYTE*>(data), size);
    }
    LONG SetDWORDValue(LPCSTR name, DWORD value) { return SetValue(name, REG_DWORD, &value, sizeof value); }
    // Stored with its terminating NUL, as the registry's own tools do.
    LONG SetStringValue(LPCSTR name, const std::string& value)
    {
        return SetValue(name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
    }
    LONG DeleteValue(LPCSTR name) { return ::RegDeleteValueA(m_h, name); }
};
