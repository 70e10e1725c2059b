#include "arena/ArenaMatch.h"

#include <chrono>

#include <tinyxml.h>

#include "engine/GameEngine.h"
#include "engine/ResourceCatalogue.h"
#include "media/Sprite.h"
#include "nodes/NodeMedia.h"
#include "world/GameWorld.h"
#include "world/MatchHash.h"

bool LoadStandInSprites(const char* pCatalogue, std::string& pError)
{
    // Never drawn; its size is that of a spark, so nothing else about effects changes.
    static CSprite* standIn = new CSprite(0.0f, 0.0f, 8.0f, 8.0f, 0, 256.0f, 256.0f);
    ForgetNodeSprites();
    CatalogueLoaders loaders;
    loaders.sprites = [](TiXmlElement* pSection, std::string&)
    {
        for (TiXmlElement* e = pSection->FirstChildElement("sprite"); e; e = e->NextSiblingElement("sprite"))
        {
            if (const char* id = e->Attribute("id"))
                OverrideNodeSprite(id, standIn);
        }
        return true;
    };
    CatalogueResult result = LoadCatalogueFile(pCatalogue, loaders);
    if (!result.ok)
        pError = result.error;
    return result.ok;
}

void StartArenaMatch(const ArenaMatchSetup& pSetup)
{
    CGameWorld& world = TheWorld();
    world.SetMatchSeed(pSetup.seed);
    world.m_demoLevels[0] = pSetup.greenLevel;
    world.m_demoLevels[1] = pSetup.blueLevel;
    world.m_keepEffects = false;
    world.StartWatchedMatch();
    world.m_capSteps = pSetup.capSteps;
}

ArenaMatchResult PlayArenaMatch(const ArenaMatchSetup& pSetup,
                                const std::function<void(int, uint64_t)>& pObserver)
{
    const auto start = std::chrono::steady_clock::now();
    StartArenaMatch(pSetup);
    CGameWorld& world = TheWorld();
    while (world.m_result == RESULT_UNDECIDED && world.m_matchSteps < pSetup.capSteps)
    {
        world.RunMatchStep();
        if (pObserver)
            pObserver(world.m_matchSteps, HashMatchState(world));
    }

    ArenaMatchResult result;
    switch (world.m_result)
    {
    case RESULT_WIN:
        result.winner = WINNER_GREEN;
        break;
    case RESULT_LOSE:
        result.winner = WINNER_BLUE;
        break;
    case RESULT_TIE:
        result.winner = WINNER_TIE;
        break;
    default:
        result.winner = WINNER_NONE;
        break;
    }
    result.steps = world.m_matchSteps;
    for (int team = 0; team < CTeam::MAX_TIDS; ++team)
    {
        for (int tool = 0; tool < CTeam::m_nCooldowns; ++tool)
            result.built[team][tool] = world.GetTeam(team).GetBuilt(tool);
        result.earned[team] = world.m_matchStats.GetEarnedTotal(team);
        result.lost[team] = world.m_matchStats.GetLostTotal(team);
    }
    result.hash = HashMatchState(world);
    world.ClearMatch();
    world.m_keepEffects = true;
    result.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}

const char* WinnerName(int pWinner)
{
    switch (pWinner)
    {
    case WINNER_GREEN:
        return "green";
    case WINNER_BLUE:
        return "blue";
    case WINNER_TIE:
        return "tie";
    default:
        return "undecided";
    }
}
