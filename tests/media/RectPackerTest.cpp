#include "media/RectPacker.h"

#include <gtest/gtest.h>

namespace
{
const int PAGE = 1024;

PackRect Rect(int pW, int pH)
{
    PackRect r;
    r.w = pW;
    r.h = pH;
    return r;
}

void ExpectSlot(const FreeSlot& pSlot, int pX, int pY, int pW, int pH)
{
    EXPECT_EQ(pX, pSlot.x);
    EXPECT_EQ(pY, pSlot.y);
    EXPECT_EQ(pW, pSlot.w);
    EXPECT_EQ(pH, pSlot.h);
}
} // namespace

TEST(RectPackerTest, NextPowerOfTwoRoundsUp)
{
    EXPECT_EQ(1, CRectPacker::NextPowerOfTwo(1));
    EXPECT_EQ(2, CRectPacker::NextPowerOfTwo(2));
    EXPECT_EQ(4, CRectPacker::NextPowerOfTwo(3));
    EXPECT_EQ(128, CRectPacker::NextPowerOfTwo(101));
    EXPECT_EQ(128, CRectPacker::NextPowerOfTwo(128));
    EXPECT_EQ(256, CRectPacker::NextPowerOfTwo(129));
    EXPECT_EQ(65536, CRectPacker::NextPowerOfTwo(40001));
    EXPECT_EQ(0, CRectPacker::NextPowerOfTwo(0));
}

TEST(RectPackerTest, OneImageSitsInsideTheMarginAndSplitsItsSlot)
{
    PackRect r = Rect(100, 60);
    CRectPacker packer;
    packer.AddRect(&r);
    packer.AddFreeSlot(FreeSlot{false, 1, 1, PAGE - 2, PAGE - 2});
    ASSERT_TRUE(packer.Pack(1, 1));
    EXPECT_TRUE(r.placed);
    EXPECT_EQ(1, r.x);
    EXPECT_EQ(1, r.y);
    EXPECT_EQ(128, packer.GetSize());
    // Right strip as tall as the image, lower strip as wide, then the corner; the padding
    // column and row belong to none of them.
    const auto& slots = packer.GetFreeSlots();
    ASSERT_EQ(3u, slots.size());
    ExpectSlot(slots[0], 102, 1, PAGE - 2 - 101, 60);
    ExpectSlot(slots[1], 1, 62, 100, PAGE - 2 - 61);
    ExpectSlot(slots[2], 102, 62, PAGE - 2 - 101, PAGE - 2 - 61);
}

TEST(RectPackerTest, PageSidesOfTinyAndEmptyPacks)
{
    PackRect dot = Rect(1, 1);
    CRectPacker one;
    one.AddRect(&dot);
    one.AddFreeSlot(FreeSlot{false, 1, 1, PAGE - 2, PAGE - 2});
    EXPECT_TRUE(one.Pack(1, 1));
    EXPECT_EQ(2, one.GetSize());

    CRectPacker none;
    none.AddFreeSlot(FreeSlot{false, 1, 1, PAGE - 2, PAGE - 2});
    EXPECT_TRUE(none.Pack(1, 1));
    EXPECT_EQ(0, none.GetSize());
    EXPECT_EQ(1u, none.GetFreeSlots().size());
}

TEST(RectPackerTest, WithoutAnyFreeSlotNothingIsPlaced)
{
    PackRect r = Rect(4, 4);
    CRectPacker packer;
    packer.AddRect(&r);
    EXPECT_FALSE(packer.Pack(1, 1));
    EXPECT_FALSE(r.placed);

    CRectPacker empty;
    EXPECT_FALSE(empty.Pack(1, 0));
}

TEST(RectPackerTest, EqualKeysPlaceTheLaterRectangleFirst)
{
    PackRect wide = Rect(50, 20);
    PackRect tall = Rect(20, 50);
    CRectPacker packer;
    packer.AddRect(&wide);
    packer.AddRect(&tall);
    packer.AddFreeSlot(FreeSlot{false, 1, 1, PAGE - 2, PAGE - 2});
    ASSERT_TRUE(packer.Pack(1, 1));
    EXPECT_EQ(1, tall.x);
    EXPECT_EQ(1, tall.y);
    // The wide one goes into the right strip beside it, one padding column away.
    EXPECT_EQ(22, wide.x);
    EXPECT_EQ(1, wide.y);
    EXPECT_EQ(128, packer.GetSize());
}

TEST(RectPackerTest, SortModeChoosesLongerSideOrArea)
{
    // The long thin one wins by its side, the square by its area.
    for (int mode : {0, 1})
    {
        PackRect thin = Rect(40, 1);
        PackRect square = Rect(10, 10);
        CRectPacker packer;
        packer.AddRect(&thin);
        packer.AddRect(&square);
        packer.AddFreeSlot(FreeSlot{false, 1, 1, PAGE - 2, PAGE - 2});
        ASSERT_TRUE(packer.Pack(1, mode));
        const PackRect& first = mode == 1 ? thin : square;
        EXPECT_EQ(1, first.x) << "mode " << mode;
        EXPECT_EQ(1, first.y) << "mode " << mode;
    }
}

TEST(RectPackerTest, HugeAreasCompareUnsigned)
{
    // 50000 x 50000 overflows a signed int; it must still count as the largest.
    PackRect huge = Rect(50000, 50000);
    PackRect small = Rect(10, 10);
    CRectPacker packer;
    packer.AddRect(&small);
    packer.AddRect(&huge);
    packer.AddFreeSlot(FreeSlot{false, 1, 1, 65534, 65534});
    ASSERT_TRUE(packer.Pack(1, 0));
    EXPECT_EQ(1, huge.x);
    EXPECT_EQ(1, huge.y);
    EXPECT_EQ(50002, small.x);
    EXPECT_EQ(65536, packer.GetSize());
}

TEST(RectPackerTest, FullWidthLeavesOnlyTheLowerStrip)
{
    PackRect r = Rect(PAGE - 2, 10);
    CRectPacker packer;
    packer.AddRect(&r);
    packer.AddFreeSlot(FreeSlot{false, 1, 1, PAGE - 2, PAGE - 2});
    ASSERT_TRUE(packer.Pack(1, 1));
    EXPECT_EQ(PAGE, packer.GetSize());
    const auto& slots = packer.GetFreeSlots();
    ASSERT_EQ(1u, slots.size());
    ExpectSlot(slots[0], 1, 12, PAGE - 2, PAGE - 2 - 11);
}

TEST(RectPackerTest, PaddingCountsInTheSplitButNotInTheFit)
{
    // Fills the slot exactly: fits although the padding would not.
    PackRect exact = Rect(20, 20);
    CRectPacker a;
    a.AddRect(&exact);
    a.AddFreeSlot(FreeSlot{false, 0, 0, 20, 20});
    EXPECT_TRUE(a.Pack(3, 1));
    EXPECT_TRUE(a.GetFreeSlots().empty());

    // One pixel short of room for the padding: no strip on that side.
    PackRect r = Rect(99, 30);
    CRectPacker b;
    b.AddRect(&r);
    b.AddFreeSlot(FreeSlot{false, 1, 1, 100, 50});
    ASSERT_TRUE(b.Pack(1, 1));
    ASSERT_EQ(1u, b.GetFreeSlots().size());
    ExpectSlot(b.GetFreeSlots()[0], 1, 32, 99, 19);
}

TEST(RectPackerTest, SlotThatDoesNotGrowThePageWins)
{
    PackRect big = Rect(30, 30);
    PackRect small = Rect(2, 2);
    CRectPacker packer;
    packer.AddRect(&small);
    packer.AddRect(&big);
    packer.AddFreeSlot(FreeSlot{false, 0, 0, 30, 30}); // taken by the big one: page 32
    packer.AddFreeSlot(FreeSlot{false, 40, 0, 4, 4});  // would grow the page to 64
    packer.AddFreeSlot(FreeSlot{false, 30, 0, 2, 2});  // inside the page: first that does not grow
    packer.AddFreeSlot(FreeSlot{false, 0, 30, 2, 2});  // also inside, but later
    ASSERT_TRUE(packer.Pack(0, 0));
    EXPECT_EQ(30, small.x);
    EXPECT_EQ(0, small.y);
    EXPECT_EQ(32, packer.GetSize());
}

TEST(RectPackerTest, OtherwiseTheFirstOfTheLeastGrowingSlots)
{
    PackRect r = Rect(4, 4);
    CRectPacker packer;
    packer.AddRect(&r);
    packer.AddFreeSlot(FreeSlot{false, 100, 0, 10, 10}); // page 128
    packer.AddFreeSlot(FreeSlot{false, 0, 40, 10, 10});  // page 64
    packer.AddFreeSlot(FreeSlot{false, 40, 0, 10, 10});  // page 64 as well, but later
    packer.AddFreeSlot(FreeSlot{false, 0, 0, 3, 3});     // too small
    ASSERT_TRUE(packer.Pack(1, 1));
    EXPECT_EQ(0, r.x);
    EXPECT_EQ(40, r.y);
    EXPECT_EQ(64, packer.GetSize());
}

TEST(RectPackerTest, UnplacedRectanglesFailThePackButOthersArePlaced)
{
    PackRect tooBig = Rect(70, 10);
    PackRect fits = Rect(10, 10);
    PackRect secondSquare = Rect(40, 40);
    PackRect firstSquare = Rect(40, 40);
    CRectPacker packer;
    packer.AddRect(&tooBig);
    packer.AddRect(&fits);
    packer.AddRect(&firstSquare);
    packer.AddRect(&secondSquare);
    packer.AddFreeSlot(FreeSlot{false, 1, 1, 62, 62});
    EXPECT_FALSE(packer.Pack(1, 1));
    EXPECT_FALSE(tooBig.placed);
    EXPECT_TRUE(secondSquare.placed);
    EXPECT_FALSE(firstSquare.placed); // no 40 x 40 room is left beside the other one
    EXPECT_TRUE(fits.placed);
    EXPECT_EQ(0, tooBig.x);
    EXPECT_EQ(64, packer.GetSize());
}

TEST(RectPackerDeathTest, NullRectangleIsAProgrammingError)
{
    CRectPacker packer;
    EXPECT_DEATH(packer.AddRect(nullptr), "pRect");
}

// One more rectangle after packing goes into room left inside the page, or nowhere.
TEST(RectPackerTest, PlacingWithinThePageNeverGrowsIt)
{
    PackRect wide = Rect(100, 60);
    CRectPacker packer;
    packer.AddRect(&wide);
    packer.AddFreeSlot(FreeSlot{false, 1, 1, PAGE - 2, PAGE - 2});
    ASSERT_TRUE(packer.Pack(1, 1));
    ASSERT_EQ(128, packer.GetSize());

    // Below the image there are 65 rows of 126: a 60 by 40 fits there, a 30 by 70 nowhere.
    PackRect low = Rect(60, 40);
    EXPECT_TRUE(packer.PlaceWithinPage(&low, 1));
    EXPECT_TRUE(low.placed);
    EXPECT_EQ(1, low.x);
    EXPECT_EQ(62, low.y);
    PackRect tall = Rect(30, 70);
    EXPECT_FALSE(packer.PlaceWithinPage(&tall, 1));
    EXPECT_FALSE(tall.placed);
    EXPECT_EQ(128, packer.GetSize());

    // Another of the same no longer fits: what is left inside the page is a 26-column strip
    // right of the image and a 25-row strip below the second; a 20 by 20 goes right.
    PackRect again = Rect(60, 40);
    EXPECT_FALSE(packer.PlaceWithinPage(&again, 1));
    PackRect small = Rect(20, 20);
    ASSERT_TRUE(packer.PlaceWithinPage(&small, 1));
    EXPECT_EQ(102, small.x);
    EXPECT_EQ(1, small.y);
    EXPECT_EQ(128, packer.GetSize());
}
