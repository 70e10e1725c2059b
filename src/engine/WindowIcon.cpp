#include "engine/WindowIcon.h"

#include <SDL/SDL.h>

#include "engine/Platform.h"
#include "media/ImageHeader.h"

SDL_Surface* LoadIconSurface(const std::string& pPath, std::string& pError)
{
    std::string path = NativePath(pPath.c_str());
    SDL_RWops* rw = SDL_RWFromFile(path.c_str(), "rb");
    if (!rw)
    {
        pError = "cannot read the window icon " + path;
        return nullptr;
    }
    // The sides are read first: the image library allocates whatever size the header claims.
    unsigned char head[64];
    const int got = SDL_RWread(rw, head, 1, sizeof head);
    ImageHeader header;
    std::string why;
    if (got > 0 && ReadImageHeader(head, static_cast<size_t>(got), "", header, why) &&
        (header.width != 32 || header.height != 32))
    {
        SDL_RWclose(rw);
        pError = "the window icon " + path + " must be a 32x32 8-bit indexed BMP";
        return nullptr;
    }
    SDL_RWseek(rw, 0, RW_SEEK_SET);
    SDL_Surface* icon = SDL_LoadBMP_RW(rw, 1);
    if (!icon)
    {
        pError = "the window icon " + path + " is not a readable BMP";
        return nullptr;
    }
    if (icon->w != 32 || icon->h != 32 || !icon->format->palette)
    {
        pError = "the window icon " + path + " must be a 32x32 8-bit indexed BMP";
        SDL_FreeSurface(icon);
        return nullptr;
    }
    // The colour under the top-left pixel is the icon's background.
    Uint8 key = *static_cast<const Uint8*>(icon->pixels);
    SDL_SetColorKey(icon, SDL_SRCCOLORKEY, key);
    return icon;
}

unsigned VideoFlagsFor(bool pFullscreen)
{
    unsigned flags = SDL_HWSURFACE | SDL_OPENGLBLIT;
    if (pFullscreen)
        flags |= SDL_FULLSCREEN;
    return flags;
}
