#pragma once
#include <windows.h>
#include "framework/cstring.h"

// The Windows version that Wine reports to the programs named exeName, set for
// the life of the object: the previous setting comes back at its end. Wine
// reads it when a process starts.
class CAppVersion {
public:
    CAppVersion(LPCSTR exeName, LPCSTR version);
    ~CAppVersion();
    CAppVersion(const CAppVersion&) = delete;
    CAppVersion& operator=(const CAppVersion&) = delete;

private:
    CString m_key;
    bool m_hadValue = false;
    CString m_previous;
};
