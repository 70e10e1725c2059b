// The help screen on F1: the keys, the node kinds with their costs, and the few rules a new
// player loses matches to. The figures come from the kinds' own constants.
#include "ui/HelpScreen.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include <GL/gl.h>

#include "media/FontManager.h"
#include "media/TextureFont.h"
#include "nodes/AbsorberNode.h"
#include "nodes/BeamNode.h"
#include "nodes/ExtractorNode.h"
#include "nodes/ForkNode.h"
#include "nodes/MainNode.h"
#include "nodes/ShieldNode.h"
#include "world/ScreenDraw.h"
#include "world/ScreenMath.h"
#include "world/Team.h"

using ScreenDraw::Quad;

namespace
{
const float MARGIN = 60.0f;

// The longest wait between two builds of a kind.
int LongestWaitSeconds()
{
    return *std::max_element(CTeam::COOLDOWN_MS, CTeam::COOLDOWN_MS + CTeam::m_nCooldowns) / 1000;
}

int Points(int pUnits)
{
    return pUnits / ScreenMath::ENERGY_POINT;
}

std::string HelpText()
{
    char kinds[1024];
    std::snprintf(
        kinds, sizeof kinds,
        "NODE KINDS (energy in points; your stock holds at most %d)\n"
        "  Extender, cost %d: carries your reach %d pixels further and powers up to %d nodes.\n"
        "  Beam emitter, cost %d: fires along its facing at the first node on the line, -2 a second.\n"
        "  Shield, cost %d: blocks beams striking its face (%d degrees either side), -1 a second idle,\n"
        "       -2 a second for each beam it blocks.\n"
        "  Extractor, cost %d: built on a resource site, +4 a second.\n"
        "  Absorber, cost %d: soaks up beams (+2 a second each) and hurts everything around it.\n"
        "  Your main node: +4 a second, reach %d pixels. Lose it and you lose the match.\n",
        Points(CTeam::ENERGY_MAX), Points(CForkNode::BASE_COST), static_cast<int>(CForkNode::POWER_RANGE),
        CForkNode::MAX_POWERED, Points(CBeamNode::BASE_COST), Points(CShieldNode::BASE_COST),
        static_cast<int>(CShieldNode::BLOCK_HALF_ANGLE * 57.29578f + 0.5f), Points(CExtractorNode::BASE_COST),
        Points(CAbsorberNode::BASE_COST), static_cast<int>(CMainNode::POWER_RANGE));
    std::string text = "KEYS\n"
                       "  1 to 5, or the icons at the top: choose what to build.\n"
                       "  Left click inside your reach: build there, powered by the nearest source.\n"
                       "       Press on a source and drag to choose it yourself.\n"
                       "  Beam emitter and shield: a second click sets the direction they face.\n"
                       "  Right click: cancel the placement, or put the tool away.\n"
                       "  Escape: put the tool away; again, to the menu (the match pauses there).\n"
                       "  S: the match summary.     F1: this screen.     P: hold the match.\n"
                       "  L: the last losses.     G: the first-match guide, on or off.\n"
                       "  Watching: Space or P pause, 1 to 4 speed, N (a replay) the next mark.\n"
                       "\n";
    text += kinds;
    text += "\n"
            "RULES\n"
            "  You build only inside the reach (the lighter discs) of your main node or of an extender\n"
            "       that can power more. A full extender's reach is only outlined.\n"
            "  A node whose source falls turns grey: it belongs to no one and decays.\n"
            "  Shields and emitters stop when your energy stock is empty.\n"
            "  A beam hits the first node on its line, friend or foe: aim past your own nodes.\n";
    char rules[512];
    std::snprintf(
        rules, sizeof rules,
        "  An emitter whose beam ends within %d pixels of it takes twice the damage it deals.\n"
        "  After a build, its kind waits up to %d s before the next: the seconds show on its icon.\n"
        "  Every shield takes one of its extender's %d places and needs power: cut a shield's\n"
        "       power to beat the main node behind it.\n",
        static_cast<int>(CBeamNode::SELF_DAMAGE_DISTANCE), LongestWaitSeconds(), CForkNode::MAX_POWERED);
    text += rules;
    text += "\n"
            "THE NUMBERS\n"
            "  Energy: your stock by the bar. Over its left end: the chosen kind's cost, and what is\n"
            "       missing. Net flow: your income less your running costs, a second.\n"
            "  The side bars: each main node's health, yours on the left when you play green.";
    return text;
}
} // namespace

void CHelpScreen::Draw(int pWidth, int pHeight, bool pInMatch)
{
    static CTextureFont* title = CFontManager::GetInstance()->GetFont("MainFont");
    static CTextureFont* font = CFontManager::GetInstance()->GetFont("HelpFont");
    static const std::string text = HelpText();
    if (title == nullptr || font == nullptr)
        return;
    const float w = static_cast<float>(pWidth);
    const float h = static_cast<float>(pHeight);

    glBindTexture(GL_TEXTURE_2D, 0);
    glBegin(GL_QUADS);
    glColor4f(0.02f, 0.06f, 0.04f, 1.0f);
    Quad(MARGIN, w - MARGIN, MARGIN, h - MARGIN);
    glColor4f(1.0f, 1.0f, 1.0f, 0.6f);
    Quad(MARGIN, w - MARGIN, h - MARGIN - 2.0f, h - MARGIN);
    Quad(MARGIN, w - MARGIN, MARGIN, MARGIN + 2.0f);
    glEnd();

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glPushMatrix();
    glTranslatef(MARGIN + 24.0f, h - MARGIN - 34.0f, 0.0f);
    title->DrawText("How to play");
    glTranslatef(0.0f, -34.0f, 0.0f);
    font->DrawText(text.c_str());
    glPopMatrix();
    const char* const close = pInMatch ? "F1, Escape or a click closes this; the match goes on behind it."
                                       : "F1, Escape or a click closes this.";
    glPushMatrix();
    glTranslatef(w - MARGIN - 24.0f - font->GetTextWidth(close), h - MARGIN - 30.0f, 0.0f);
    font->DrawText(close);
    glPopMatrix();
}
