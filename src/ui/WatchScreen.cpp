#include "ui/WatchScreen.h"

#include <chrono>
#include <random>

#include "ai/Levels.h"
#include "engine/GameEngine.h"
#include "engine/WholeNumber.h"
#include "ui/MenuScreens.h"
#include "ui/SessionDoor.h"
#include "world/GameWorld.h"

namespace
{
CRect Row(int pIndex)
{
    using namespace ScreenLayout;
    return {LEFT, TOP + pIndex * PITCH, WIDTH, HEIGHT};
}

std::string RandomSeed()
{
    static std::mt19937 draw(
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    return std::to_string(draw());
}

// The difficulty list's levels in its order, weakest first, each with its rating.
std::vector<std::string> LevelNames()
{
    std::vector<std::string> names;
    for (unsigned level : MENU_LEVELS)
        names.push_back(std::string(LevelEntry(level).name) + "  (" + std::to_string(MeasuredRating(level)) +
                        ")");
    return names;
}

// A level's place among those; one the list leaves out (a paced player named by -levels)
// shows as Hard, as a number past the table plays.
int PlaceOf(unsigned pLevel)
{
    const int place = MenuPlaceOf(pLevel);
    return place >= 0 ? place : MenuPlaceOf(LEVEL_HARD);
}
} // namespace

CWatchScreen::CWatchScreen() : CScreen("Watch")
{
    const unsigned* levels = TheWorld().m_demoLevels;
    m_green = Add(std::make_unique<CChoice>(Row(0), "Green plays at", LevelNames(), PlaceOf(levels[0])));
    m_blue = Add(std::make_unique<CChoice>(Row(1), "Blue plays at", LevelNames(), PlaceOf(levels[1])));
    m_seed = Add(std::make_unique<CTextField>(Row(2), "Seed", 10, RandomSeed()));
    m_seed->m_accepts = [](char c) { return c >= '0' && c <= '9'; };
    m_seed->m_onEnter = [this] { Start(); };
    Add(std::make_unique<CButton>(Row(3), "Another seed", [this] { m_seed->SetText(RandomSeed()); }));
    Add(std::make_unique<CButton>(Row(5), "Start watching", [this] { Start(); }));
    Add(std::make_unique<CButton>(Row(6), "Back", [this] { Back(); }));
    SetStatus("Space pauses, 1 to 4 set the speed, Escape leaves the match", false);
}

void CWatchScreen::Start()
{
    long long seed = 0;
    if (!ParseWholeNumber(m_seed->GetText().c_str(), 0, 4294967295ll, seed))
    {
        SetStatus("The seed is a whole number from 0 to 4294967295", true);
        return;
    }
    CSessionDoor::Get().Watch(MENU_LEVELS[m_green->m_index], MENU_LEVELS[m_blue->m_index],
                              static_cast<unsigned>(seed));
    // The match is on: the menu shows alone when it is left.
    m_stack->Clear();
}
