#pragma once

#include <vector>

#include "engine/Vector2.h"
#include "media/Color.h"

// Rings marked on the board in one frame (warnings, blast reaches, where nodes fell), handed to
// the renderer as two vertex arrays: a crowded board may hold dozens, and a software renderer
// spends more on setting up a ring's many thin triangles than on filling them. So a small
// whole ring is one quad over a ring drawn into a texture, and only wide rings and arcs are
// made of quads round the circle.
class CRingBatch
{
  public:
    static constexpr int SEGMENTS = 48;

    // A ring from pInner out by pWidth round pAt; with pFill under 1 only the arc of it that runs
    // clockwise from the top over that share.
    void Add(const CVector2& pAt, float pInner, float pWidth, const CColor& pColour, float pFill = 1.0f);
    // Draws every ring added since the last flush, in the order added, and forgets them.
    void Flush();
    size_t GetVertexCount() const { return (m_xy.size() + m_texturedXy.size()) / 2; }

    // Rings up to this outer radius are drawn from the texture (its line a tenth of the radius
    // wide, whatever the width asked).
    static constexpr float TEXTURED_MAX = 40.0f;

  private:
    std::vector<float> m_xy;
    std::vector<float> m_rgba;
    std::vector<float> m_texturedXy;
    std::vector<float> m_texturedUv;
    std::vector<float> m_texturedRgba;
};
