#pragma once
// Which program a window belongs to: the full path of its process's
// executable, compared without regard to case. Where no path can be read, the
// window's class stands in as "class:" + its name, which never equals a path.
#include <windows.h>
#include <map>
#include <string>

// The executable's path read through psapi, which needs PROCESS_QUERY_INFORMATION
// and PROCESS_VM_READ; empty when the process refuses them or is gone.
std::string ExecutableByModule(DWORD processId);
// The executable's path through QueryFullProcessImageNameA, which needs only
// PROCESS_QUERY_LIMITED_INFORMATION (an elevated process grants that much);
// empty on systems before Vista, which lack the call, or on failure.
std::string ExecutableByImageName(DWORD processId);
// The long form of a path (GetLongPathNameA), so that an 8.3 path and the long
// path name one program; the path as given when it has none (a file that is
// gone, or a longer result than MAX_PATH).
std::string LongPathForm(const std::string& path);
// "class:" + the window's class name.
std::string ClassProgram(HWND hWnd);
// The program of a window: the first of the three above that gives one, a path
// in its long form.
std::string ProgramOfWindow(HWND hWnd);

// The form in which two programs are compared: equal keys, same program.
std::string ProgramKey(const std::string& program);
bool SameProgram(const std::string& a, const std::string& b);

// The programs of windows, each process asked once: for one operation over
// the list, while the processes cannot change their executable. Kept no
// longer, since a process id may be reused by another program.
class CProgramNames {
public:
    std::string Of(HWND hWnd);

private:
    // Per process, its executable or empty when none could be read.
    std::map<DWORD, std::string> m_executables;
};
