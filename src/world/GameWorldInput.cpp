// Keys and the mouse in every state, and the player's placement interaction.
#include <SDL/SDL_keysym.h>

#include <SDL/SDL_keyboard.h>

#include "ai/AIPlayer.h"
#include "ai/Levels.h"
#include "engine/Assert.h"
#include "engine/GameEngine.h"
#include "media/SoundManager.h"
#include "nodes/EntityRegistry.h"
#include "nodes/MainNode.h"
#include "world/GameWorld.h"
#include "world/MatchDriver.h"

namespace
{
const int LEFT_BUTTON = 1;
const int RIGHT_BUTTON = 3;

// Menu rows are 40 pixels apart, 25 of them active, counted from 520 above the bottom.
const int MENU_TOP_FROM_BOTTOM = 520;
const int MENU_ROW_PITCH = 40;
const int MENU_ROW_HEIGHT = 25;

// The tool bar: five 61-pixel buttons, 67 pixels apart, from x = 70.
const int TOOL_BAR_LEFT = 70;
const int TOOL_BUTTON_PITCH = 67;
const int TOOL_BUTTON_WIDTH = 60;
const int TOOL_BAR_TOP = 6;
const int TOOL_BAR_BOTTOM = 64;

CMatchCommand CommandOf(int pKind, int pTeam)
{
    CMatchCommand command;
    command.kind = pKind;
    command.team = pTeam;
    return command;
}
} // namespace

int CGameWorld::MenuRowAt(int pX, int pY, bool pMainMenu) const
{
    const int pitch = pMainMenu ? MENU_ROW_PITCH : DIFFICULTY_ROW_PITCH;
    int u = pY - GetWindowHeight() + MENU_TOP_FROM_BOTTOM;
    if (u <= 0 || u % pitch >= MENU_ROW_HEIGHT)
        return -1;
    bool inColumn = pMainMenu ? (pX >= 141 && pX <= 439) : (pX >= 541 && pX <= 789);
    return inColumn ? u / pitch : -1;
}

int CGameWorld::ToolButtonAt(int pX, int pY)
{
    int v = pX - TOOL_BAR_LEFT;
    if (v < 1 || pY < TOOL_BAR_TOP || pY > TOOL_BAR_BOTTOM)
        return TOOL_NONE;
    if (v / TOOL_BUTTON_PITCH > TOOL_ABSORBER || v % TOOL_BUTTON_PITCH > TOOL_BUTTON_WIDTH)
        return TOOL_NONE;
    return v / TOOL_BUTTON_PITCH;
}

// --- keys ---

void CGameWorld::OnKey(int pSym, int pMod, bool pPressed)
{
    AW_ASSERT(m_GameEngine);
    // The help screen opens over the menu and the match alike; Escape closes it first.
    if (pPressed && m_state != STATE_INTRO && (pSym == SDLK_F1 || (m_helpOpen && pSym == SDLK_ESCAPE)))
    {
        m_helpOpen = !m_helpOpen && pSym == SDLK_F1;
        return;
    }
    switch (m_state)
    {
    case STATE_INTRO:
        if (pPressed)
            SkipIntro();
        break;
    case STATE_MENU:
        if (pPressed && pSym == SDLK_ESCAPE)
            m_GameEngine->Quit();
        else if (pPressed)
            OnMenuKey(pSym, pMod);
        break;
    case STATE_MATCH:
        if (!m_driver || !m_driver->OnKey(*this, pSym, pPressed))
            OnMatchKey(pSym, pPressed);
        break;
    default:
        break;
    }
}

void CGameWorld::OnMenuKey(int pSym, int pMod)
{
    // The column the keys move in: the difficulty list once a row of it is chosen.
    const bool list = m_difficultyListOpen && m_difficultyHover != -1;
    if (pSym == SDLK_RETURN || pSym == SDLK_KP_ENTER || pSym == SDLK_SPACE)
    {
        if (m_menuHover != -1 || m_difficultyHover != -1)
            MenuSelect();
        return;
    }
    if (pSym == SDLK_RIGHT && m_difficultyListOpen && !list)
    {
        m_menuHover = -1;
        m_difficultyHover = 0;
        PlaySound("MenuClick");
        return;
    }
    if (pSym == SDLK_LEFT && list)
    {
        m_difficultyHover = -1;
        m_menuHover = 0;
        PlaySound("MenuClick");
        return;
    }
    int step = 0;
    if (pSym == SDLK_DOWN || (pSym == SDLK_TAB && !(pMod & KMOD_SHIFT)))
        step = 1;
    else if (pSym == SDLK_UP || pSym == SDLK_TAB)
        step = -1;
    if (step == 0)
        return;
    int& hover = list ? m_difficultyHover : m_menuHover;
    // Rows run to the last that can be chosen; the walk goes round past the ends.
    const int rows = list ? 2 + MENU_LEVEL_COUNT : FIRST_SCREEN_ROW + SCREEN_ROW_COUNT;
    int row = hover == -1 ? (step > 0 ? -1 : rows) : hover;
    for (int tries = 0; tries < rows; ++tries)
    {
        row = ((row + step) % rows + rows) % rows;
        if (IsMenuRowEnabled(row, !list))
        {
            hover = row;
            PlaySound("MenuClick");
            return;
        }
    }
}

void CGameWorld::OnMatchKey(int pSym, bool pPressed)
{
    if (pPressed && pSym == SDLK_p && !m_driver && !IsDecided())
    {
        m_held = !m_held;
        // An emitter or shield placed and waiting for its aim stays so over the pause; a press
        // on a node that was to become a drag is forgotten.
        if (m_placeMode == PLACE_SOURCE_CHOSEN)
            m_placeMode = PLACE_IDLE;
        return;
    }
    if (pPressed && pSym == SDLK_ESCAPE)
    {
        m_held = false;
        // The first Escape puts the tool away, the second pauses; on a decided board of a match
        // played here, where no tool is left, the first goes to the menu as the line under the
        // banner says (a network session has Escape of its own).
        if (m_selectedTool == TOOL_NONE || (IsDecided() && !m_driver))
        {
            Pause();
        }
        else
        {
            m_selectedTool = TOOL_NONE;
            m_placeMode = PLACE_IDLE;
        }
    }
    if (pPressed && pSym == SDLK_s && ShowsResult())
        m_summaryOpen = !m_summaryOpen;

    // Held, a tool may still be chosen for when the match goes on; clicks build nothing.
    if (!m_demo && !IsDecided() && (m_placeMode == PLACE_IDLE || m_placeMode == PLACE_SOURCE_CHOSEN))
    {
        if (pPressed && pSym >= SDLK_1 && pSym <= SDLK_5)
            m_selectedTool = pSym - SDLK_1;
        // Any key drops a pending drag; an aim in progress stays.
        m_placeMode = PLACE_IDLE;
    }

    if (m_debug && pPressed)
        OnDebugKey(pSym);
}

void CGameWorld::OnDebugKey(int pSym)
{
    // Everything but the overlays changes the match, and so goes in as a command.
    switch (pSym)
    {
    case SDLK_r:
        IssuePlayerCommand(CommandOf(CMD_RESTART, m_playerTeam));
        break;
    case SDLK_TAB:
        IssuePlayerCommand(CommandOf(CMD_SWITCH_SIDE, (m_playerTeam + 1) % CTeam::MAX_TIDS));
        break;
    case SDLK_c:
        IssuePlayerCommand(CommandOf(CMD_FILL_ENERGY, m_playerTeam));
        break;
    case SDLK_a:
        IssuePlayerCommand(CommandOf(CMD_TOGGLE_AI, m_playerTeam));
        break;
    case SDLK_o:
        m_overlayMode = (m_overlayMode + 1) % 3;
        break;
    case SDLK_d:
        if (CEntity* node = FindOverlap(m_mouseBoard, 1.0f))
        {
            CMatchCommand command = CommandOf(CMD_DESTROY, m_playerTeam);
            command.node = MatchIdOf(node);
            IssuePlayerCommand(command);
        }
        break;
    case SDLK_l:
        IssuePlayerCommand(CommandOf(CMD_TOGGLE_DEMO, m_playerTeam));
        break;
    default:
        break;
    }
}

// --- the mouse ---

void CGameWorld::OnMouseMove(int pX, int pY)
{
    AW_ASSERT(m_GameEngine);
    m_mouseScreenX = pX;
    m_mouseScreenY = GetWindowHeight() - pY;

    if (m_state == STATE_MENU)
    {
        // The row under the pointer is highlighted, in one column at a time; off the rows the
        // highlight stays where it was, for the keys to go on from.
        const int row = MenuRowAt(pX, pY, true);
        const int listRow = m_difficultyListOpen ? MenuRowAt(pX, pY, false) : -1;
        if (IsMenuRowEnabled(row, true) && row != m_menuHover)
        {
            PlaySound("MenuClick");
            m_menuHover = row;
            m_difficultyHover = -1;
        }
        else if (m_difficultyListOpen && IsMenuRowEnabled(listRow, false) && listRow != m_difficultyHover)
        {
            PlaySound("MenuClick");
            m_difficultyHover = listRow;
            m_menuHover = -1;
        }
    }
    else if (m_state == STATE_MATCH)
    {
        m_mouseBoard = ScreenToBoard(pX, pY);
        if (!m_demo)
            m_hoveredTool = ToolButtonAt(pX, pY);
    }
}

void CGameWorld::OnMouseButton(int pButton, bool pPressed, int pX, int pY)
{
    AW_ASSERT(m_GameEngine);
    // A click closes the help screen, and does nothing else.
    if (m_helpOpen && m_state != STATE_INTRO)
    {
        if (pPressed)
            m_helpOpen = false;
        return;
    }
    switch (m_state)
    {
    case STATE_INTRO:
        if (pPressed)
            SkipIntro();
        break;
    case STATE_MENU:
        // Only a click on a row chooses it, even when the pointer has not moved since the
        // menu came back.
        if (pPressed && pButton == LEFT_BUTTON &&
            (IsMenuRowEnabled(MenuRowAt(pX, pY, true), true) ||
             (m_difficultyListOpen && IsMenuRowEnabled(MenuRowAt(pX, pY, false), false))))
        {
            OnMouseMove(pX, pY);
            MenuSelect();
        }
        break;
    case STATE_MATCH:
        if (!m_driver || !m_driver->OnMouseButton(*this, pButton, pPressed))
            OnMatchButton(pButton, pPressed, pX, pY);
        break;
    default:
        break;
    }
}

void CGameWorld::OnMatchButton(int pButton, bool pPressed, int pX, int pY)
{
    const CVector2 p = ScreenToBoard(pX, pY);
    const bool inBoard = p.x >= 0.0f && p.x <= m_boardWidth && p.y >= 0.0f && p.y <= m_boardHeight;

    // Nothing is built on a decided board, nor while the match is held.
    if (m_demo || m_held || IsDecided())
        return;

    if (pButton == RIGHT_BUTTON)
    {
        if (!pPressed)
            return;
        // Right click cancels a placement, or puts the tool away when nothing is placed.
        if (m_placeMode == PLACE_IDLE)
            m_selectedTool = TOOL_NONE;
        m_placeSourceId = 0;
        m_placeMode = PLACE_IDLE;
        return;
    }
    if (pButton != LEFT_BUTTON)
        return;

    if (pPressed)
    {
        int tool = ToolButtonAt(pX, pY);
        if (tool != TOOL_NONE)
        {
            m_selectedTool = (m_selectedTool == tool) ? TOOL_NONE : tool;
            return;
        }
    }

    if (!inBoard || m_selectedTool == TOOL_NONE)
        return;

    bool act = !pPressed;

    if (pPressed && m_placeMode == PLACE_IDLE)
    {
        CEntity* source = NearestPlayerSource(p);
        if (!source)
        {
            m_placeSourceId = 0;
            PlaySound("BuildFail");
            const CEntity* full = FindFullSource(m_playerTeam, p);
            ShowMessage(full ? FullSourceMessage(full) : "Too far from extender");
        }
        else
        {
            m_placeSourceId = GetEntityId(source);
            m_placeMode = PLACE_SOURCE_CHOSEN;
            // A press away from the source places at once; a press on it starts a drag.
            float r = source->GetRadius();
            if ((p - source->GetPosition()).LengthSq() > r * r)
                act = true;
        }
    }

    if (m_placeMode == PLACE_SOURCE_CHOSEN && act && m_placeSourceId != 0)
    {
        PlaceFromSource(p);
        return;
    }

    if (m_placeMode == PLACE_AIMING && pPressed)
        AimFromSource(p);
}

CEntity* CGameWorld::NearestPlayerSource(const CVector2& pPoint) const
{
    CEntity* best = nullptr;
    float bestDistSq = 0.0f;
    for (CEntity* node : m_nodes)
    {
        if (node->GetTeam() != m_playerTeam || !node->CanPowerMore())
            continue;
        float range = node->GetPowerRange();
        float distSq = (pPoint - node->GetPosition()).LengthSq();
        if (distSq >= range * range)
            continue;
        // A tie keeps the earlier node.
        if (!best || distSq < bestDistSq)
        {
            best = node;
            bestDistSq = distSq;
        }
    }
    return best;
}

void CGameWorld::PlaceFromSource(const CVector2& pPoint)
{
    if (CEntity* source = GetEntity(m_placeSourceId))
    {
        if (m_selectedTool == TOOL_BEAM || m_selectedTool == TOOL_SHIELD)
        {
            // Only the place is checked now; the cooldown is looked at when it is aimed.
            if (!CanPlace(m_playerTeam, pPoint, ToolRadius(m_selectedTool), ToolCost(m_selectedTool), source,
                          true))
            {
                PlaySound("BuildFail");
            }
            else
            {
                m_placeMode = PLACE_AIMING;
                m_placePoint = pPoint;
                return;
            }
        }
        else if (m_selectedTool == TOOL_NONE)
        {
            PlaySound("BuildFail");
        }
        else
        {
            // Whether it is refused ("BuildFail") is known once the command is applied.
            IssuePlayerCommand(BuildCommand(source, pPoint, pPoint));
        }
    }
    // Handed in, refused, or the source is gone: back to idle.
    m_placeSourceId = 0;
    m_placeMode = PLACE_IDLE;
}

void CGameWorld::AimFromSource(const CVector2& pPoint)
{
    if (CEntity* source = GetEntity(m_placeSourceId))
    {
        if (m_selectedTool == TOOL_BEAM || m_selectedTool == TOOL_SHIELD)
            IssuePlayerCommand(BuildCommand(source, m_placePoint, pPoint));
    }
    m_placeSourceId = 0;
    m_placeMode = PLACE_IDLE;
}

CMatchCommand CGameWorld::BuildCommand(CEntity* pSource, const CVector2& pPoint, const CVector2& pAim) const
{
    CMatchCommand command = CommandOf(CMD_BUILD, m_playerTeam);
    command.tool = m_selectedTool;
    command.point = pPoint;
    command.aim = pAim;
    command.node = MatchIdOf(pSource);
    return command;
}
