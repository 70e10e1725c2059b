#include <gtest/gtest.h>

#include <string>

#include "engine/ViewTransform.h"

namespace
{

// At every window size the picture keeps the layout's shape, fills one axis, sits centred
// inside the window, and the mouse's mapping undoes the drawing's: each layout pixel is found
// again from the window pixel that shows it (magnified), or each window pixel of the picture
// from the layout pixel it shows (shrunk). A pixel on a bar reads as the nearest edge.
TEST(ViewTransformTest, FitsCentredAndMapsBothWays)
{
    struct Case
    {
        int w, h, left, top, width, height;
    };
    const Case cases[] = {
        {1024, 768, 0, 0, 1024, 768},     {1920, 1080, 240, 0, 1440, 1080}, {800, 600, 0, 0, 800, 600},
        {2560, 1440, 320, 0, 1920, 1440}, {1023, 767, 0, 0, 1023, 767},     {333, 1001, 0, 375, 333, 250},
        {1601, 599, 401, 0, 799, 599},    {3001, 2251, 0, 0, 3001, 2251},   {1, 1, 0, 0, 1, 1},
    };
    for (const Case& c : cases)
    {
        CViewTransform view(1024, 768);
        view.SetWindow(c.w, c.h);
        const std::string size = std::to_string(c.w) + "x" + std::to_string(c.h);
        EXPECT_EQ(view.GetContentLeft(), c.left) << size;
        EXPECT_EQ(view.GetContentTop(), c.top) << size;
        EXPECT_EQ(view.GetContentWidth(), c.width) << size;
        EXPECT_EQ(view.GetContentHeight(), c.height) << size;
        EXPECT_EQ(view.IsIdentity(), c.w == 1024 && c.h == 768) << size;
        // The whole layout covers the picture exactly (GL rows from the bottom), and a panel
        // copied from the window goes back on the pixels it came from.
        const CViewTransform::PixelRect all = view.CoverPixels(0.0f, 0.0f, 1024.0f, 768.0f);
        EXPECT_TRUE(all.x == c.left && all.y == c.h - c.top - c.height && all.w == c.width &&
                    all.h == c.height)
            << size;
        const CViewTransform::PixelRect panel = view.CoverPixels(112.0f, 50.5f, 912.0f, 690.0f);
        const CViewTransform::PixelRect again =
            view.CoverPixels(panel.left, panel.bottom, panel.right, panel.top);
        EXPECT_TRUE(again.x == panel.x && again.y == panel.y && again.w == panel.w && again.h == panel.h)
            << size;
        EXPECT_NEAR(panel.left, 112.0f, 1.0f / view.GetScale()) << size;
        EXPECT_NEAR(panel.top, 690.0f, 1.0f / view.GetScale()) << size;

        if (view.GetScale() >= 1.0f)
        {
            for (int y = 0; y < 768; y += 1)
                for (int x = 0; x < 1024; x += (y % 37 == 0) ? 1 : 13)
                {
                    int wx = 0, wy = 0, lx = 0, ly = 0;
                    view.LayoutToWindow(x, y, wx, wy);
                    view.WindowToLayout(wx, wy, lx, ly);
                    ASSERT_TRUE(lx == x && ly == y) << size << " layout " << x << "," << y;
                }
        }
        else
        {
            for (int y = c.top; y < c.top + c.height; ++y)
                for (int x = c.left; x < c.left + c.width; ++x)
                {
                    int wx = 0, wy = 0, lx = 0, ly = 0;
                    view.WindowToLayout(x, y, lx, ly);
                    view.LayoutToWindow(lx, ly, wx, wy);
                    ASSERT_TRUE(wx == x && wy == y) << size << " window " << x << "," << y;
                }
        }
        // The window's corners, on a bar or not, read no further in than the picture's corners
        // (its very corners when magnified).
        int lx = -1, ly = -1, cx = -2, cy = -2;
        view.WindowToLayout(0, 0, lx, ly);
        view.WindowToLayout(c.left, c.top, cx, cy);
        EXPECT_TRUE(lx <= cx && ly <= cy && (view.GetScale() < 1.0f || (lx == 0 && ly == 0))) << size;
        view.WindowToLayout(c.w - 1, c.h - 1, lx, ly);
        view.WindowToLayout(c.left + c.width - 1, c.top + c.height - 1, cx, cy);
        EXPECT_TRUE(lx >= cx && ly >= cy && (view.GetScale() < 1.0f || (lx == 1023 && ly == 767))) << size;
    }
    // A window of no area is treated as the layout's own.
    CViewTransform view(1024, 768);
    view.SetWindow(0, -5);
    EXPECT_TRUE(view.IsIdentity());
}

} // namespace
