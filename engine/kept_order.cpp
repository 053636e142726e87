#include "engine/kept_order.h"
#include <utility>

CKeptOrder::CKeptOrder(CTaskButtonList& taskButtons, COrderStore store)
    : m_taskButtons(taskButtons), m_store(std::move(store))
{
}

bool CKeptOrder::Resume()
{
    m_on = m_store.ReadKeepOrder();
    if (!m_on)
        return false;
    m_order = CProgramOrder(m_store.ReadOrder());
    Rearrange();
    return true;
}

void CKeptOrder::TurnOn()
{
    m_on = true;
    m_store.WriteKeepOrder(true);
    m_taskButtons.ArrangeTaskbar();
    // What was remembered before, merged: programs without a window now keep
    // their places among the listed ones.
    m_order = CProgramOrder(m_store.ReadOrder());
    if (m_order.Follow(m_taskButtons.GetPrograms()))
        m_store.WriteOrder(m_order.GetPrograms());
}

void CKeptOrder::TurnOff()
{
    m_on = false;
    m_store.WriteKeepOrder(false);
}

void CKeptOrder::Remember()
{
    if (m_on && m_order.Follow(m_taskButtons.GetPrograms()))
        m_store.WriteOrder(m_order.GetPrograms());
}

void CKeptOrder::Rearrange()
{
    if (m_on && m_taskButtons.ArrangeByProgramOrder(m_order))
        m_store.WriteOrder(m_order.GetPrograms());
}

void CKeptOrder::Watch()
{
    if (m_on && m_taskButtons.FollowTaskWindows(m_order))
        m_store.WriteOrder(m_order.GetPrograms());
}
