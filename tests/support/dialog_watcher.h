#pragma once
// Watches the dialogs this thread activates while the object lives, through a
// CBT hook on this thread that goes with the object (also when an assertion
// returns early). Each dialog is first offered to the test's handler, which
// reads what it needs and closes it; a message box that no handler takes is
// recorded and closed with the given answer. The hook sees a box as it is
// activated, so a modal loop is never waited on. Watchers nest: the innermost
// one sees the dialogs.
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

struct SeenMessageBox {
    std::string caption;
    std::string text;
    HWND owner;
    bool exclamationIcon;  // the box shows the system's exclamation icon
};

class CDialogWatcher {
public:
    // True when the handler took the dialog (and will see that it closes).
    using Handler = std::function<bool(HWND dialog)>;

    // answer: the button id message boxes are closed with.
    explicit CDialogWatcher(int answer = IDOK);
    explicit CDialogWatcher(Handler handler, int answer = IDOK);
    ~CDialogWatcher();
    CDialogWatcher(const CDialogWatcher&) = delete;
    CDialogWatcher& operator=(const CDialogWatcher&) = delete;

    bool IsHooked() const { return m_hook != nullptr; }
    // The message boxes seen, in order.
    const std::vector<SeenMessageBox>& Seen() const { return m_seen; }
    size_t Count() const { return m_seen.size(); }

    // Enter on the dialog's button id, as the user would press it: through
    // the dialog's own loop.
    static void PressEnter(HWND dialog, int id = IDOK);

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    void OnActivate(HWND dialog);

    HHOOK m_hook;
    Handler m_handler;
    int m_answer;
    std::vector<SeenMessageBox> m_seen;
    CDialogWatcher* m_previous;
};
