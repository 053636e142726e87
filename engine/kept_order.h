#pragma once
// Keeping the order: the remembered order of programs, its storage, and the
// engine calls that keep the list and the taskbar in it. The main window
// calls one member per event; while the mode is off every member but
// Resume and TurnOn does nothing, and nothing is written.
#include "engine/order_store.h"
#include "engine/program_order.h"
#include "engine/task_button_list.h"

class CKeptOrder {
public:
    explicit CKeptOrder(CTaskButtonList& taskButtons, COrderStore store = COrderStore());

    bool IsOn() const { return m_on; }
    const CProgramOrder& GetOrder() const { return m_order; }
    // The registry values, also the start at logon, for the main window's menus.
    const COrderStore& GetStore() const { return m_store; }

    // At start, after the first refresh. When the store says the mode is on:
    // the list is arranged by the remembered order (the entries of known
    // programs in the order of their programs, the rest after them), then the
    // taskbar by the list. True when the mode is on: the caller starts watching.
    bool Resume();
    // "保持此顺序" turned on: the taskbar is arranged by the list, and the
    // list's order of programs is remembered and written.
    void TurnOn();
    // Turned off: KeepOrder is written 0, Order is left as it is.
    void TurnOff();
    // After each of the user's own moves, sorts, regroupings and drags.
    void Remember();
    // After a refresh while the mode is on: the list and the taskbar are put
    // back in the remembered order as at start (see Resume), and the
    // programs the order did not know are appended to it.
    void Rearrange();
    // The watch timer's step: windows that came or went (see
    // CTaskButtonList::FollowTaskWindows).
    void Watch();

private:
    CTaskButtonList& m_taskButtons;
    COrderStore m_store;
    CProgramOrder m_order;
    bool m_on = false;
};
