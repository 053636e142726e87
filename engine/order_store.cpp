#include "engine/order_store.h"
#include "engine/program.h"
#include "framework/reg_key.h"
#include <utility>

namespace {

constexpr char kKeepOrderValue[] = "KeepOrder";
constexpr char kOrderValue[] = "Order";
constexpr char kRunValue[] = "Corvane";
constexpr char kTrayOption[] = " /tray";
// A quoted path of MAX_PATH and the option fit with room to spare; anything
// longer is not a command this program wrote.
constexpr DWORD kMaxCommandBytes = 520;

// The strings of a REG_MULTI_SZ: each ended by a NUL, the list by one more.
// Anything else (no final NUL, an empty string before the end, bytes after
// it) is not taken apart but refused whole: an empty list.
std::vector<std::string> ParseMultiString(const std::vector<BYTE>& data)
{
    std::vector<std::string> strings;
    const char* text = reinterpret_cast<const char*>(data.data());
    const size_t size = data.size();
    size_t at = 0;
    while (at < size) {
        size_t end = at;
        while (end < size && text[end] != '\0')
            ++end;
        if (end == size)
            return {};
        if (end == at)
            return at + 1 == size ? strings : std::vector<std::string>();
        strings.emplace_back(text + at, end - at);
        at = end + 1;
    }
    return {};
}

}  // namespace

COrderStore::COrderStore(HKEY root, std::string settingsKey, std::string runKey)
    : m_root(root), m_settingsKey(std::move(settingsKey)), m_runKey(std::move(runKey))
{
}

bool COrderStore::ReadKeepOrder() const
{
    CRegKey key;
    DWORD value = 0;
    return key.Open(m_root, m_settingsKey.c_str(), KEY_QUERY_VALUE) == ERROR_SUCCESS &&
           key.QueryDWORDValue(kKeepOrderValue, value) == ERROR_SUCCESS && value == 1;
}

bool COrderStore::Checked(bool written) const
{
    m_writeFailed = m_writeFailed || !written;
    return written;
}

bool COrderStore::WriteKeepOrder(bool on) const
{
    CRegKey key;
    return Checked(key.Create(m_root, m_settingsKey.c_str(), KEY_SET_VALUE) == ERROR_SUCCESS &&
                   key.SetDWORDValue(kKeepOrderValue, on ? 1 : 0) == ERROR_SUCCESS);
}

std::vector<std::string> COrderStore::ReadOrder() const
{
    CRegKey key;
    if (key.Open(m_root, m_settingsKey.c_str(), KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return {};
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    if (key.QueryValue(kOrderValue, type, data, kMaxOrderBytes) != ERROR_SUCCESS || type != REG_MULTI_SZ)
        return {};
    return ParseMultiString(data);
}

bool COrderStore::WriteOrder(const std::vector<std::string>& programs) const
{
    std::string data;
    for (const std::string& program : programs) {
        // An empty string would end the list early; room stays for the final NUL.
        if (program.empty())
            continue;
        if (data.size() + program.size() + 2 > kMaxOrderBytes)
            break;
        data += program;
        data += '\0';
    }
    data += '\0';
    CRegKey key;
    return Checked(key.Create(m_root, m_settingsKey.c_str(), KEY_SET_VALUE) == ERROR_SUCCESS &&
                   key.SetValue(kOrderValue, REG_MULTI_SZ, data.data(), static_cast<DWORD>(data.size())) ==
                       ERROR_SUCCESS);
}

std::string COrderStore::StartCommand(const std::string& exePath)
{
    return "\"" + exePath + "\"" + kTrayOption;
}

bool COrderStore::IsStartedAtLogon(const std::string& exePath) const
{
    CRegKey key;
    std::string command;
    return key.Open(m_root, m_runKey.c_str(), KEY_QUERY_VALUE) == ERROR_SUCCESS &&
           key.QueryStringValue(kRunValue, command, kMaxCommandBytes) == ERROR_SUCCESS &&
           ProgramKey(command) == ProgramKey(StartCommand(exePath));
}

bool COrderStore::SetStartAtLogon(const std::string& exePath) const
{
    CRegKey key;
    return Checked(key.Create(m_root, m_runKey.c_str(), KEY_SET_VALUE) == ERROR_SUCCESS &&
                   key.SetStringValue(kRunValue, StartCommand(exePath)) == ERROR_SUCCESS);
}

bool COrderStore::RemoveStartAtLogon() const
{
    CRegKey key;
    const LONG opened = key.Open(m_root, m_runKey.c_str(), KEY_SET_VALUE);
    if (opened == ERROR_FILE_NOT_FOUND)
        return true;
    if (opened != ERROR_SUCCESS)
        return Checked(false);
    const LONG deleted = key.DeleteValue(kRunValue);
    return Checked(deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND);
}
