#include "engine/GLWindowAttributes.h"

#include <SDL/SDL.h>

void RequestGLWindowAttributes()
{
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    // Nothing is ever depth tested, so no depth buffer is asked for: a 32-bit one is not offered
    // by many drivers (the window would then fail to open), and with Mesa's software renderer
    // any depth buffer turns off its fast path for screen-aligned quads.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_BUFFER_SIZE, 32);
}
