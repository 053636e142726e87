#pragma once
// Task windows of another program: corvane_samples.exe, run as it is or from
// a copy under another file name, which makes it another program. Ended, and
// its copy removed, with the object.
#include <windows.h>
#include <string>
#include <vector>
#include "standin/child_process.h"

class CSampleProgram {
public:
    CSampleProgram() = default;
    ~CSampleProgram();
    CSampleProgram(const CSampleProgram&) = delete;
    CSampleProgram& operator=(const CSampleProgram&) = delete;

    // Opens count windows titled "<prefix> 1" ..., from the executable itself
    // (copyName empty) or from a copy named copyName in a folder of this
    // test's own; false when they did not all show within a few seconds.
    bool Start(const std::string& copyName, int count, const std::string& prefix);
    // Ends the program; its windows go with it.
    void Stop();

    // The full path of the executable that runs.
    const std::string& Path() const { return m_path; }
    DWORD ProcessId() const { return m_process.GetId(); }
    const std::vector<HWND>& Windows() const { return m_windows; }
    HWND operator[](size_t i) const { return m_windows.at(i); }

private:
    void RemoveCopy();

    CChildProcess m_process;
    std::string m_path;
    std::string m_copyFolder;
    std::vector<HWND> m_windows;
};
