#pragma once
// What the stand-in tests share: the executables' paths, a stand-in started
// for each test, task windows of this process and TaskbarList calls through
// the registered server.
#include <gtest/gtest.h>
#include <windows.h>
#include <memory>
#include <string>
#include <vector>
#include "framework/wnd.h"
#include "standin/child_process.h"
#include "standin/sample_windows.h"
#include "standin/standin_client.h"

CString StandinExe();
CString SamplesExe();

// One call on a TaskbarList object of its own, made as a client process
// makes it: CoCreateInstance, HrInit, the operation, release.
HRESULT CallTaskbarList(StandinOp op, HWND hWnd);

// A visible, unowned, titled window of this process: a task window.
std::unique_ptr<CSampleWindow> OpenTaskWindow(LPCSTR title);

// Task windows of other programs: the samples program, or a copy of it under
// another file name, which makes another program. Each window is one process
// of its own, so that they open in the order they are asked for; processes
// and copies go with the object.
class CForeignWindows {
public:
    CForeignWindows() = default;
    ~CForeignWindows();
    CForeignWindows(const CForeignWindows&) = delete;
    CForeignWindows& operator=(const CForeignWindows&) = delete;

    // The samples program copied as fileName into a folder of this process.
    CString Copy(LPCSTR fileName);
    // One window titled `title` of a new process of exe; NULL when it did not show.
    HWND Open(const CString& exe, LPCSTR title);

private:
    std::vector<std::unique_ptr<CChildProcess>> m_processes;
    std::vector<CString> m_copies;
    CString m_folder;
};

// A top-level window of any style, for the windows that are not task windows.
std::unique_ptr<CWnd> OpenWindow(LPCSTR title, DWORD style, DWORD exStyle, HWND owner = nullptr);

// Runs a command line to its end; gives its exit code and what it wrote to
// its standard error and output.
bool RunToEnd(const CString& commandLine, DWORD timeoutMs, DWORD* exitCode, std::string* output);

// A stand-in started for each test and closed after it.
class StandinTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Starts (again) with these options.
    void Restart(LPCSTR arguments);

    CStandinProcess m_standin;
    CStandinClient m_client{nullptr};
};
