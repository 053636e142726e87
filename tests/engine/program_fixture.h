#pragma once
// Windows of real programs for the engine's tests: the sample program run in
// processes of its own, as it is or from a copy under another file name,
// which makes it another program; and this test program's own windows.
#include "engine_fixture.h"
#include "standin/child_process.h"
#include <string>
#include <vector>

// The sample program's windows, titled "<prefix> 1" ...; ended, and its copy
// removed, with the object.
class CSampleProgram {
public:
    CSampleProgram() = default;
    ~CSampleProgram() { Stop(); }
    CSampleProgram(const CSampleProgram&) = delete;
    CSampleProgram& operator=(const CSampleProgram&) = delete;

    // copyName empty: the executable itself; else a copy of that name in a
    // folder of this test's own. False when the windows did not all show.
    bool Start(const std::string& copyName, int count, const std::string& prefix);
    void Stop();

    const std::string& Path() const { return m_path; }
    DWORD ProcessId() const { return m_process.GetId(); }
    const std::vector<HWND>& Windows() const { return m_windows; }
    HWND operator[](size_t i) const { return m_windows.at(i); }

private:
    CChildProcess m_process;
    std::string m_path;
    std::string m_copyFolder;
    std::vector<HWND> m_windows;
};

std::string OwnExecutable();

// Three programs: the sample program A with two windows, its copy B with one,
// and this program C, whose windows the tests open.
class ProgramsTest : public EngineTest {
protected:
    void SetUp() override;
    // Lists these windows, after the task windows of others (which so stand
    // before every run), and gives the taskbar the list's order.
    void Show(const std::vector<HWND>& windows);
    // A new window of C; the shell appends its button.
    HWND Open(const std::string& title);
    // The list and the taskbar without the windows of others.
    std::vector<HWND> Listed() const { return Ours(Entries()); }
    std::vector<HWND> Buttons() const { return Ours(m_shell.Buttons()); }

    CFakeShell m_shell;
    CSampleProgram m_a;
    CSampleProgram m_b;
    std::string pathA, pathB, pathC;

private:
    std::vector<HWND> Ours(const std::vector<HWND>& windows) const;
    std::vector<HWND> m_others;
};

// The calls of one run: every DeleteTab, then every AddTab, on these windows.
std::vector<TaskbarCall> ReAdded(const std::vector<HWND>& windows);
// ArrangeTaskbar's calls: each window off and on again, in this order.
std::vector<TaskbarCall> Arranged(const std::vector<HWND>& windows);
