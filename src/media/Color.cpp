#include "media/Color.h"

#include <GL/gl.h>

void CColor::Apply() const
{
    glColor4f(r, g, b, a);
}
