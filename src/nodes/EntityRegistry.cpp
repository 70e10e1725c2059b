#include "nodes/EntityRegistry.h"

#include <unordered_map>

namespace
{
struct Registry
{
    int m_nextId = 1;
    // Looked up many times a step and never walked in order, so hashed.
    std::unordered_map<int, CEntity*> m_byId;
    std::unordered_map<CEntity*, int> m_byEntity;
};

// Created on first use and never destroyed, so entities may unregister during exit.
Registry& TheRegistry()
{
    static Registry* registry = new Registry;
    return *registry;
}
} // namespace

int GetEntityId(CEntity* pEntity)
{
    if (!pEntity)
        return 0;
    Registry& reg = TheRegistry();
    auto found = reg.m_byEntity.find(pEntity);
    if (found != reg.m_byEntity.end())
        return found->second;
    int id = reg.m_nextId++;
    reg.m_byEntity[pEntity] = id;
    reg.m_byId[id] = pEntity;
    return id;
}

CEntity* GetEntity(int pId)
{
    if (pId == 0)
        return nullptr;
    Registry& reg = TheRegistry();
    auto found = reg.m_byId.find(pId);
    return found == reg.m_byId.end() ? nullptr : found->second;
}

int PeekNextEntityId()
{
    return TheRegistry().m_nextId;
}

void Unregister(CEntity* pEntity)
{
    Registry& reg = TheRegistry();
    auto found = reg.m_byEntity.find(pEntity);
    if (found == reg.m_byEntity.end())
        return;
    reg.m_byId.erase(found->second);
    reg.m_byEntity.erase(found);
}
