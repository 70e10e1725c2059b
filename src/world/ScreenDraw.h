#pragma once

#include <GL/gl.h>

// Vertex helpers for the screens' immediate-mode batches.
namespace ScreenDraw
{
// Four corners of an axis-aligned rectangle, counter-clockwise, inside a GL_QUADS batch.
inline void Quad(float pLeft, float pRight, float pBottom, float pTop)
{
    glVertex2f(pLeft, pBottom);
    glVertex2f(pRight, pBottom);
    glVertex2f(pRight, pTop);
    glVertex2f(pLeft, pTop);
}

// The same rectangle as two triangles, inside a GL_TRIANGLES batch.
inline void QuadAsTriangles(float pLeft, float pRight, float pBottom, float pTop)
{
    glVertex2f(pLeft, pBottom);
    glVertex2f(pRight, pBottom);
    glVertex2f(pRight, pTop);
    glVertex2f(pLeft, pBottom);
    glVertex2f(pRight, pTop);
    glVertex2f(pLeft, pTop);
}
} // namespace ScreenDraw
