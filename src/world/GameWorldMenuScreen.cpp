#include <iterator>
#include <string>

#include <GL/gl.h>

#include "ai/Levels.h"
#include "engine/Version.h"
#include "media/FontManager.h"
#include "media/Sprite.h"
#include "media/TextureFont.h"
#include "media/TextureManager.h"
#include "world/GameWorld.h"
#include "world/ScreenDraw.h"

namespace
{
using ScreenDraw::Quad;

// The rows below Exit open the screens added to the game; the rows above keep their places.
const char* const MAIN_ROWS[] = {"New Game",      "Resume Game", "",        "Exit",    "",
                                 "Play a Friend", "Watch",       "Replays", "Settings"};
const int MAIN_ROW_COUNT = static_cast<int>(std::size(MAIN_ROWS));
static_assert(MAIN_ROW_COUNT == CGameWorld::FIRST_SCREEN_ROW + CGameWorld::SCREEN_ROW_COUNT,
              "one row per screen");
// "Demo", a gap, then the levels weakest first, each with its arena rating in a column of its own
// headed "Rating" (drawn grey in the gap, a row that cannot be chosen).
const int DIFFICULTY_ROW_COUNT = 2 + MENU_LEVEL_COUNT;
// Rows go down from 500 pixels above the bottom edge, which the list must end above.
static_assert(DIFFICULTY_ROW_COUNT * CGameWorld::DIFFICULTY_ROW_PITCH <= 460,
              "the difficulty list fits the window");
const float RATING_COLUMN = 170.0f;

struct DifficultyLabels
{
    std::string names[DIFFICULTY_ROW_COUNT];
    std::string ratings[DIFFICULTY_ROW_COUNT];
    const char* nameRows[DIFFICULTY_ROW_COUNT];
    const char* ratingRows[DIFFICULTY_ROW_COUNT];

    DifficultyLabels()
    {
        names[0] = "Demo";
        // The gap under "Demo" heads the numbers' column.
        ratings[1] = "Rating";
        for (int i = 0; i < MENU_LEVEL_COUNT; ++i)
        {
            const LevelInfo& level = LevelEntry(MENU_LEVELS[i]);
            names[2 + i] = level.name;
            ratings[2 + i] = std::to_string(MeasuredRating(MENU_LEVELS[i]));
        }
        for (int i = 0; i < DIFFICULTY_ROW_COUNT; ++i)
        {
            nameRows[i] = names[i].c_str();
            ratingRows[i] = ratings[i].c_str();
        }
    }
};

const DifficultyLabels& Labels()
{
    static const DifficultyLabels labels;
    return labels;
}
const int ROW_SPACING = 40;

// One column of rows going down from the current origin: the hovered row red, the others
// white when they can be chosen and grey when not.
void DrawRows(const CGameWorld& pWorld, CTextureFont* pFont, const char* const* pRows, int pCount, int pHover,
              bool pMainMenu)
{
    glPushMatrix();
    for (int i = 0; i < pCount; ++i)
    {
        if (pFont != nullptr && pRows[i][0] != '\0')
        {
            if (i == pHover)
                glColor3f(1.0f, 0.0f, 0.0f);
            else if (pWorld.IsMenuRowEnabled(i, pMainMenu))
                glColor3f(1.0f, 1.0f, 1.0f);
            else
                glColor3f(0.5f, 0.5f, 0.5f);
            pFont->DrawText(pRows[i]);
        }
        glTranslatef(0.0f, static_cast<float>(pMainMenu ? -ROW_SPACING : -CGameWorld::DIFFICULTY_ROW_PITCH),
                     0.0f);
    }
    glPopMatrix();
}

// The lines joining "New Game" to the difficulty rows, drawn round the list's origin.
void DrawDifficultyConnectors()
{
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor3f(0.7f, 0.7f, 0.7f);
    glBegin(GL_QUADS);
    Quad(-200.0f, -10.0f, 7.0f, 9.0f);
    Quad(-204.0f, -196.0f, 4.0f, 12.0f);
    for (int i = 0; i < DIFFICULTY_ROW_COUNT; ++i)
    {
        if (Labels().nameRows[i][0] == '\0')
            continue;
        float y = static_cast<float>(-CGameWorld::DIFFICULTY_ROW_PITCH * i);
        Quad(-50.0f, -10.0f, y + 7.0f, y + 9.0f);
        Quad(-14.0f, -6.0f, y + 4.0f, y + 12.0f);
    }
    // The spine runs from the first row down to the last.
    Quad(-52.0f, -50.0f,
         static_cast<float>(-CGameWorld::DIFFICULTY_ROW_PITCH * (DIFFICULTY_ROW_COUNT - 1)) + 7.0f, 7.0f);
    glEnd();
}
} // namespace

void CGameWorld::DrawMenu()
{
    static CSprite* gear = CTextureManager::GetInstance()->GetSprite("Gear");
    static CSprite* title = CTextureManager::GetInstance()->GetSprite("AW_Title");
    static CTextureFont* font = CFontManager::GetInstance()->GetFont("MainFont");

    const int w = GetWindowWidth();
    const int h = GetWindowHeight();
    m_drawnSpinAngle = m_spinAngle;

    // Three gears a shade darker than the background, each turning with the spin angle.
    if (gear != nullptr)
    {
        const float at[3][2] = {{150.0f, 170.0f}, {700.0f, 500.0f}, {800.0f, 60.0f}};
        const float shade[3] = {0.98f, 0.97f, 0.96f};
        const float anchor[3] = {1.3f, 1.0f, 0.65f};
        for (int i = 0; i < 3; ++i)
        {
            glPushMatrix();
            glTranslatef(at[i][0], at[i][1], 0.0f);
            glRotatef(m_spinAngle, 0.0f, 0.0f, 1.0f);
            glColor4f(0.0f, 0.2f * shade[i], 0.1f * shade[i], 1.0f);
            gear->DrawCenteredRound(2.0f * anchor[i]);
            glPopMatrix();
        }
    }

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    if (title != nullptr)
    {
        glPushMatrix();
        glTranslatef(static_cast<float>(w / 2), static_cast<float>(h - 100), 0.0f);
        title->DrawCentered();
        glPopMatrix();
    }

    if (font != nullptr)
    {
        glPushMatrix();
        glTranslatef(static_cast<float>(w - 210), 15.0f, 0.0f);
        font->DrawText((std::string("Version ") + ProgramVersion()).c_str());
        glPopMatrix();
    }

    glPushMatrix();
    glTranslatef(150.0f, 500.0f, 0.0f);
    DrawRows(*this, font, MAIN_ROWS, MAIN_ROW_COUNT, m_menuHover, true);
    glPopMatrix();

    if (m_difficultyListOpen)
    {
        glPushMatrix();
        glTranslatef(550.0f, 500.0f, 0.0f);
        DrawDifficultyConnectors();
        DrawRows(*this, font, Labels().nameRows, DIFFICULTY_ROW_COUNT, m_difficultyHover, false);
        glTranslatef(RATING_COLUMN, 0.0f, 0.0f);
        DrawRows(*this, font, Labels().ratingRows, DIFFICULTY_ROW_COUNT, m_difficultyHover, false);
        glPopMatrix();
    }
}
