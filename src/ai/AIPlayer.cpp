#include "ai/AIPlayer.h"

#include "engine/Assert.h"

// PLACEHOLDER: the board analysis is being filled in.

namespace
{
AIObserver& Observer()
{
    static AIObserver* observer = new AIObserver;
    return *observer;
}

} // namespace

void ReportAICall(const char* pCall, const CAIPlayer* pPlayer, CEntity* pNode)
{
    if (Observer())
        Observer()(pCall, pPlayer, pNode);
}

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
    ReportAICall("OnMainNodeAdded", this, pNode);
}

void CAIPlayer::OnResourceAdded(CEntity* pNode)
{
    AW_ASSERT(pNode);
    ReportAICall("OnResourceAdded", this, pNode);
}

void CAIPlayer::OnExtenderBuilt(CEntity* pNode)
{
    AW_ASSERT(pNode);
    ReportAICall("OnExtenderBuilt", this, pNode);
}

void CAIPlayer::OnBeamBuilt(CEntity* pNode)
{
    AW_ASSERT(pNode);
    ReportAICall("OnBeamBuilt", this, pNode);
}

void CAIPlayer::OnShieldBuilt(CEntity* pNode)
{
    AW_ASSERT(pNode);
    ReportAICall("OnShieldBuilt", this, pNode);
}

void CAIPlayer::OnExtractorBuilt(CEntity* pNode)
{
    AW_ASSERT(pNode);
    ReportAICall("OnExtractorBuilt", this, pNode);
}

void CAIPlayer::OnAbsorberBuilt(CEntity* pNode)
{
    AW_ASSERT(pNode);
    ReportAICall("OnAbsorberBuilt", this, pNode);
}

void CAIPlayer::OnEntityRemoved(CEntity* pNode)
{
    AW_ASSERT(pNode);
    ReportAICall("OnEntityRemoved", this, pNode);
}

void CAIPlayer::Upkeep()
{
    ReportAICall("Upkeep", this, nullptr);
}

void CAIPlayer::DrawOverlay(int) {}
int CAIPlayer::GetTeamId() const { return 0; }
void CAIPlayer::InitPowerMap() {}
PowerCell& CAIPlayer::CellAt(int, int) { static PowerCell cell; return cell; }
PowerCell& CAIPlayer::CellAtPoint(const CVector2&) { static PowerCell cell; return cell; }
CVector2 CAIPlayer::CellCentre(int, int) const { return CVector2(); }
int CAIPlayer::Hops(const PowerCell&) { return 0; }
void CAIPlayer::StampProvider(CEntity*) {}
void CAIPlayer::ClearProvider(CEntity*) {}
void CAIPlayer::RebuildPowerMap() {}
void CAIPlayer::RemoveOpenProvider(CEntity*) {}
void CAIPlayer::OnNodeAdded(CEntity*) {}
void CAIPlayer::ScanBoard() {}
bool CAIPlayer::IsOwn(const CEntity*) const { return false; }
CEntity* CScanResult::GetPowerSource(std::size_t) const { return nullptr; }
CEntity* CScanResult::GetResource(std::size_t) const { return nullptr; }
CEntity* CScanResult::GetEnemy(std::size_t) const { return nullptr; }
CEntity* CScanResult::PickTarget(bool) const { return nullptr; }
