#include "nodes/PoweredList.h"

#include <algorithm>

#include "nodes/Entity.h"
#include "nodes/EntityRegistry.h"

void CPoweredList::Add(CEntity* pUser)
{
    m_ids.push_back(GetEntityId(pUser));
    --m_freeSlots;
}

void CPoweredList::Remove(CEntity* pUser)
{
    auto found = std::find(m_ids.begin(), m_ids.end(), GetEntityId(pUser));
    if (found == m_ids.end())
        return;
    *found = m_ids.back();
    m_ids.pop_back();
    ++m_freeSlots;
}

void CPoweredList::CutAll() const
{
    // A copy: a node dying from the cut must not disturb the walk.
    for (int id : std::vector<int>(m_ids))
    {
        if (CEntity* node = GetEntity(id))
            node->CutPower();
    }
}

void CPoweredList::UpdateWorthAll() const
{
    for (int id : std::vector<int>(m_ids))
    {
        if (CEntity* node = GetEntity(id))
            node->UpdateWorth();
    }
}

float CPoweredList::SumWorth() const
{
    float sum = 0.0f;
    for (int id : m_ids)
    {
        if (CEntity* node = GetEntity(id))
            sum += node->GetWorth();
    }
    return sum;
}

void CPoweredList::Reset()
{
    m_ids.clear();
    m_freeSlots = m_maxSlots;
}
