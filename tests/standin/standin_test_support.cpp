#include "standin_test_support.h"
#include <objbase.h>
#include <shobjidl.h>
#include "framework/comptr.h"
#include "tests/support/process_windows.h"
#include "tests/support/pump.h"
#include <functional>

CString StandinExe()
{
    return ModuleRelativePath(STANDIN_RELATIVE_DIR "/corvane_standin.exe");
}

CString SamplesExe()
{
    return ModuleRelativePath(STANDIN_RELATIVE_DIR "/corvane_samples.exe");
}

HRESULT CallTaskbarList(StandinOp op, HWND hWnd)
{
    CComPtr<ITaskbarList> taskbar;
    const HRESULT created = taskbar.CoCreateInstance(CLSID_TaskbarList, CLSCTX_INPROC_SERVER, IID_ITaskbarList);
    if (FAILED(created))
        return created;
    taskbar->HrInit();
    switch (op) {
    case StandinOpAddTab:
        return taskbar->AddTab(hWnd);
    case StandinOpDeleteTab:
        return taskbar->DeleteTab(hWnd);
    case StandinOpActivateTab:
        return taskbar->ActivateTab(hWnd);
    default:
        return E_INVALIDARG;
    }
}

std::unique_ptr<CSampleWindow> OpenTaskWindow(LPCSTR title)
{
    auto window = std::make_unique<CSampleWindow>();
    // Windows of different titles open at different places, in different colours.
    const int number = static_cast<int>(std::hash<std::string>()(title) % 16);
    const int offset = 20 * (number % 8);
    if (!window->Create(title, SampleColour(number), CRect(100 + offset, 100 + offset, 400 + offset, 250 + offset)))
        ADD_FAILURE() << "could not open " << title;
    return window;
}

CForeignWindows::~CForeignWindows()
{
    // A running program's file cannot go.
    m_processes.clear();
    for (const CString& copy : m_copies)
        ::DeleteFileA(copy);
    if (!m_folder.IsEmpty())
        ::RemoveDirectoryA(m_folder);
}

CString CForeignWindows::Copy(LPCSTR fileName)
{
    if (m_folder.IsEmpty()) {
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        m_folder.Format("%scorvane-standin-%lu", temp, ::GetCurrentProcessId());
        ::CreateDirectoryA(m_folder, nullptr);
    }
    const CString copy = m_folder + "\\" + fileName;
    if (!::CopyFileA(SamplesExe(), copy, FALSE))
        ADD_FAILURE() << "could not copy the samples program to " << copy.str();
    m_copies.push_back(copy);
    return copy;
}

HWND CForeignWindows::Open(const CString& exe, LPCSTR title)
{
    auto process = std::make_unique<CChildProcess>();
    if (!process->Start(exe, CString("--count 1 --title \"") + title + "\"")) {
        ADD_FAILURE() << "could not start " << exe.str();
        return nullptr;
    }
    HWND window = nullptr;
    const DWORD id = process->GetId();
    if (!PumpMessagesUntil([&] { return (window = FindTopLevel(id, nullptr, title)) != nullptr; }, 10000))
        ADD_FAILURE() << title << " did not open";
    m_processes.push_back(std::move(process));
    return window;
}

std::unique_ptr<CWnd> OpenWindow(LPCSTR title, DWORD style, DWORD exStyle, HWND owner)
{
    auto window = std::make_unique<CWnd>();
    if (!window->CreateEx(exStyle, "STATIC", title, style, CRect(300, 300, 500, 400), owner, 0))
        ADD_FAILURE() << "could not open " << title;
    return window;
}

bool RunToEnd(const CString& commandLine, DWORD timeoutMs, DWORD* exitCode, std::string* output)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    CHandle readEnd, writeEnd;
    if (!::CreatePipe(readEnd.Put(), writeEnd.Put(), &inherit, 0))
        return false;
    ::SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = writeEnd.Get();
    PROCESS_INFORMATION info{};
    std::string writable = commandLine.str();
    if (!::CreateProcessA(nullptr, writable.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
        return false;
    // `thread` is held only to close the handle CreateProcess opened; cppcheck
    // does not see the destructor it inherits from the owner template.
    // cppcheck-suppress unreadVariable
    CHandle process(info.hProcess), thread(info.hThread);
    // Only the child holds the write end now: reading ends when it exits.
    writeEnd.Close();

    // A child that does not end must not block the test in a read: wait for
    // it first; what it wrote waits in the pipe.
    const bool ended = ::WaitForSingleObject(process.Get(), timeoutMs) == WAIT_OBJECT_0;
    if (!ended)
        ::TerminateProcess(process.Get(), 1);
    char buffer[512];
    DWORD available = 0, read = 0;
    while (::PeekNamedPipe(readEnd.Get(), nullptr, 0, nullptr, &available, nullptr) && available > 0 &&
           ::ReadFile(readEnd.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        output->append(buffer, read);
    return ended && ::GetExitCodeProcess(process.Get(), exitCode) != FALSE;
}

void StandinTest::SetUp()
{
    Restart("");
}

void StandinTest::TearDown()
{
    EXPECT_EQ(0u, m_standin.Stop()) << "the stand-in did not close cleanly";
}

void StandinTest::Restart(LPCSTR arguments)
{
    m_standin.Stop();
    ASSERT_TRUE(m_standin.Start(StandinExe(), arguments)) << "the stand-in did not start: " << StandinExe().str();
    m_client = CStandinClient(m_standin.GetTray());
}
