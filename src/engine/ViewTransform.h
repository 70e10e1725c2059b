#pragma once

// The game lays everything out on a fixed page (1024 by 768) and shows it in a window of any
// size: scaled by one factor on both axes to the largest size that fits, centred, with black
// bars on the two sides left over (never stretched). Window and layout pixels both count from
// the top-left corner, as the mouse reports them.
class CViewTransform
{
  public:
    CViewTransform(int pLayoutWidth, int pLayoutHeight);

    // A window of no area keeps the layout's own size.
    void SetWindow(int pWidth, int pHeight);

    int GetLayoutWidth() const { return m_layoutWidth; }
    int GetLayoutHeight() const { return m_layoutHeight; }
    int GetWindowWidth() const { return m_windowWidth; }
    int GetWindowHeight() const { return m_windowHeight; }
    // The picture's rectangle in the window: left, top, width, height in window pixels.
    int GetContentLeft() const { return m_left; }
    int GetContentTop() const { return m_top; }
    int GetContentWidth() const { return m_width; }
    int GetContentHeight() const { return m_height; }
    // Window pixels per layout pixel (the smaller of the two axes' ratios before rounding).
    float GetScale() const { return m_scale; }
    bool IsIdentity() const;

    // The layout pixel under a window pixel; a pixel on a bar gives the nearest edge pixel.
    void WindowToLayout(int pX, int pY, int& pLayoutX, int& pLayoutY) const;
    // The window pixel that shows the centre of a layout pixel.
    void LayoutToWindow(int pX, int pY, int& pWindowX, int& pWindowY) const;

    // The window pixels a layout rectangle is drawn on, both counted from the bottom-left
    // corner as GL counts them, and the layout rectangle those pixels make exactly: for a
    // picture copied from the window and drawn back texel for pixel.
    struct PixelRect
    {
        int x, y, w, h;
        float left, bottom, right, top;
    };
    PixelRect CoverPixels(float pLeft, float pBottom, float pRight, float pTop) const;

  private:
    int m_layoutWidth;
    int m_layoutHeight;
    int m_windowWidth = 0;
    int m_windowHeight = 0;
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
    float m_scale = 1.0f;
};
