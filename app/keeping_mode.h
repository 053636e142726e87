#pragma once
// Keeping the order, the main window's side: the watch's timer, the
// notification icon, hiding the window to it and showing it again, and the
// hidden start of "/tray". CKeptOrder holds the engine's side; the window
// passes this object its commands and messages, and it works the window
// through the window's handle.
#include "app/tray_icon.h"
#include "engine/kept_order.h"
#include "framework/handles.h"
#include "framework/wnd.h"
#include <functional>

// The one copy of the program in a session: a named mutex, held from the
// start for as long as the object lives, says that a copy runs, and that
// copy's main window carries a mark (CKeepingMode marks it) by which a later
// start finds it. A second start tells the first to show its window (not
// when it is itself a start at logon) and ends; so it does when the first
// copy does not answer within 5 s. All of this only while the order is
// kept: copies that keep nothing watch nothing and write nothing, and run
// side by side as they always did (each still holds the mutex, so that a
// later start finds a copy that turned keeping on since).
class COneCopy {
public:
    COneCopy(bool trayStart, bool keepsOrder);
    COneCopy(const COneCopy&) = delete;
    COneCopy& operator=(const COneCopy&) = delete;

    // False when another copy runs: this one ends without a window.
    bool IsFirst() const { return m_first; }

    // The registered message that asks the first copy's window to show
    // itself; it answers nonzero.
    static UINT ShowMessage();

private:
    CHandle m_mutex;
    bool m_first = true;
};

class CKeepingMode {
public:
    // What the window offers the mode.
    class CHost {
    public:
        // Runs action as a nested message loop of the window (a menu and its
        // command, a message box), which the window's other work waits for.
        virtual void RunNestedLoop(const std::function<void()>& action) = 0;
        // The watch waits while this is true: a nested loop may hold an
        // entry's index or show menu items for the list as it is, and the
        // restore after a shell's restart arranges the taskbar by the list anyway.
        virtual bool IsWatchHeld() const = 0;

    protected:
        ~CHost() = default;
    };

    CKeepingMode(CWnd& wnd, CHost& host, CTaskButtonList& taskButtons, COrderStore store);
    CKeepingMode(const CKeepingMode&) = delete;
    CKeepingMode& operator=(const CKeepingMode&) = delete;

    // Started with "/tray": the window stays hidden at start when the order
    // is kept, and shows as usual otherwise. Before the window is created.
    void SetTrayStart(bool tray) { m_trayStart = tray; }

    // While the shell refuses the icon, it is offered again every everyMs,
    // for giveUpMs; then a hidden window shows, since nothing else could
    // show it. Tests shorten the periods.
    void SetIconRetry(UINT everyMs, DWORD giveUpMs)
    {
        m_iconRetryMs = everyMs;
        m_iconGiveUpMs = giveUpMs;
    }

    bool IsOn() const { return m_keptOrder.IsOn(); }
    // What "保持此顺序" shows checked: the mode as stored, read back, which
    // is what the next start finds.
    bool IsStoredOn() const { return m_keptOrder.GetStore().ReadKeepOrder(); }
    const COrderStore& GetStore() const { return m_keptOrder.GetStore(); }

    // At start, after the first refresh: the window is marked as this
    // session's copy, the order kept in a former run is taken up, and a
    // "/tray" start then stays hidden.
    void OnInitDialog();
    // After each of the user's own moves, sorts, regroupings and drags.
    void Remember();
    // After "刷新列表": while the order is kept, the refreshed list, which
    // stands in the taskbar's order or in window order, is put back in the
    // remembered order, and the taskbar after it.
    void AfterRefresh();

    // Commands: "保持此顺序", "登录时启动", "显示 Corvane".
    void OnKeepOrder();
    void OnStartAtLogon();
    void ShowWindow();
    // "关闭", Enter, Esc or the close box: true when the window was hidden to
    // its icon. While the order is not kept, or the shell has not taken the
    // icon (no window could show it again), closing ends the window as usual.
    bool HideWindow();

    // Messages of the window.
    // True when the timer was one of the mode's.
    bool OnTimer(UINT_PTR nIDEvent);
    // The new shell's notification area starts empty.
    void OnTaskbarCreated();
    // A later start of the program asks this copy to show its window.
    LRESULT OnShowMessage();
    LRESULT OnIconMessage(WPARAM wParam, LPARAM lParam);
    // Every show of the window is held back while the window is to stay
    // hidden: the dialog manager and the modal loop both show it once created.
    void OnWindowPosChanging(WINDOWPOS& pos) const;
    // The icon and the window's mark go with the window, whatever ends it.
    void OnDestroy();

    // The timer of the watch for new and gone task windows.
    static constexpr UINT_PTR kWatchTimer = 2;
    // The timer of the offers of an icon the shell refused.
    static constexpr UINT_PTR kIconTimer = 3;
    // The notification icon's id and callback message.
    static constexpr UINT kIconId = 1;
    static constexpr UINT kIconMessage = WM_APP + 1;

private:
    // On: watching and the notification icon.
    void Start();
    // Off: no more watching, no icon, and the window shown if it was hidden.
    void Stop();
    // The notification icon's menu at the pointer.
    void ShowIconMenu();
    // The first write that failed in this run is said, once.
    void SayWriteFailure();
    // The icon's offers after a refusal: begun anew, and ended.
    void StartIconRetries();
    void StopIconRetries();
    void OfferIconAgain();

    CWnd& m_wnd;
    CHost& m_host;
    CKeptOrder m_keptOrder;
    // The notification icon while the order is kept, and its picture (a
    // shared icon from the module's resources, never destroyed).
    CTrayIcon m_trayIcon;
    HICON m_hSmallIcon;
    bool m_trayStart = false;
    bool m_keepHidden = false;
    UINT m_iconRetryMs = 2000;
    DWORD m_iconGiveUpMs = 60000;
    DWORD m_iconRetryStart = 0;
    bool m_writeFailureSaid = false;
};
