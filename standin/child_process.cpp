#include "standin/child_process.h"
#include <string>

bool CChildProcess::Start(const CString& exe, const CString& arguments)
{
    Terminate();
    CString commandLine;
    commandLine.Format("\"%s\" %s", static_cast<LPCSTR>(exe), static_cast<LPCSTR>(arguments));
    // CreateProcessA may write into the command line: it gets its own copy.
    std::string writable = commandLine.str();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(exe, writable.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                          &startup, &info))
        return false;
    m_process.Attach(info.hProcess);
    m_thread.Attach(info.hThread);
    m_processId = info.dwProcessId;

    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    m_job.Attach(::CreateJobObjectA(nullptr, nullptr));
    if (!m_job || !::SetInformationJobObject(m_job.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
        !::AssignProcessToJobObject(m_job.Get(), m_process.Get()))
        m_job.Close();
    ::ResumeThread(m_thread.Get());
    return true;
}

bool CChildProcess::WaitForExit(DWORD timeoutMs) const
{
    return !m_process || ::WaitForSingleObject(m_process.Get(), timeoutMs) == WAIT_OBJECT_0;
}

bool CChildProcess::IsRunning() const
{
    return m_process && ::WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT;
}

DWORD CChildProcess::GetExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (m_process)
        ::GetExitCodeProcess(m_process.Get(), &code);
    return code;
}

DWORD CChildProcess::Terminate()
{
    if (IsRunning()) {
        ::TerminateProcess(m_process.Get(), 1);
        ::WaitForSingleObject(m_process.Get(), 5000);
    }
    const DWORD code = GetExitCode();
    m_process.Close();
    m_thread.Close();
    m_job.Close();
    m_processId = 0;
    return code;
}
