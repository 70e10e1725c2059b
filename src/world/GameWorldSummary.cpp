// The end of a match: the summary's bookkeeping after each step and the end of a capped match.
#include "world/GameWorld.h"

#include <vector>

#include "world/MatchObserver.h"

bool CGameWorld::FinishMatchStep()
{
    if (m_capSteps > 0 && m_matchSteps >= m_capSteps && m_result == RESULT_UNDECIDED)
        m_matchOver = true;
    const bool counting = !m_matchStats.HasEnded();
    m_matchStats.EndStep(m_matchSteps, GetTeam(1).GetEnergy(), GetTeam(2).GetEnergy(),
                         m_result != RESULT_UNDECIDED || m_matchOver);
    if (!counting || !m_matchStats.HasEnded())
        return false;
    // The tool goes away with the match: its cost and shortfall no longer mean anything.
    m_selectedTool = TOOL_NONE;
    m_placeMode = PLACE_IDLE;
    // A match stopped undecided runs no more steps, so it cannot be resumed either.
    if (m_matchOver)
        m_resumable = false;
    if (ShowsResult())
        m_summaryOpen = true;
    return true;
}

void CGameWorld::EndMatchUndecided()
{
    if (m_result != RESULT_UNDECIDED || m_matchOver)
        return;
    m_matchOver = true;
    if (FinishMatchStep())
        AnnounceMatchEnd();
}

void CGameWorld::AnnounceMatchEnd()
{
    for (CMatchObserver* observer : std::vector<CMatchObserver*>(m_observers))
        observer->OnMatchEnded(*this);
}
