#include "support/TestWindow.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

#include "app/Program.h"
#include "engine/GLWindowAttributes.h"
#include "engine/GameEngine.h"
#include "engine/ResourceCatalogue.h"
#include "media/FontManager.h"
#include "media/TextureManager.h"

bool OpenTestWindow()
{
    static bool opened = false;
    static bool tried = false;
    if (tried)
        return opened;
    tried = true;
    // The world is shown as in the game: with the program's match screen drawing its panels.
    CProgram::Instance();
    if (SDL_Init(SDL_INIT_VIDEO) < 0)
        return false;
    RequestGLWindowAttributes();
    if (!SDL_SetVideoMode(1024, 768, 32, SDL_OPENGL))
        return false;
    glViewport(0, 0, 1024, 768);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1024, 0, 768, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    opened = true;
    return true;
}

TestPixel ReadTestPixel(int pX, int pY)
{
    unsigned char rgba[4] = {0, 0, 0, 0};
    glReadBuffer(GL_BACK);
    glReadPixels(pX, pY, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return TestPixel{rgba[0], rgba[1], rgba[2], rgba[3]};
}

void ClearTestWindow(float pR, float pG, float pB)
{
    glClearColor(pR, pG, pB, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, 0);
}

bool LoadGameMedia()
{
    CTextureManager* textures = CTextureManager::GetInstance();
    CFontManager* fonts = CFontManager::GetInstance();
    if (textures->GetSprite("AW_Title") && fonts->GetFont("MainFont"))
        return true;
    textures->Clear();
    fonts->Clear();
    CatalogueLoaders loaders;
    loaders.sprites = [](TiXmlElement* pSection, std::string&)
    { return CTextureManager::GetInstance()->Load(pSection); };
    loaders.sounds = [](TiXmlElement*, std::string&) { return true; };
    loaders.fonts = [](TiXmlElement* pSection, std::string&)
    { return CFontManager::GetInstance()->Load(pSection); };
    return LoadCatalogueFile(RESOURCE_CATALOGUE, loaders).ok && textures->GetSprite("AW_Title") &&
           fonts->GetFont("MainFont");
}
