#pragma once

#include "engine/Vector2.h"

// Everything that changes a match from outside the simulation, as one command. The player's
// clicks and the debug keys, a replay and a network peer all hand their actions to the world
// in this form; the world applies them only between steps.
enum CommandKind
{
    CMD_BUILD = 0,       // team builds tool at point (aimed at aim) from node
    CMD_RESTART = 1,     // a new match on the same settings
    CMD_SWITCH_SIDE = 2, // the mouse and keys now act for team
    CMD_FILL_ENERGY = 3, // team's stock to the ceiling
    CMD_TOGGLE_AI = 4,   // hand team to the computer, or take it back
    CMD_DESTROY = 5,     // node dies at once
    CMD_TOGGLE_DEMO = 6, // the demo on or off
    CMD_KIND_COUNT = 7,
};

struct CMatchCommand
{
    // Applied before the step that takes the match's step count from this value to the next.
    int step = 0;
    int kind = CMD_BUILD;
    int team = 0;
    int tool = 0;
    CVector2 point;
    CVector2 aim;
    // A node of this match by its match id (see CGameWorld::MatchIdOf), 0 for none.
    int node = 0;
};

// The name of a kind as replays and messages write it ("build", "restart", ...), or null.
const char* CommandKindName(int pKind);
// The kind of a name, or -1.
int CommandKindByName(const char* pName);
