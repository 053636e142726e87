#pragma once
// Where the kept order lives between runs: under HKEY_CURRENT_USER\Software\Corvane,
// `KeepOrder` (REG_DWORD, 1 while the mode is on) and `Order` (REG_MULTI_SZ,
// the remembered programs in order); and the program's start at logon, the
// value `Corvane` under ...\CurrentVersion\Run. Reading never creates a key,
// so that a user who never turns the mode on finds nothing written. Bad data
// reads as nothing: never an error, never a message.
#include <windows.h>
#include <string>
#include <vector>

class COrderStore {
public:
    // Tests give keys of their own.
    explicit COrderStore(HKEY root = HKEY_CURRENT_USER, std::string settingsKey = "Software\\Corvane",
                         std::string runKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run");

    // True only for a REG_DWORD of 1; a missing value or one of any other
    // type or number is off.
    bool ReadKeepOrder() const;
    bool WriteKeepOrder(bool on) const;

    // Empty when the value is missing or bad: not REG_MULTI_SZ, not ended by
    // its double NUL, larger than kMaxOrderBytes, or holding an empty string
    // before its end.
    std::vector<std::string> ReadOrder() const;
    // Writes as many programs from the first on as fit in kMaxOrderBytes,
    // so that what is written can always be read back.
    bool WriteOrder(const std::vector<std::string>& programs) const;

    // The Run value's command for this executable: "<path>" /tray.
    static std::string StartCommand(const std::string& exePath);
    // True when the Run value `Corvane` is that command (case ignored).
    bool IsStartedAtLogon(const std::string& exePath) const;
    bool SetStartAtLogon(const std::string& exePath) const;
    // Removes the value `Corvane`, whatever it holds; true when none is left.
    bool RemoveStartAtLogon() const;

    // True once any write of this store has failed: the settings then do
    // not hold what the program works by, and the next start will not find
    // them.
    bool HasWriteFailed() const { return m_writeFailed; }

    static constexpr DWORD kMaxOrderBytes = 64 * 1024;

private:
    HKEY m_root;
    std::string m_settingsKey;
    std::string m_runKey;
    // Writes are const, as they change nothing the object holds but this record.
    mutable bool m_writeFailed = false;

    bool Checked(bool written) const;
};
