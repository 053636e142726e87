#pragma once
// Closes every message box this thread opens while the object lives, and
// records what each one said. A CBT hook sees the box as it is activated, so a
// modal loop is never waited on.
#include <windows.h>
#include <string>
#include <vector>

struct SeenMessageBox {
    std::string caption;
    std::string text;
    HWND owner;
    bool exclamationIcon;  // the box shows the system's exclamation icon
};

class MessageBoxCloser {
public:
    // answer: the button id the box is closed with.
    explicit MessageBoxCloser(int answer = IDOK);
    ~MessageBoxCloser();
    MessageBoxCloser(const MessageBoxCloser&) = delete;
    MessageBoxCloser& operator=(const MessageBoxCloser&) = delete;

    const std::vector<SeenMessageBox>& Seen() const { return m_seen; }
    size_t Count() const { return m_seen.size(); }

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);

    HHOOK m_hook;
    int m_answer;
    std::vector<SeenMessageBox> m_seen;
    MessageBoxCloser* m_previous;
};

// Pumps this thread's queue until it is empty (sent and posted messages alike).
void PumpMessages();
// Pumps messages for about ms milliseconds (for timers and input to arrive).
void PumpMessagesFor(DWORD ms);
