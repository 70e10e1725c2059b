#pragma once

// One image in the sprite atlas, drawn as one textured quad. Created by the texture manager.
class CSprite
{
  public:
    CSprite(float pX, float pY, float pW, float pH, unsigned pTexture, float pPageWidth, float pPageHeight);

    float GetWidth() const { return 2.0f * m_halfWidth; }
    float GetHeight() const { return 2.0f * m_halfHeight; }

    // The whole image stretched over the rectangle; top below bottom mirrors it.
    void DrawRect(float pLeft, float pRight, float pBottom, float pTop) const;
    // At its own size, centred on the current origin.
    void DrawCentered() const;
    // At its own size with the origin at fraction a of the width and c of the height.
    void DrawAnchored(float pA, float pB, float pC, float pD) const;
    // At its own size times the scale, centred on (x, y) and turned by the angle, the corners
    // worked out here rather than through the matrix stack: drawings that change no GL state
    // between them reach the renderer as one batch.
    void DrawAt(float pX, float pY, float pAngleDegrees = 0.0f, float pScale = 1.0f) const;
    // At its own size times the scale, centred on the current origin, over an octagon around
    // the image's content only: the clear corners a large image leaves would otherwise cost a
    // software renderer as much as its content. Falls back to the whole quad when the content
    // reaches the sides.
    void DrawCenteredRound(float pScale) const;

    // How far from the image's centre, in texels, any texel that is not fully clear reaches
    // (to that texel's far corner). The texture manager measures it; by default the corners.
    void SetContentRadius(float pTexels) { m_contentRadius = pTexels; }
    float GetContentRadius() const { return m_contentRadius; }

    // Binds the atlas and finds a texel of it that is opaque white, if it has one: plain
    // coloured geometry drawn with that texel's coordinates looks exactly as if drawn without
    // a texture, and so can share the sprites' batch. The texture manager finds the texel once.
    bool BindPlainTexel(float& pU, float& pV) const;

    float m_leftU;
    float m_rightU;
    float m_bottomV;
    float m_topV;
    float m_halfWidth;
    float m_halfHeight;
    unsigned m_texture;
    float m_contentRadius;
};
