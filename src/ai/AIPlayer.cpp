#include "ai/AIPlayer.h"

#include "engine/Assert.h"

// The opponent's board analysis and decisions are still to come; for now it is told about
// the board at the right moments and does nothing with it.

namespace
{
AIObserver& Observer()
{
    static AIObserver* observer = new AIObserver;
    return *observer;
}

void Report(const char* pCall, const CAIPlayer* pPlayer, CEntity* pNode)
{
    if (Observer())
        Observer()(pCall, pPlayer, pNode);
}
} // namespace

void SetAIObserver(AIObserver pObserver)
{
    Observer() = std::move(pObserver);
}

CAIPlayer::CAIPlayer(CTeam* pTeam) : m_team(pTeam)
{
    AW_ASSERT(pTeam);
}

CAIPlayer::~CAIPlayer() = default;

void CAIPlayer::OnMainNodeAdded(CEntity* pNode)
{
    AW_ASSERT(pNode);
    Report("OnMainNodeAdded", this, pNode);
}

void CAIPlayer::OnResourceAdded(CEntity* pNode)
{
    AW_ASSERT(pNode);
    Report("OnResourceAdded", this, pNode);
}

void CAIPlayer::OnExtenderBuilt(CEntity* pNode)
{
    AW_ASSERT(pNode);
    Report("OnExtenderBuilt", this, pNode);
}

void CAIPlayer::OnBeamBuilt(CEntity* pNode)
{
    AW_ASSERT(pNode);
    Report("OnBeamBuilt", this, pNode);
}

void CAIPlayer::OnShieldBuilt(CEntity* pNode)
{
    AW_ASSERT(pNode);
    Report("OnShieldBuilt", this, pNode);
}

void CAIPlayer::OnExtractorBuilt(CEntity* pNode)
{
    AW_ASSERT(pNode);
    Report("OnExtractorBuilt", this, pNode);
}

void CAIPlayer::OnAbsorberBuilt(CEntity* pNode)
{
    AW_ASSERT(pNode);
    Report("OnAbsorberBuilt", this, pNode);
}

void CAIPlayer::OnEntityRemoved(CEntity* pNode)
{
    AW_ASSERT(pNode);
    Report("OnEntityRemoved", this, pNode);
}

void CAIPlayer::Think()
{
    Report("Think", this, nullptr);
}

void CAIPlayer::Upkeep()
{
    Report("Upkeep", this, nullptr);
}

void CAIPlayer::DrawOverlay(int) {}
