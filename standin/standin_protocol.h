#pragma once
// How other processes talk to the running stand-in taskbar: the TaskbarList
// server in every client process, and tests and scripts that read its state.
//
// Finding it. Its tray is a top-level "Shell_TrayWnd" window that carries the
// window property kStandinTrayProperty with the value kStandinTrayMagic.
// Other windows of that class exist (Wine's own hidden tray among them), so
// the class name alone is not enough: StandinFindTray() walks all of them.
//
// Talking to it. Every request is a registered window message sent to the
// tray with SendMessageTimeout; a request never carries a pointer, so every
// answer fits in the result. The names below are the message names for
// RegisterWindowMessageA. wParam/lParam/result of each:
//
//   kStandinMsgAddTab        HWND / 0 / HRESULT. Appends a button for a window
//                            that has none; a window with one keeps its place.
//                            A stand-in started with --group puts it after
//                            the last button of the window's program instead,
//                            when there is one (so do new task windows).
//   kStandinMsgDeleteTab     HWND / 0 / HRESULT. Removes the window's button;
//                            nothing changes for a window without one. The
//                            window stays off until it is added again.
//   kStandinMsgActivateTab   HWND / 0 / HRESULT. Shows the window's button as
//                            the active one and puts the host's focus on it:
//                            TCM_GETCURFOCUS answers its position at once; the
//                            tab control draws it pressed (TCM_GETCURSEL) when
//                            the calls pause for 100 ms, a toolbar host checks
//                            it at once. A window without a button leaves no
//                            button active.
//     The three calls answer E_INVALIDARG for NULL, destroyed and the stand-in's
//     own windows and change nothing then. Every call is logged.
//   kStandinMsgButtonCount   0 / 0 / number of buttons.
//   kStandinMsgButtonWindow  index / 0 / HWND of the button at index (0 = the
//                            first), NULL outside the range.
//   kStandinMsgCallCount     0 / 0 / number of logged calls.
//   kStandinMsgCallOp        i / 0 / StandinOp of logged call i (0 outside).
//   kStandinMsgCallWindow    i / 0 / HWND that logged call i named.
//   kStandinMsgCallResult    i / 0 / HRESULT that logged call i returned.
//   kStandinMsgClearLog      0 / 0 / 0. Empties the log and the host counter.
//   kStandinMsgHostQueries   0 / 0 / messages that other threads sent to the
//                            button host (TCM_GETCURFOCUS and the like) since
//                            the log was last cleared.
//   kStandinMsgFailActivate  HWND or NULL / TRUE or FALSE / 0. TRUE makes
//                            ActivateTab of that window (NULL: of every window)
//                            answer E_FAIL from now on, without any effect;
//                            FALSE ends every such failure.
//   kStandinMsgRescan        0 / 0 / number of buttons. Looks at the windows at
//                            once instead of at the next poll: new task
//                            windows get their buttons, destroyed ones lose
//                            them, titles and icons are brought up to date,
//                            notification icons of destroyed windows go.
//   kStandinMsgIconCount     0 / 0 / number of notification icons.
//   kStandinMsgIconWindow    index / 0 / the stand-in's window that shows
//                            icon index (0 = the leftmost), NULL outside the
//                            range. Its text is the icon's tip; a click on it
//                            is a click on the icon.
//   kStandinMsgIconOwner     index / 0 / the window that Shell_NotifyIcon named.
//   kStandinMsgIconId        index / 0 / the icon's id (uID).
//
// Notification icons. Wine's Shell_NotifyIcon sends WM_COPYDATA to the first
// Shell_TrayWnd window it finds (dwData the NIM_ code, wParam the icon's
// window); the stand-in's topmost tray comes before Wine's own. NIM_ADD,
// NIM_MODIFY (NIF_MESSAGE, NIF_ICON, NIF_TIP) and NIM_DELETE behave as a
// shell's; NIM_SETVERSION is refused, so clicks always come in the classic
// form: the callback message posted to the icon's window with the id as
// wParam and the mouse message as lParam. Icons show at the right end of the
// strip in the order they were added, and go when their window does.
//
// Closing it: WM_CLOSE to the tray.
//
// Starting, it broadcasts the shell's registered message "TaskbarCreated" to
// the top-level windows once its tray can be found, and gives every task
// window that exists then a button, in window-enumeration order.
#include <windows.h>

// The operations in the call log.
enum StandinOp { StandinOpNone = 0, StandinOpAddTab = 1, StandinOpDeleteTab = 2, StandinOpActivateTab = 3 };

constexpr char kStandinTrayClass[] = "Shell_TrayWnd";
constexpr char kStandinTrayProperty[] = "CorvaneStandin.Tray";
constexpr ULONG_PTR kStandinTrayMagic = 0x43535442;
// Named objects belong to the prefix's wineserver: one stand-in per prefix.
constexpr char kStandinMutexName[] = "CorvaneStandin.Running";
// The exit code of a second stand-in, which leaves at once.
constexpr int kStandinExitAlreadyRunning = 3;

// What every shell broadcasts when its taskbar has been (re)created.
constexpr char kTaskbarCreatedMessage[] = "TaskbarCreated";

constexpr char kStandinMsgAddTab[] = "CorvaneStandin.AddTab";
constexpr char kStandinMsgDeleteTab[] = "CorvaneStandin.DeleteTab";
constexpr char kStandinMsgActivateTab[] = "CorvaneStandin.ActivateTab";
constexpr char kStandinMsgButtonCount[] = "CorvaneStandin.ButtonCount";
constexpr char kStandinMsgButtonWindow[] = "CorvaneStandin.ButtonWindow";
constexpr char kStandinMsgCallCount[] = "CorvaneStandin.CallCount";
constexpr char kStandinMsgCallOp[] = "CorvaneStandin.CallOp";
constexpr char kStandinMsgCallWindow[] = "CorvaneStandin.CallWindow";
constexpr char kStandinMsgCallResult[] = "CorvaneStandin.CallResult";
constexpr char kStandinMsgClearLog[] = "CorvaneStandin.ClearLog";
constexpr char kStandinMsgHostQueries[] = "CorvaneStandin.HostQueries";
constexpr char kStandinMsgFailActivate[] = "CorvaneStandin.FailActivate";
constexpr char kStandinMsgRescan[] = "CorvaneStandin.Rescan";
constexpr char kStandinMsgIconCount[] = "CorvaneStandin.IconCount";
constexpr char kStandinMsgIconWindow[] = "CorvaneStandin.IconWindow";
constexpr char kStandinMsgIconOwner[] = "CorvaneStandin.IconOwner";
constexpr char kStandinMsgIconId[] = "CorvaneStandin.IconId";

// What a client's call returns when no stand-in runs, or when it does not
// answer in time.
constexpr HRESULT kStandinNotRunning = HRESULT_FROM_WIN32(ERROR_SERVICE_NOT_ACTIVE);
constexpr HRESULT kStandinNoAnswer = HRESULT_FROM_WIN32(ERROR_TIMEOUT);
// Long enough for any request; a hung stand-in is given up on at once
// (SMTO_ABORTIFHUNG), so no client waits long.
constexpr UINT kStandinTimeoutMs = 2000;

// The running stand-in's tray, or NULL. Uses window look-ups only: no message
// is sent, so a hung window cannot hang the caller.
inline HWND StandinFindTray()
{
    for (HWND tray = ::FindWindowExA(nullptr, nullptr, kStandinTrayClass, nullptr); tray;
         tray = ::FindWindowExA(nullptr, tray, kStandinTrayClass, nullptr)) {
        if (reinterpret_cast<ULONG_PTR>(::GetPropA(tray, kStandinTrayProperty)) == kStandinTrayMagic)
            return tray;
    }
    return nullptr;
}

// Sends request `name` to the tray; false when it could not be delivered or
// was not answered in time. While it waits, the caller still answers messages
// sent to its own windows, so a stand-in that asks them something cannot
// deadlock with it.
inline bool StandinRequest(HWND tray, const char* name, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    DWORD_PTR answer = 0;
    const UINT message = ::RegisterWindowMessageA(name);
    if (!tray || !message ||
        !::SendMessageTimeoutA(tray, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_NORMAL,
                               kStandinTimeoutMs, &answer))
        return false;
    if (result)
        *result = static_cast<LRESULT>(answer);
    return true;
}
