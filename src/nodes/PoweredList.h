#pragma once

#include <vector>

class CEntity;

// The nodes a power source feeds, by id, with its count of free slots. The main node and
// the extender share it; order is not kept (a removed entry is filled by the last one).
class CPoweredList
{
  public:
    explicit CPoweredList(int pSlots) : m_maxSlots(pSlots), m_freeSlots(pSlots) {}

    void Add(CEntity* pUser);
    // A node that is not in the list frees no slot.
    void Remove(CEntity* pUser);
    // Cuts every fed node that still exists; the list itself is left as it is.
    void CutAll() const;
    void UpdateWorthAll() const;
    float SumWorth() const;
    // Empties the list and frees every slot.
    void Reset();

    int GetFreeSlots() const { return m_freeSlots; }
    const std::vector<int>& GetIds() const { return m_ids; }

  private:
    int m_maxSlots;
    int m_freeSlots;
    std::vector<int> m_ids;
};
