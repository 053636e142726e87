#pragma once
// A program started by this one, for tests, benches and tools that run other
// executables. It ends with this process however this one ends: it is put in
// a job that kills its processes when the job's last handle closes, and the
// system closes that handle when this process ends. It is in the job before
// its first instruction runs, so that nothing it starts escapes either. The
// destructor ends it when it still runs.
#include <windows.h>
#include "framework/cstring.h"
#include "framework/handles.h"

class CChildProcess {
public:
    CChildProcess() = default;
    ~CChildProcess() { Terminate(); }
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    // Runs exe with the arguments, ending what this object ran before; false
    // when the process could not be created. Where no job can be had (this
    // process may sit in one that allows no other), the program runs without
    // one, and only the destructor ends it.
    bool Start(const CString& exe, const CString& arguments);
    // True when the process has ended within timeoutMs, or none was started.
    bool WaitForExit(DWORD timeoutMs) const;
    bool IsRunning() const;
    // STILL_ACTIVE while it runs, and when nothing was started.
    DWORD GetExitCode() const;
    DWORD GetId() const { return m_processId; }
    HANDLE GetProcess() const { return m_process.Get(); }
    // The process's first thread.
    HANDLE GetThread() const { return m_thread.Get(); }
    // Ends the process when it still runs, waits for it to be gone, and lets
    // go of it: the object is empty afterwards. Gives the exit code (1 when it
    // was ended here, STILL_ACTIVE when nothing ran or it would not go).
    DWORD Terminate();

private:
    CHandle m_job;
    CHandle m_process;
    CHandle m_thread;
    DWORD m_processId = 0;
};
