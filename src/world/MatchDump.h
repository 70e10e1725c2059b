#pragma once

#include <string>

class CGameWorld;

// Every node of the match at this moment, one line each in list order, then the sides'
// energies and the random cursor: what two runs of a match that went apart can be diffed by.
//   node 12 beam team 2 at 712 340 health 900/1000 link 7 connected 1 flow -500000 angle 180 active 1
std::string DumpMatchState(CGameWorld& pWorld);

// The name of a node kind as dumps and reports write it ("extender", "beam", ...).
const char* NodeKindName(int pKind);
