#include "engine/ViewTransform.h"

#include <algorithm>
#include <cmath>

namespace
{
// Pixel centres map onto pixel centres: the picture's n window pixels cover the layout's m.
int Map(int pPixel, int pOffset, int pFrom, int pTo)
{
    const double centre = (pPixel - pOffset + 0.5) * pTo / pFrom;
    return std::clamp(static_cast<int>(std::floor(centre)), 0, pTo - 1);
}
} // namespace

CViewTransform::CViewTransform(int pLayoutWidth, int pLayoutHeight)
    : m_layoutWidth(std::max(1, pLayoutWidth)), m_layoutHeight(std::max(1, pLayoutHeight))
{
    SetWindow(m_layoutWidth, m_layoutHeight);
}

void CViewTransform::SetWindow(int pWidth, int pHeight)
{
    if (pWidth <= 0 || pHeight <= 0)
    {
        pWidth = m_layoutWidth;
        pHeight = m_layoutHeight;
    }
    m_windowWidth = pWidth;
    m_windowHeight = pHeight;
    const double sx = static_cast<double>(pWidth) / m_layoutWidth;
    const double sy = static_cast<double>(pHeight) / m_layoutHeight;
    const double scale = std::min(sx, sy);
    m_scale = static_cast<float>(scale);
    // The fitting axis fills the window exactly; the other is rounded, never past the window.
    m_width = sx <= sy ? pWidth : std::min(pWidth, static_cast<int>(std::lround(m_layoutWidth * scale)));
    m_height = sy <= sx ? pHeight : std::min(pHeight, static_cast<int>(std::lround(m_layoutHeight * scale)));
    m_width = std::max(1, m_width);
    m_height = std::max(1, m_height);
    m_left = (pWidth - m_width) / 2;
    m_top = (pHeight - m_height) / 2;
}

bool CViewTransform::IsIdentity() const
{
    return m_width == m_layoutWidth && m_height == m_layoutHeight && m_left == 0 && m_top == 0;
}

void CViewTransform::WindowToLayout(int pX, int pY, int& pLayoutX, int& pLayoutY) const
{
    pLayoutX = Map(pX, m_left, m_width, m_layoutWidth);
    pLayoutY = Map(pY, m_top, m_height, m_layoutHeight);
}

void CViewTransform::LayoutToWindow(int pX, int pY, int& pWindowX, int& pWindowY) const
{
    pWindowX = m_left + Map(pX, 0, m_layoutWidth, m_width);
    pWindowY = m_top + Map(pY, 0, m_layoutHeight, m_height);
}

CViewTransform::PixelRect CViewTransform::CoverPixels(float pLeft, float pBottom, float pRight,
                                                      float pTop) const
{
    const double sx = static_cast<double>(m_width) / m_layoutWidth;
    const double sy = static_cast<double>(m_height) / m_layoutHeight;
    const int x0 = m_left;
    const int y0 = m_windowHeight - m_top - m_height;
    // A pixel is drawn when its centre lies inside.
    auto first = [](double pEdge) { return static_cast<int>(std::ceil(pEdge - 0.5)); };
    PixelRect r;
    r.x = first(x0 + pLeft * sx);
    r.y = first(y0 + pBottom * sy);
    r.w = first(x0 + pRight * sx) - r.x;
    r.h = first(y0 + pTop * sy) - r.y;
    r.left = static_cast<float>((r.x - x0) / sx);
    r.bottom = static_cast<float>((r.y - y0) / sy);
    r.right = static_cast<float>((r.x + r.w - x0) / sx);
    r.top = static_cast<float>((r.y + r.h - y0) / sy);
    return r;
}
