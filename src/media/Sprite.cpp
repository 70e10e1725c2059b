#include "media/Sprite.h"

#include <cmath>

#include <GL/gl.h>

#include "media/TextureManager.h"

CSprite::CSprite(float pX, float pY, float pW, float pH, unsigned pTexture, float pPageWidth,
                 float pPageHeight)
    : m_leftU(pX / pPageWidth),
      // Half a texel past the right edge, so the last column is not lost to rounding.
      m_rightU((pX + pW + 0.5f) / pPageWidth), m_bottomV((pY + pH) / pPageHeight), m_topV(pY / pPageHeight),
      m_halfWidth(pW * 0.5f), m_halfHeight(pH * 0.5f), m_texture(pTexture)
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

bool CSprite::BindPlainTexel(float& pU, float& pV) const
{
    glBindTexture(GL_TEXTURE_2D, m_texture);
    return CTextureManager::GetInstance()->GetPlainTexel(m_texture, pU, pV);
}
