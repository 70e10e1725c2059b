// Random play with every frame drawn: previews, readouts, overlays and effects from whatever
// state the input leaves the world in must draw without failing.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "engine/GameEngine.h"
#include "engine/ResourceCatalogue.h"
#include "media/FontManager.h"
#include "media/TextureManager.h"
#include "support/RandomPlay.h"
#include "support/TestWindow.h"

TEST(RandomPlayDrawTest, EveryFrameOfRandomPlayDraws)
{
    ASSERT_TRUE(OpenTestWindow()) << "needs an X display";
    CGameEngine::Instance().Configure(DisplayConfig::Default());
    CTextureManager::GetInstance()->Clear();
    CFontManager::GetInstance()->Clear();
    CatalogueLoaders loaders;
    loaders.sprites = [](TiXmlElement* pSection, std::string&)
    { return CTextureManager::GetInstance()->Load(pSection); };
    loaders.sounds = [](TiXmlElement*, std::string&) { return true; };
    loaders.fonts = [](TiXmlElement* pSection, std::string&)
    { return CFontManager::GetInstance()->Load(pSection); };
    ASSERT_TRUE(LoadCatalogueFile(RESOURCE_CATALOGUE, loaders).ok);

    CGameWorld& world = CGameEngine::Instance().GetWorld();
    int frames = 0;
    PlayRandomly(21u, 1500,
                 [&]
                 {
                     world.Draw();
                     ++frames;
                 });
    glFinish();
    EXPECT_EQ(GL_NO_ERROR, glGetError());
    EXPECT_EQ(1500, frames);
    CGameEngine::Instance().RemoveOption("debug");
    world.ClearMatch();
}
