#include "ui/FirstMatchGuide.h"

#include <GL/gl.h>

#include "media/FontManager.h"
#include "media/TextureFont.h"
#include "nodes/BeamNode.h"
#include "nodes/MainNode.h"
#include "nodes/ShieldNode.h"
#include "world/GameWorld.h"
#include "world/ScreenDraw.h"

namespace
{
// The emitter of the other side whose beam now strikes the node, if any.
bool IsUnderEnemyFire(const CGameWorld& pWorld, const CEntity* pNode)
{
    bool struck = false;
    pWorld.ForEachHazard(
        [&](CEntity* pHazard)
        {
            const CBeamNode* beam = dynamic_cast<const CBeamNode*>(pHazard);
            struck = struck || (beam != nullptr && beam->GetTeam() != pNode->GetTeam() && beam->IsActive() &&
                                beam->GetTarget() == pNode);
        });
    return struck;
}

bool HasShield(const CGameWorld& pWorld, int pTeam)
{
    for (const CEntity* node : pWorld.GetNodes())
    {
        if (node->GetTeam() == pTeam && dynamic_cast<const CShieldNode*>(node) != nullptr)
            return true;
    }
    return false;
}
} // namespace

int CFirstMatchGuide::Current(const CGameWorld& pWorld)
{
    if (pWorld.m_state != STATE_MATCH || pWorld.IsDecided())
        return HINT_NONE;
    const int team = pWorld.m_playerTeam;
    const int enemy = team == 1 ? 2 : 1;
    const CMatchStats& stats = pWorld.m_matchStats;
    const CEntity* main = pWorld.GetTeam(team).GetMainNode();
    if (main != nullptr && stats.GetBuilt(team, KIND_SHIELD) == 0 && IsUnderEnemyFire(pWorld, main))
        return HINT_MAIN_UNDER_FIRE;
    if (stats.GetLost(enemy, KIND_SHIELD) == 0 && HasShield(pWorld, enemy))
        return HINT_SHIELD_POWER;
    if (stats.GetBuilt(team, KIND_EXTRACTOR) == 0)
        return HINT_EXTRACTOR;
    if (stats.GetBuilt(team, KIND_BEAM) == 0)
        return HINT_AIM;
    return HINT_NONE;
}

const char* CFirstMatchGuide::Text(int pHint)
{
    switch (pHint)
    {
    case HINT_EXTRACTOR:
        return "Press 4 and click a resource site inside your reach: an extractor there earns energy.";
    case HINT_AIM:
        return "Press 2, click inside your reach, then click again to aim the beam emitter at an enemy node.";
    case HINT_SHIELD_POWER:
        return "An enemy shield blocks beams and needs power: destroy the extender that powers it.";
    case HINT_MAIN_UNDER_FIRE:
        return "Your main node is under fire: press 3, click beside it, then click towards the beam.";
    default:
        return "";
    }
}

void CFirstMatchGuide::Draw(const CGameWorld& pWorld) const
{
    static CTextureFont* font = CFontManager::GetInstance()->GetFont("HelpFont");
    // A tool's own panel, under the mouse, says more for the while.
    if (!m_on || font == nullptr || pWorld.m_demo || pWorld.m_watchingOnly || pWorld.m_summaryOpen ||
        pWorld.m_hoveredTool != TOOL_NONE)
        return;
    const int hint = Current(pWorld);
    if (hint == HINT_NONE)
        return;
    const char* const text = Text(hint);
    const char* const keys = "   (G hides these hints)";
    const float textWidth = font->GetTextWidth(text);
    const float width = textWidth + font->GetTextWidth(keys);
    // One line along the board's top edge, above its highest sites, under the message line.
    const float line = static_cast<float>(font->GetLineHeight());
    const float top = 0.5f * (static_cast<float>(pWorld.GetWindowHeight()) + pWorld.GetBoardHeight()) - 2.0f;
    const float left = static_cast<float>(pWorld.GetWindowWidth() / 2) - 0.5f * width;
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor4f(0.02f, 0.06f, 0.04f, 0.9f);
    glBegin(GL_QUADS);
    ScreenDraw::Quad(left - 10.0f, left + width + 10.0f, top - line - 8.0f, top);
    glEnd();
    const float y = top - line - 2.0f;
    glColor4f(1.0f, 0.95f, 0.6f, 1.0f);
    glPushMatrix();
    glTranslatef(left, y, 0.0f);
    font->DrawText(text);
    glTranslatef(textWidth, 0.0f, 0.0f);
    glColor4f(0.7f, 0.7f, 0.7f, 1.0f);
    font->DrawText(keys);
    glPopMatrix();
}
