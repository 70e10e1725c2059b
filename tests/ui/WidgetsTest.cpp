#include <SDL/SDL.h>

#include <gtest/gtest.h>

#include "engine/GameEngine.h"
#include "ui/Screen.h"

namespace
{
SDL_Event Key(int pSym, int pText = 0, int pMod = 0)
{
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = static_cast<SDLKey>(pSym);
    event.key.keysym.unicode = static_cast<Uint16>(pText);
    event.key.keysym.mod = static_cast<SDLMod>(pMod);
    return event;
}

class CTestScreen : public CScreen
{
  public:
    CTestScreen() : CScreen("Test")
    {
        field = Add(std::make_unique<CTextField>(CRect{0, 0, 400, 30}, "Name", 5));
        off = Add(std::make_unique<CButton>(CRect{0, 40, 400, 30}, "Off", [] {}));
        off->m_enabled = false;
        list = Add(std::make_unique<CListView>(CRect{0, 80, 400, 100}, 20));
        button = Add(std::make_unique<CButton>(CRect{0, 200, 400, 30}, "Go", [this] { ++pressed; }));
    }
    CTextField* field;
    CButton* off;
    CListView* list;
    CButton* button;
    int pressed = 0;
};
} // namespace

TEST(Widgets, TextFieldsTakePrintableTextUpToTheirLimitAndEditAtTheCursor)
{
    CTextField field(CRect{}, "Seed", 6, "ab\x01\tc");
    EXPECT_EQ("abc", field.GetText()) << "control characters never enter";
    int changes = 0;
    field.m_onChange = [&changes] { ++changes; };
    const int keys[][2] = {{SDLK_HOME, 0},      {SDLK_x, 'x'}, {SDLK_END, 0}, {SDLK_LEFT, 0},
                           {SDLK_BACKSPACE, 0}, {SDLK_1, '1'}, {SDLK_2, '2'}, {SDLK_3, '3'},
                           {SDLK_4, '4'},       {SDLK_F5, 0},  {0, 0xe9},     {SDLK_TAB, '\t'}};
    for (const auto& key : keys)
        field.OnKey(key[0], 0, key[1]);
    EXPECT_EQ("xa123c", field.GetText())
        << "full at six: 4 is dropped; F5, a non-ASCII letter and Tab do nothing";
    EXPECT_EQ(5u, field.GetCursor());
    EXPECT_EQ(5, changes);
    field.OnKey(SDLK_HOME, 0, 0);
    field.OnKey(SDLK_DELETE, 0, 0);
    field.m_accepts = [](char c) { return c >= '0' && c <= '9'; };
    field.OnKey(SDLK_z, 0, 'z');
    field.OnKey(SDLK_7, 0, '7');
    EXPECT_EQ("7a123c", field.GetText());
}

TEST(Widgets, ScreensMoveBetweenEntriesSkipDisabledOnesScrollListsAndGoBack)
{
    CGameEngine::Instance().Configure(DisplayConfig::Default());
    CScreenStack stack;
    auto owned = std::make_unique<CTestScreen>();
    CTestScreen* screen = owned.get();
    stack.Push(std::move(owned));
    EXPECT_EQ(0, screen->GetChosen()) << "the first entry is chosen at once";
    std::vector<CListView::Row> rows(50);
    screen->list->SetRows(rows);

    stack.OnEvent(Key(SDLK_DOWN));
    EXPECT_EQ(2, screen->GetChosen()) << "the disabled button is passed";
    stack.OnEvent(Key(SDLK_DOWN));
    EXPECT_EQ(2, screen->GetChosen()) << "a list keeps Up and Down";
    EXPECT_EQ(1, screen->list->GetSelected());
    stack.OnEvent(Key(SDLK_PAGEDOWN));
    stack.OnEvent(Key(SDLK_PAGEDOWN));
    EXPECT_EQ(11, screen->list->GetSelected());
    EXPECT_EQ(7, screen->list->GetTop()) << "the chosen row stays in sight";
    stack.OnEvent(Key(SDLK_END));
    EXPECT_EQ(49, screen->list->GetSelected());
    screen->list->OnWheel(-1);
    EXPECT_EQ(42, screen->list->GetTop());
    EXPECT_EQ(46, screen->list->GetSelected());
    stack.OnEvent(Key(SDLK_TAB));
    stack.OnEvent(Key(SDLK_RETURN));
    EXPECT_EQ(1, screen->pressed);
    stack.OnEvent(Key(SDLK_TAB));
    EXPECT_EQ(0, screen->GetChosen()) << "Tab goes round";
    stack.OnEvent(Key(SDLK_TAB, 0, KMOD_LSHIFT));
    EXPECT_EQ(3, screen->GetChosen());

    SDL_Event click{};
    click.type = SDL_MOUSEBUTTONDOWN;
    click.button.button = SDL_BUTTON_LEFT;
    click.button.x = 10;
    click.button.y = 210;
    EXPECT_TRUE(stack.OnEvent(click));
    EXPECT_EQ(2, screen->pressed);
    click.button.y = 45;
    stack.OnEvent(click);
    EXPECT_EQ(3, screen->GetChosen()) << "a disabled entry cannot be clicked";

    stack.OnEvent(Key(SDLK_ESCAPE));
    EXPECT_TRUE(stack.IsEmpty());
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    EXPECT_FALSE(stack.OnEvent(quit)) << "nothing to take it";
    stack.OnFrame();
}
