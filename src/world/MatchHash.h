#pragma once

#include <cstdint>

class CEntity;
class CGameWorld;

// What a node is, for hashes, counts and reports; the build kinds share the tools' order.
enum NodeKind
{
    KIND_EXTENDER = 0,
    KIND_BEAM = 1,
    KIND_SHIELD = 2,
    KIND_EXTRACTOR = 3,
    KIND_ABSORBER = 4,
    KIND_MAIN = 5,
    KIND_SITE = 6,
    KIND_OTHER = 7,
};

NodeKind NodeKindOf(const CEntity* pNode);

// One number for the whole match: every node in list order (kind, team, position, health,
// power link and energy flow, angle, active), the teams' energies and the random table's
// cursor. Two runs of a match agree step for step exactly when their hashes do.
uint64_t HashMatchState(const CGameWorld& pWorld);
