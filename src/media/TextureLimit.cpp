#include "media/TextureLimit.h"

#include <GL/gl.h>

namespace
{
int g_limit = 0;
}

int GetMaxTextureSide()
{
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    if (g_limit > 0 && (side <= 0 || g_limit < side))
        return g_limit;
    return side;
}

void SetMaxTextureSideLimit(int pSide)
{
    g_limit = pSide;
}
