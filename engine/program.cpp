// A window's program, read from its process. Windows 2000 and XP need psapi
// for another process's executable; Vista and later refuse that route for
// elevated processes but offer a query that needs less access.
#include "engine/program.h"
#include "framework/handles.h"
// psapi.dll's own exports: version 2 would name kernel32's K32 functions,
// which only Windows 7 and later have.
#ifndef PSAPI_VERSION
#define PSAPI_VERSION 1
#endif
#include <psapi.h>

namespace {

// Vista's access right for the limited query; older headers lack it.
constexpr DWORD kQueryLimitedInformation = 0x1000;
constexpr char kClassPrefix[] = "class:";

using QueryFullProcessImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);

// Looked up at each use, which is rare (psapi refused): kernel32 is always
// loaded, and Windows 2000 and XP lack the export.
QueryFullProcessImageNameFn QueryFullProcessImageName()
{
    HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    FARPROC proc = kernel ? ::GetProcAddress(kernel, "QueryFullProcessImageNameA") : nullptr;
    // GetProcAddress gives one generic function type; the export's own type
    // is the documented one.
    return reinterpret_cast<QueryFullProcessImageNameFn>(reinterpret_cast<void (*)()>(proc));
}

}  // namespace

std::string ExecutableByModule(DWORD processId)
{
    const CHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process)
        return {};
    char path[MAX_PATH] = {};
    // A full buffer may hold a cut path without its NUL (Windows XP): no answer.
    const DWORD length = ::GetModuleFileNameExA(process.Get(), nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    return std::string(path, length);
}

std::string ExecutableByImageName(DWORD processId)
{
    const QueryFullProcessImageNameFn query = QueryFullProcessImageName();
    if (!query)
        return {};
    const CHandle process(::OpenProcess(kQueryLimitedInformation, FALSE, processId));
    if (!process)
        return {};
    char path[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    // Flags 0: the Win32 form of the path, as psapi gives it.
    if (!query(process.Get(), 0, path, &length) || length == 0 || length >= MAX_PATH)
        return {};
    return std::string(path, length);
}

std::string LongPathForm(const std::string& path)
{
    char longPath[MAX_PATH] = {};
    // A process started through its short name reports that name; a shell
    // link or a command line may give either form for the same file.
    const DWORD length = ::GetLongPathNameA(path.c_str(), longPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return path;
    return std::string(longPath, length);
}

std::string ClassProgram(HWND hWnd)
{
    char name[256] = {};
    const int length = ::GetClassNameA(hWnd, name, sizeof name);
    return kClassPrefix + std::string(name, length > 0 ? static_cast<size_t>(length) : 0);
}

std::string ProgramOfWindow(HWND hWnd)
{
    return CProgramNames().Of(hWnd);
}

std::string ProgramKey(const std::string& program)
{
    std::string key = program;
    // Through the ANSI code page, so that the second byte of a double-byte
    // character is never taken for a letter.
    if (!key.empty())
        ::CharUpperBuffA(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

bool SameProgram(const std::string& a, const std::string& b)
{
    return ProgramKey(a) == ProgramKey(b);
}

std::string CProgramNames::Of(HWND hWnd)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hWnd, &processId);
    auto known = m_executables.find(processId);
    if (known == m_executables.end()) {
        std::string path = processId ? ExecutableByModule(processId) : std::string();
        if (path.empty() && processId)
            path = ExecutableByImageName(processId);
        if (!path.empty())
            path = LongPathForm(path);
        known = m_executables.emplace(processId, std::move(path)).first;
    }
    return known->second.empty() ? ClassProgram(hWnd) : known->second;
}
