#include "world/RingBatch.h"

#include <algorithm>
#include <cmath>

#include <GL/gl.h>

namespace
{
// Points round the unit circle clockwise from the top.
const CVector2* UnitCircle()
{
    static CVector2 unit[CRingBatch::SEGMENTS + 1];
    static bool filled = false;
    if (!filled)
    {
        for (int k = 0; k <= CRingBatch::SEGMENTS; ++k)
        {
            const double a = 0.5 * M_PI - 2.0 * M_PI * k / CRingBatch::SEGMENTS;
            unit[k] = CVector2(static_cast<float>(std::cos(a)), static_cast<float>(std::sin(a)));
        }
        filled = true;
    }
    return unit;
}
// The texture's ring, in texels of its side: its outer edge and its width.
const int TEXTURE_SIDE = 64;
const float TEXTURE_OUTER = 31.0f;
const float TEXTURE_WIDTH = 3.5f;

// An alpha texture with a ring, its edges smoothed by sampling each texel 4 by 4 times; made
// once, on the first draw.
unsigned RingTexture()
{
    static GLuint texture = 0;
    if (texture != 0)
        return texture;
    std::vector<unsigned char> alpha(TEXTURE_SIDE * TEXTURE_SIDE);
    const float centre = 0.5f * TEXTURE_SIDE;
    for (int y = 0; y < TEXTURE_SIDE; ++y)
        for (int x = 0; x < TEXTURE_SIDE; ++x)
        {
            int inside = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx)
                {
                    const float dx = static_cast<float>(x) + (sx + 0.5f) / 4.0f - centre;
                    const float dy = static_cast<float>(y) + (sy + 0.5f) / 4.0f - centre;
                    const float d = std::sqrt(dx * dx + dy * dy);
                    inside += d <= TEXTURE_OUTER && d >= TEXTURE_OUTER - TEXTURE_WIDTH;
                }
            alpha[static_cast<size_t>(y * TEXTURE_SIDE + x)] = static_cast<unsigned char>(inside * 255 / 16);
        }
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, TEXTURE_SIDE, TEXTURE_SIDE, 0, GL_ALPHA, GL_UNSIGNED_BYTE,
                 alpha.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    return texture;
}

void PushColour(std::vector<float>& pOut, const CColor& pColour)
{
    for (int i = 0; i < 4; ++i)
        pOut.insert(pOut.end(), {pColour.r, pColour.g, pColour.b, pColour.a});
}
} // namespace

void CRingBatch::Add(const CVector2& pAt, float pInner, float pWidth, const CColor& pColour, float pFill)
{
    const float outer = pInner + pWidth;
    if (pFill >= 1.0f && outer <= TEXTURED_MAX)
    {
        const float half = outer * (0.5f * TEXTURE_SIDE) / TEXTURE_OUTER;
        const float quad[8] = {pAt.x - half, pAt.y - half, pAt.x + half, pAt.y - half,
                               pAt.x + half, pAt.y + half, pAt.x - half, pAt.y + half};
        const float uv[8] = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f};
        m_texturedXy.insert(m_texturedXy.end(), quad, quad + 8);
        m_texturedUv.insert(m_texturedUv.end(), uv, uv + 8);
        PushColour(m_texturedRgba, pColour);
        return;
    }
    const CVector2* unit = UnitCircle();
    // Small rings need fewer sides to look round.
    const int step = pInner < 24.0f ? 3 : (pInner < 60.0f ? 2 : 1);
    const int last = static_cast<int>(std::min(1.0f, std::max(0.0f, pFill)) * SEGMENTS + 0.5f);
    for (int k = 0; k < last; k += step)
    {
        const CVector2& u = unit[k];
        const CVector2& v = unit[std::min(k + step, last)];
        const float quad[8] = {pAt.x + u.x * pInner, pAt.y + u.y * pInner, pAt.x + u.x * outer,
                               pAt.y + u.y * outer,  pAt.x + v.x * outer,  pAt.y + v.y * outer,
                               pAt.x + v.x * pInner, pAt.y + v.y * pInner};
        m_xy.insert(m_xy.end(), quad, quad + 8);
        PushColour(m_rgba, pColour);
    }
}

void CRingBatch::Flush()
{
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    if (!m_xy.empty())
    {
        glBindTexture(GL_TEXTURE_2D, 0);
        glVertexPointer(2, GL_FLOAT, 0, m_xy.data());
        glColorPointer(4, GL_FLOAT, 0, m_rgba.data());
        glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(m_xy.size() / 2));
    }
    if (!m_texturedXy.empty())
    {
        glBindTexture(GL_TEXTURE_2D, RingTexture());
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glVertexPointer(2, GL_FLOAT, 0, m_texturedXy.data());
        glColorPointer(4, GL_FLOAT, 0, m_texturedRgba.data());
        glTexCoordPointer(2, GL_FLOAT, 0, m_texturedUv.data());
        glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(m_texturedXy.size() / 2));
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    m_xy.clear();
    m_rgba.clear();
    m_texturedXy.clear();
    m_texturedUv.clear();
    m_texturedRgba.clear();
}
