#include "program_fixture.h"
#include "engine/program.h"
#include "standin/standin_client.h"
#include "tests/support/process_windows.h"
#include "tests/support/pump.h"
#include <algorithm>

bool CSampleProgram::Start(const std::string& copyName, int count, const std::string& prefix)
{
    Stop();
    char full[MAX_PATH] = {};
    ::GetFullPathNameA(ModuleRelativePath(STANDIN_RELATIVE_DIR "/corvane_samples.exe"), MAX_PATH, full, nullptr);
    m_path = full;
    if (!copyName.empty()) {
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        m_copyFolder = std::string(temp) + "corvane-test-" + std::to_string(::GetCurrentProcessId());
        ::CreateDirectoryA(m_copyFolder.c_str(), nullptr);
        m_path = m_copyFolder + "\\" + copyName;
        if (!::CopyFileA(full, m_path.c_str(), FALSE))
            return false;
    }
    const std::string arguments = "--count " + std::to_string(count) + " --prefix \"" + prefix + "\"";
    if (!m_process.Start(m_path.c_str(), arguments.c_str()))
        return false;
    const DWORD start = ::GetTickCount();
    for (int i = 1; i <= count; ++i) {
        const std::string title = prefix + " " + std::to_string(i);
        HWND found;
        while (!(found = FindTopLevel(m_process.GetId(), nullptr, title.c_str()))) {
            if (::GetTickCount() - start > 10000)
                return false;
            PumpMessagesFor(20);
        }
        m_windows.push_back(found);
    }
    return true;
}

void CSampleProgram::Stop()
{
    m_process.Terminate();
    m_windows.clear();
    if (m_copyFolder.empty())
        return;
    ::DeleteFileA(m_path.c_str());
    // Refused while another copy of this test is still in it; the last one goes.
    ::RemoveDirectoryA(m_copyFolder.c_str());
    m_copyFolder.clear();
}

std::string OwnExecutable()
{
    char path[MAX_PATH] = {};
    return std::string(path, ::GetModuleFileNameA(nullptr, path, MAX_PATH));
}

void ProgramsTest::SetUp()
{
    EngineTest::SetUp();
    ASSERT_TRUE(m_shell.IsReady());
    ASSERT_TRUE(m_a.Start("", 2, "A"));
    ASSERT_TRUE(m_b.Start("corvane_other.exe", 1, "B"));
    m_engine.Attach(&m_list);
    pathA = ProgramOfWindow(m_a[0]);
    pathB = ProgramOfWindow(m_b[0]);
    pathC = OwnExecutable();
}

void ProgramsTest::Show(const std::vector<HWND>& windows)
{
    for (HWND hWnd : ForeignTaskWindows()) {
        if (std::find(windows.begin(), windows.end(), hWnd) == windows.end())
            m_others.push_back(hWnd);
    }
    Append(m_others);
    Append(windows);
    m_shell.SetButtons(Entries());
}

HWND ProgramsTest::Open(const std::string& title)
{
    HWND hWnd = AddWindow(title);
    m_shell.SetButtons(Concat({m_shell.Buttons(), {hWnd}}));
    return hWnd;
}

std::vector<HWND> ProgramsTest::Ours(const std::vector<HWND>& windows) const
{
    std::vector<HWND> ours;
    for (HWND hWnd : windows) {
        if (std::find(m_others.begin(), m_others.end(), hWnd) == m_others.end())
            ours.push_back(hWnd);
    }
    return ours;
}

std::vector<TaskbarCall> ReAdded(const std::vector<HWND>& windows)
{
    std::vector<TaskbarCall> calls;
    for (HWND hWnd : windows)
        calls.push_back({TaskbarOp::DeleteTab, hWnd});
    for (HWND hWnd : windows)
        calls.push_back({TaskbarOp::AddTab, hWnd});
    return calls;
}

std::vector<TaskbarCall> Arranged(const std::vector<HWND>& windows)
{
    std::vector<TaskbarCall> calls;
    for (HWND hWnd : windows) {
        calls.push_back({TaskbarOp::DeleteTab, hWnd});
        calls.push_back({TaskbarOp::AddTab, hWnd});
    }
    return calls;
}
