#include "ui/SessionDoor.h"

#include "engine/Assert.h"

namespace
{
CSessionDoor* g_door = nullptr;
}

CSessionDoor& CSessionDoor::Get()
{
    AW_ASSERT(g_door);
    return *g_door;
}

void CSessionDoor::Set(CSessionDoor* pDoor)
{
    g_door = pDoor;
}
