#include "sample_program.h"
#include "standin/standin_client.h"
#include "tests/support/pump.h"

namespace {

std::string FullPath(const CString& path)
{
    char full[MAX_PATH] = {};
    const DWORD length = ::GetFullPathNameA(path, MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(full, length) : path.str();
}

struct CWindowSearch {
    DWORD processId;
    std::string title;
    HWND found;
};

BOOL CALLBACK FindTitled(HWND hWnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<CWindowSearch*>(lParam);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hWnd, &processId);
    char title[256] = {};
    ::GetWindowTextA(hWnd, title, sizeof title);
    if (processId != search->processId || !::IsWindowVisible(hWnd) || search->title != title)
        return TRUE;
    search->found = hWnd;
    return FALSE;
}

}  // namespace

CSampleProgram::~CSampleProgram()
{
    Stop();
}

bool CSampleProgram::Start(const std::string& copyName, int count, const std::string& prefix)
{
    Stop();
    const std::string original = FullPath(ModuleRelativePath(STANDIN_RELATIVE_DIR "/corvane_samples.exe"));
    m_path = original;
    if (!copyName.empty()) {
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        m_copyFolder = std::string(temp) + "corvane-test-" + std::to_string(::GetCurrentProcessId());
        ::CreateDirectoryA(m_copyFolder.c_str(), nullptr);
        m_path = m_copyFolder + "\\" + copyName;
        if (!::CopyFileA(original.c_str(), m_path.c_str(), FALSE))
            return false;
    }
    const std::string arguments = "--count " + std::to_string(count) + " --prefix \"" + prefix + "\"";
    if (!m_process.Start(m_path.c_str(), arguments.c_str()))
        return false;
    ::WaitForInputIdle(m_process.GetProcess(), 5000);

    const DWORD start = ::GetTickCount();
    for (int i = 1; i <= count; ++i) {
        CWindowSearch search{m_process.GetId(), prefix + " " + std::to_string(i), nullptr};
        for (;;) {
            ::EnumWindows(FindTitled, reinterpret_cast<LPARAM>(&search));
            if (search.found)
                break;
            if (::GetTickCount() - start > 10000)
                return false;
            PumpMessagesFor(20);
        }
        m_windows.push_back(search.found);
    }
    return true;
}

void CSampleProgram::Stop()
{
    m_process.Terminate();
    m_windows.clear();
    RemoveCopy();
}

void CSampleProgram::RemoveCopy()
{
    if (m_copyFolder.empty())
        return;
    ::DeleteFileA(m_path.c_str());
    ::RemoveDirectoryA(m_copyFolder.c_str());
    m_copyFolder.clear();
}
