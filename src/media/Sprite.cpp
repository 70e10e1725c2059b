#include "media/Sprite.h"

#include <cmath>

#include <GL/gl.h>

#include "media/TextureManager.h"

CSprite::CSprite(float pX, float pY, float pW, float pH, unsigned pTexture, float pPageWidth,
                 float pPageHeight)
    : m_leftU(pX / pPageWidth),
      // Half a texel past the right edge, so the last column is not lost to rounding.
      m_rightU((pX + pW + 0.5f) / pPageWidth), m_bottomV((pY + pH) / pPageHeight), m_topV(pY / pPageHeight),
      m_halfWidth(pW * 0.5f), m_halfHeight(pH * 0.5f), m_texture(pTexture),
      m_contentRadius(std::sqrt(pW * pW + pH * pH) * 0.5f)
{
}

void CSprite::DrawRect(float pLeft, float pRight, float pBottom, float pTop) const
{
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glBegin(GL_QUADS);
    glTexCoord2f(m_leftU, m_bottomV);
    glVertex2f(pLeft, pBottom);
    glTexCoord2f(m_leftU, m_topV);
    glVertex2f(pLeft, pTop);
    glTexCoord2f(m_rightU, m_topV);
    glVertex2f(pRight, pTop);
    glTexCoord2f(m_rightU, m_bottomV);
    glVertex2f(pRight, pBottom);
    glEnd();
}

void CSprite::DrawCentered() const
{
    DrawRect(-m_halfWidth, m_halfWidth, -m_halfHeight, m_halfHeight);
}

void CSprite::DrawAnchored(float pA, float pB, float pC, float pD) const
{
    float w = GetWidth();
    float h = GetHeight();
    DrawRect(-pA * w, pB * w, -pC * h, pD * h);
}

void CSprite::DrawAt(float pX, float pY, float pAngleDegrees, float pScale) const
{
    // The same sine and cosine glRotatef would use, so both ways land on the same pixels.
    float c = 1.0f;
    float s = 0.0f;
    if (pAngleDegrees != 0.0f)
    {
        const float radians = static_cast<float>(pAngleDegrees * M_PI / 180.0);
        c = std::cos(radians);
        s = std::sin(radians);
    }
    const float w = m_halfWidth * pScale;
    const float h = m_halfHeight * pScale;
    // Corner offsets from the centre: (-w, -h), (-w, h), (w, h), (w, -h) turned by the angle.
    const float cw = c * w, sw = s * w, ch = c * h, sh = s * h;
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glBegin(GL_QUADS);
    glTexCoord2f(m_leftU, m_bottomV);
    glVertex2f(pX + (-cw + sh), pY + (-sw - ch));
    glTexCoord2f(m_leftU, m_topV);
    glVertex2f(pX + (-cw - sh), pY + (-sw + ch));
    glTexCoord2f(m_rightU, m_topV);
    glVertex2f(pX + (cw - sh), pY + (sw + ch));
    glTexCoord2f(m_rightU, m_bottomV);
    glVertex2f(pX + (cw + sh), pY + (sw - ch));
    glEnd();
}

void CSprite::DrawCenteredRound(float pScale) const
{
    // An octagon whose sides touch the content circle; it must lie inside the image.
    const float apothem = m_contentRadius;
    const float halfSide = apothem * 0.41421356f; // tan(22.5 degrees)
    if (apothem > m_halfWidth || apothem > m_halfHeight)
    {
        DrawRect(-m_halfWidth * pScale, m_halfWidth * pScale, -m_halfHeight * pScale, m_halfHeight * pScale);
        return;
    }
    // Corners in texels from the centre, counter-clockwise from the right side's lower end.
    const float corners[8][2] = {{apothem, -halfSide},  {apothem, halfSide},  {halfSide, apothem},
                                 {-halfSide, apothem},  {-apothem, halfSide}, {-apothem, -halfSide},
                                 {-halfSide, -apothem}, {halfSide, -apothem}};
    // The same mapping from position to texture as the whole quad's, so each pixel reads the
    // texel it would have read there.
    const float du = (m_rightU - m_leftU) / (2.0f * m_halfWidth);
    const float dv = (m_topV - m_bottomV) / (2.0f * m_halfHeight);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glBegin(GL_TRIANGLE_FAN);
    for (const auto& c : corners)
    {
        glTexCoord2f(m_leftU + (c[0] + m_halfWidth) * du, m_bottomV + (c[1] + m_halfHeight) * dv);
        glVertex2f(c[0] * pScale, c[1] * pScale);
    }
    glEnd();
}

bool CSprite::BindPlainTexel(float& pU, float& pV) const
{
    glBindTexture(GL_TEXTURE_2D, m_texture);
    return CTextureManager::GetInstance()->GetPlainTexel(m_texture, pU, pV);
}
