#pragma once

class CEntity;

// Entities refer to one another by id, never by pointer: an id of a destroyed entity
// resolves to null. Ids start at 1, 0 means none, and ids are never reused.
int GetEntityId(CEntity* pEntity);
CEntity* GetEntity(int pId);
void Unregister(CEntity* pEntity);
// The id the next entity will be given.
int PeekNextEntityId();
