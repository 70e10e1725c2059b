// What the board shows beyond the nodes themselves: the reach of sources that can power no
// more, where a beam being aimed would strike, the arc a shield blocks, and the player's
// emitters that pay to do no harm.
#include <algorithm>
#include <cmath>
#include <vector>

#include <GL/gl.h>

#include "media/FontManager.h"
#include "media/TextureFont.h"
#include "nodes/AbsorberNode.h"
#include "nodes/BeamNode.h"
#include "nodes/ShieldNode.h"
#include "world/GameWorld.h"
#include "world/MatchOverlay.h"
#include "world/RingBatch.h"

namespace
{
const int ARC_SEGMENTS = 16;
const int RING_SEGMENTS = 48;
// How far out from the shield's rim its blocking sector is shaded.
const float ARC_REACH = 60.0f;

// Marks a node the player should look at twice.
const CColor WARNING_COLOUR(1.0f, 0.55f, 0.0f, 1.0f);

// A crowded board can hold dozens of warnings at once; their rings all go to the renderer in
// one run and their labels in another, and past a handful the labels say nothing new.
const size_t MAX_LABELS = 6;

// The labels of this frame, so that none is drawn over another: left, right, baseline, text.
struct LabelPlace
{
    float left, right, y;
    const char* text;
};
std::vector<LabelPlace> g_labels;

// The node under the mouse, whose readout (health bar and flow) stands just above it.
const CEntity* g_hovered = nullptr;

void DrawLabel(const CVector2& pAt, const char* pText)
{
    static CTextureFont* font = CFontManager::GetInstance()->GetFont("HelpFont");
    if (font == nullptr || g_labels.size() >= MAX_LABELS)
        return;
    const float half = 0.5f * font->GetTextWidth(pText);
    const float height = static_cast<float>(font->GetLineHeight());
    for (const LabelPlace& l : g_labels)
    {
        if (std::fabs(l.y - pAt.y) < height && pAt.x - half < l.right && pAt.x + half > l.left)
            return;
    }
    g_labels.push_back({pAt.x - half, pAt.x + half, pAt.y, pText});
}

// A label pLift above a node's rim; under the node instead where its readout stands above it.
void DrawNodeLabel(const CEntity* pNode, float pLift, const char* pText)
{
    static CTextureFont* font = CFontManager::GetInstance()->GetFont("HelpFont");
    const float rim = pNode->GetRadius() + pLift;
    const float below = rim + (font != nullptr ? static_cast<float>(font->GetLineHeight()) : 12.0f);
    DrawLabel(pNode->GetPosition() + CVector2(0.0f, pNode == g_hovered ? -below : rim), pText);
}

// Every label gathered since the last flush, in one batch.
void FlushLabels()
{
    static CTextureFont* font = CFontManager::GetInstance()->GetFont("HelpFont");
    if (font != nullptr && !g_labels.empty())
    {
        WARNING_COLOUR.Apply();
        for (const LabelPlace& l : g_labels)
            font->DrawTextAt(l.left, l.y, l.text);
    }
    g_labels.clear();
}
} // namespace

void CGameWorld::DrawShieldArc(const CVector2& pCentre, const CVector2& pFacing)
{
    const float rim = CShieldNode::RADIUS + 2.0f;
    const float facing = std::atan2(pFacing.y, pFacing.x);
    const float half = CShieldNode::BLOCK_HALF_ANGLE;
    glBindTexture(GL_TEXTURE_2D, 0);
    glBegin(GL_TRIANGLE_STRIP);
    for (int i = 0; i <= ARC_SEGMENTS; ++i)
    {
        const float a = facing - half + 2.0f * half * static_cast<float>(i) / ARC_SEGMENTS;
        const CVector2 u(std::cos(a), std::sin(a));
        // The blocking face solid, the sector beams are stopped from fading outwards.
        glColor4f(0.6f, 0.85f, 1.0f, 0.9f);
        glVertex2f(pCentre.x + u.x * rim, pCentre.y + u.y * rim);
        glColor4f(0.6f, 0.85f, 1.0f, 0.0f);
        glVertex2f(pCentre.x + u.x * (rim + ARC_REACH), pCentre.y + u.y * (rim + ARC_REACH));
    }
    glEnd();
    glColor4f(0.6f, 0.85f, 1.0f, 1.0f);
    glBegin(GL_TRIANGLE_STRIP);
    for (int i = 0; i <= ARC_SEGMENTS; ++i)
    {
        const float a = facing - half + 2.0f * half * static_cast<float>(i) / ARC_SEGMENTS;
        const CVector2 u(std::cos(a), std::sin(a));
        glVertex2f(pCentre.x + u.x * rim, pCentre.y + u.y * rim);
        glVertex2f(pCentre.x + u.x * (rim + 3.0f), pCentre.y + u.y * (rim + 3.0f));
    }
    glEnd();
}

void CGameWorld::DrawFullRanges() const
{
    // An outline where a free source shows a disc: in reach, but it takes nothing more. One
    // strip each with no matrix change between them, however many sources are full.
    static CVector2 unit[RING_SEGMENTS + 1];
    if (unit[0].x == 0.0f)
    {
        for (int k = 0; k <= RING_SEGMENTS; ++k)
        {
            const float a = 2.0f * 3.14159265f * static_cast<float>(k) / RING_SEGMENTS;
            unit[k] = CVector2(std::cos(a), std::sin(a));
        }
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor4f(0.75f, 0.35f, 0.25f, 0.9f);
    for (CEntity* e : m_nodes)
    {
        if (e->GetTeam() != m_playerTeam || !e->IsPowerSource() || e->CanPowerMore())
            continue;
        const CVector2& c = e->GetPosition();
        const float outer = e->GetPowerRange();
        const float inner = outer - 2.0f;
        glBegin(GL_TRIANGLE_STRIP);
        for (int k = 0; k <= RING_SEGMENTS; ++k)
        {
            glVertex2f(c.x + unit[k].x * inner, c.y + unit[k].y * inner);
            glVertex2f(c.x + unit[k].x * outer, c.y + unit[k].y * outer);
        }
        glEnd();
    }
}

void CGameWorld::DrawBeamPreview() const
{
    CVector2 dir;
    float length = 0.0f;
    const CVector2 at = RoundToPixel(m_placePoint);
    CEntity* hit = PreviewBeam(m_placePoint, m_mouseBoard, &dir, &length);
    const CVector2 from = at + dir * CBeamNode::RADIUS;
    const CVector2 to = at + dir * length;
    glBindTexture(GL_TEXTURE_2D, 0);
    glBegin(GL_LINES);
    glColor4f(1.0f, 0.3f, 0.3f, 0.6f);
    glVertex2f(from.x, from.y);
    glVertex2f(to.x, to.y);
    glEnd();
    if (hit == nullptr)
        return;
    // Above the emitter or under it, on the side its beam does not go.
    if (length <= CBeamNode::SELF_DAMAGE_DISTANCE)
        DrawLabel(at + CVector2(0.0f, dir.y <= 0.0f ? CBeamNode::RADIUS + 10.0f : -CBeamNode::RADIUS - 22.0f),
                  "too close: this emitter takes twice the damage it deals");
    // The first node on the line takes the beam: a friend in the warning colour.
    const bool own = hit->GetTeam() == m_playerTeam;
    m_rings.Add(hit->GetPosition(), hit->GetRadius() + 3.0f, 2.0f, own ? WARNING_COLOUR : CColor(1, 1, 1, 1));
    if (own)
        DrawNodeLabel(hit, 8.0f, "your own node");
    if (const CShieldNode* shield = dynamic_cast<const CShieldNode*>(hit))
        DrawShieldArc(shield->GetPosition(), shield->GetDirection());
}

void CGameWorld::DrawWastedBeams() const
{
    for (int i : Index().GetHazards())
    {
        const CEntity* e = m_nodes[static_cast<size_t>(i)];
        if (e->GetTeam() != m_playerTeam)
            continue;
        const CBeamNode* beam = dynamic_cast<const CBeamNode*>(e);
        if (beam == nullptr || !beam->IsWasted())
            continue;
        m_rings.Add(beam->GetPosition(), beam->GetRadius() + 3.0f, 2.0f, WARNING_COLOUR);
        DrawNodeLabel(beam, 6.0f, "wasting energy");
    }
}

CEntity* CGameWorld::OwnNodeUnderFire(const CEntity* pEmitter)
{
    const CBeamNode* beam = dynamic_cast<const CBeamNode*>(pEmitter);
    if (beam == nullptr || !beam->IsActive())
        return nullptr;
    CEntity* target = beam->GetTarget();
    if (target == nullptr || target == pEmitter || target->GetTeam() != beam->GetTeam())
        return nullptr;
    return target;
}

void CGameWorld::DrawOwnFire() const
{
    for (int i : Index().GetHazards())
    {
        const CEntity* e = m_nodes[static_cast<size_t>(i)];
        if (e->GetTeam() != m_playerTeam)
            continue;
        CEntity* target = OwnNodeUnderFire(e);
        if (target == nullptr)
            continue;
        m_rings.Add(e->GetPosition(), e->GetRadius() + 3.0f, 2.0f, WARNING_COLOUR);
        m_rings.Add(target->GetPosition(), target->GetRadius() + 3.0f, 2.0f, WARNING_COLOUR);
        DrawNodeLabel(target, 8.0f, "your own node");
    }
}

float CGameWorld::BlastHeading(const CEntity* pAbsorber) const
{
    int beams = 0;
    for (int i : Index().GetHazards())
    {
        const CBeamNode* beam = dynamic_cast<const CBeamNode*>(m_nodes[static_cast<size_t>(i)]);
        if (beam != nullptr && beam->IsActive() && beam->GetTarget() == pAbsorber)
            ++beams;
    }
    return CAbsorberNode::BLAST_PER_BEAM * static_cast<float>(beams);
}

void CGameWorld::DrawAbsorberReach() const
{
    // The absorbers active beams strike, once for each beam.
    static std::vector<const CEntity*> struck;
    struck.clear();
    std::vector<const CAbsorberNode*> absorbers;
    for (int i : Index().GetHazards())
    {
        const CEntity* node = m_nodes[static_cast<size_t>(i)];
        if (const CBeamNode* beam = dynamic_cast<const CBeamNode*>(node))
        {
            const CEntity* target = beam->IsActive() ? beam->GetTarget() : nullptr;
            if (target != nullptr && target->AbsorbsBeams())
                struck.push_back(target);
        }
        else if (const CAbsorberNode* absorber = dynamic_cast<const CAbsorberNode*>(node))
        {
            if (absorber->IsConnected())
                absorbers.push_back(absorber);
        }
    }
    for (const CAbsorberNode* absorber : absorbers)
    {
        const float now = absorber->GetCurrentBlast();
        const float beams = static_cast<float>(std::count(struck.begin(), struck.end(), absorber));
        const float heading = std::max(now, CAbsorberNode::BLAST_PER_BEAM * beams);
        if (heading < 1.0f)
            continue;
        const CVector2& at = absorber->GetPosition();
        const float reach = absorber->GetRadius() + heading;
        // Orange when the blast will reach one of the player's nodes.
        bool threatens = false;
        ForEachEntityInRange(at, reach,
                             [&](CEntity* pNode) {
                                 threatens =
                                     threatens || (pNode != absorber && pNode->GetTeam() == m_playerTeam);
                             });
        const CColor colour = threatens ? WARNING_COLOUR : CColor(1.0f, 0.85f, 0.85f, 0.8f);
        m_rings.Add(at, reach, 2.0f, colour);
        // A ring round the absorber that fills as the blast grows towards where it heads.
        m_rings.Add(at, absorber->GetRadius() + 3.0f, 3.0f, colour, std::min(1.0f, now / heading));
        if (threatens)
            DrawLabel(at + CVector2(0.0f, reach + 4.0f), "blast reaches your nodes");
    }
}

void CGameWorld::DrawGuides() const
{
    g_hovered = FindOverlap(m_mouseBoard, 1.0f);
    // Labels beyond the cap are dropped, so the most pressing are gathered first: where the
    // beam being aimed strikes, then blasts, then beams into the player's own nodes.
    if (m_placeMode == PLACE_AIMING && m_selectedTool == TOOL_BEAM)
        DrawBeamPreview();
    else if (m_placeMode == PLACE_AIMING && m_selectedTool == TOOL_SHIELD)
        DrawShieldArc(RoundToPixel(m_placePoint),
                      CShieldNode::DirectionOf(AimDegrees(m_placePoint, m_mouseBoard)));
    if (const CShieldNode* shield = dynamic_cast<const CShieldNode*>(FindOverlap(m_mouseBoard, 1.0f)))
        DrawShieldArc(shield->GetPosition(), shield->GetDirection());
    DrawAbsorberReach();
    DrawOwnFire();
    DrawWastedBeams();
    if (m_overlay)
        m_overlay->DrawMarks(*this, m_rings);
    m_rings.Flush();
    FlushLabels();
}
