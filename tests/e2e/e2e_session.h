#pragma once
// A session of the real corvane.exe over the stand-in taskbar, for tests that
// run the program for long or against faults: the stand-in, sample windows of
// other processes, the program and its list, and bounded ways to drive it.
// Every wait has a limit, so that a hung program fails a test instead of
// hanging it.
#include <gtest/gtest.h>
#include <windows.h>
#include <functional>
#include <memory>
#include <optional>
#include <vector>
#include "e2e_support.h"
#include "standin/standin_client.h"

using Windows = std::vector<HWND>;

// The windows of `windows` that are also in `among`, in the order of `windows`.
Windows Restricted(const Windows& windows, const Windows& among);
// The windows in the order EnumWindows gives them, the Z order: the order in
// which a refresh lists them before it asks the taskbar.
Windows InZOrder(const Windows& windows);

// The system's mouse hover time, set for the life of the object and then put
// back. The list selects the entry under a pointer that rests on it that long,
// and after a drop the pointer rests on an entry while the test reads the
// result, which a busy machine can stretch beyond the usual 400 ms. Wine reads
// the setting from the registry when a process first asks, so it holds for the
// programs started afterwards.
class CHoverTime {
public:
    explicit CHoverTime(UINT ms);
    ~CHoverTime();
    CHoverTime(const CHoverTime&) = delete;
    CHoverTime& operator=(const CHoverTime&) = delete;

private:
    UINT m_previous = 0;
    bool m_set = false;
};

// Moves the real pointer there and waits until the system has it there, so
// that a press that follows goes to the window under that point; false when
// it did not get there within 2 s.
bool PointerTo(CPoint point);

class E2eSession : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    static void ParkPointer();

    // The stand-in with a tab control (or a toolbar) as its button host,
    // looking at the windows every pollMs (0: its default).
    void StartStandin(bool toolbar = false, UINT pollMs = 0);
    // Starts a samples process with these arguments and waits until it shows
    // `count` windows, waits for input, and the stand-in has given them
    // buttons; gives them in the stand-in's order. exe: the sample program
    // or a copy of it (SamplesCopy).
    Windows OpenSamples(CChildProcess& process, const CString& arguments, size_t count, DWORD timeoutMs = 10000,
                        const CString& exe = SamplesExe());
    // The sample program copied under another file name, which makes it
    // another program; the copies go with the test.
    CString SamplesCopy(const CString& fileName);
    // Starts the program with the Windows version that picks its taskbar kind
    // (win2k: tab control, winxp: toolbar) and waits for its main window,
    // shown unless told it starts hidden, and for its start to end.
    void StartCorvane(LPCSTR version = "win2k", DWORD timeoutMs = 10000, LPCSTR arguments = "", bool shown = true);

    Windows OnTaskbar() const { return m_client.GetButtons(); }
    // Gives the stand-in's buttons this order: every one off, then on again,
    // since AddTab appends.
    void ArrangeTaskbar(const Windows& order);
    Windows Listed() const { return m_list->GetWindows(); }

    // Presses a button of the main window and waits for its command to end.
    bool Click(int id, UINT timeoutMs = 10000);
    // Presses it without waiting: for commands that open a modal box.
    void PostClick(int id);
    void BringToFront(HWND hWnd);
    // Sends keys (real input) once hWnd is in front and the active window of
    // its thread, checked right before: a key that would go elsewhere fails
    // here, naming the window in front, instead of as a command that never ran.
    void PressKeysOn(HWND hWnd, const std::function<void()>& keys);
    // A real mouse drag of entry `from` onto entry `to`'s label: false when
    // the drag did not start or did not end in time.
    bool Drag(int from, int to);
    bool IsResponsive(UINT timeoutMs = 5000) const;
    // The list with the keyboard focus and the main window in front, as a
    // user who works the list from the keyboard has it.
    void FocusList();
    // Opens a menu of the program with `open` and waits for it to show.
    HWND OpenMenu(const std::function<void()>& open);
    // Chooses an item of the open menu by its mnemonic; returns when its command has run.
    void Choose(char mnemonic);
    // A right click on the label of entry `index`, which opens the list's menu.
    std::function<void()> RightClickOn(int index);
    // Waits until the program has handled everything it was busy with when
    // this was called: false when it did not get there in time.
    bool Sync(DWORD timeoutMs = 10000);

    CHandle m_serial;
    bool m_ownsSerial = false;
    std::optional<CHoverTime> m_hoverTime;
    CStandinProcess m_standin;
    CStandinClient m_client{nullptr};
    std::unique_ptr<CAppVersion> m_version;
    CChildProcess m_corvane;
    HWND m_main = nullptr;
    std::unique_ptr<CRemoteListView> m_list;
    bool m_pressLeft = false;
    CString m_copyFolder;
};

// A session whose corvane.exe may keep the order. The values it writes under
// HKEY_CURRENT_USER\Software\Corvane go before and after each test, and a
// program that keeps the order is told to end: closing would only hide it.
class E2eKeepingSession : public E2eSession {
protected:
    void SetUp() override;
    void TearDown() override;
    // The test's other processes, ended once corvane.exe has.
    virtual void EndOtherProcesses() {}
};
