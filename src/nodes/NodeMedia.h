#pragma once

#include <functional>
#include <string>

#include "engine/Vector2.h"
#include "media/Color.h"

class CSprite;

// Sprites the nodes draw and spawn, looked up in the texture manager once per id; the
// answer is kept, a missing sprite included, so effects that need it are simply skipped.
CSprite* FindNodeSprite(const std::string& pId);
// A node kind's sprite for a team: the prefix plus "_Gray", "_Green" or "_Blue".
CSprite* FindTeamSprite(const char* pPrefix, int pTeam);
// Puts a stand-in sprite under an id (headless runs have no atlas) or forgets every answer.
void OverrideNodeSprite(const std::string& pId, CSprite* pSprite);
void ForgetNodeSprites();

// Every effect a node throws goes to the world's effect list through here.
struct NodeGraphic
{
    CSprite* sprite;
    CVector2 position;
    float angle;
    CColor colour;
    int lifetime;
    CVector2 velocity;
};
void AddNodeGraphic(const NodeGraphic& pGraphic);
// Tests listen to every effect the nodes hand over; an empty function stops listening.
void SetNodeGraphicObserver(std::function<void(const NodeGraphic&)> pObserver);
