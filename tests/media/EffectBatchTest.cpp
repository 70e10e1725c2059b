#include "media/EffectBatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "media/Graphic.h"
#include "media/Sprite.h"

namespace
{
CSprite* Spark()
{
    static CSprite sprite(0.0f, 0.0f, 8.0f, 8.0f, 0, 64.0f, 64.0f);
    return &sprite;
}

CSprite* Ghost()
{
    static CSprite sprite(8.0f, 0.0f, 24.0f, 24.0f, 0, 64.0f, 64.0f);
    return &sprite;
}

class EffectBatchTest : public ::testing::Test
{
  protected:
    void Still(float pX, float pY) { Add(Ghost(), pX, pY, CVector2(0.0f, 0.0f)); }

    void Moving(float pX, float pY) { Add(Spark(), pX, pY, CVector2(0.05f, 0.0f)); }

    void Add(CSprite* pSprite, float pX, float pY, const CVector2& pVelocity)
    {
        m_owned.emplace_back(
            new CGraphic(pSprite, CVector2(pX, pY), 0.0f, CColor(1.0f, 1.0f, 1.0f, 1.0f), 500, pVelocity));
        m_effects.push_back(m_owned.back().get());
    }

    // How often the blending changes along a drawing order.
    int Switches(const std::vector<size_t>& pOrder) const
    {
        int switches = 0;
        for (size_t i = 1; i < pOrder.size(); ++i)
            switches += m_effects[pOrder[i]]->IsMoving() != m_effects[pOrder[i - 1]]->IsMoving() ? 1 : 0;
        return switches;
    }

    std::vector<std::unique_ptr<CGraphic>> m_owned;
    std::vector<CGraphic*> m_effects;
};
} // namespace

TEST_F(EffectBatchTest, FarApartStillsGoFirstAndTheMovingOnesAfterInOneRunEach)
{
    Still(100.0f, 100.0f);
    Moving(300.0f, 100.0f);
    Still(500.0f, 100.0f);
    Moving(700.0f, 100.0f);
    Still(900.0f, 100.0f);
    EXPECT_EQ((std::vector<size_t>{0, 2, 4, 1, 3}), EffectDrawOrder(m_effects));
    EXPECT_TRUE(EffectDrawOrder({}).empty());
}

TEST_F(EffectBatchTest, AStillNeverPassesAMovingOneItTouches)
{
    Still(100.0f, 100.0f);
    Moving(400.0f, 400.0f);
    // A ghost reaches 17.97 and a new spark 6.66: 23.5 apart they touch, 25 apart not.
    Still(400.0f, 423.5f);
    Moving(600.0f, 600.0f);
    Still(600.0f, 625.0f);
    EXPECT_EQ((std::vector<size_t>{0, 1, 2, 4, 3}), EffectDrawOrder(m_effects));
}

// Random boards: the order is a permutation, every touching pair that does not commute keeps
// its list order, and the blending never switches more often than in list order.
TEST_F(EffectBatchTest, RandomListsKeepEveryPixelsOrderWithFewerSwitches)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<float> spot(0.0f, 300.0f);
    for (int round = 0; round < 50; ++round)
    {
        m_owned.clear();
        m_effects.clear();
        const int count = 1 + static_cast<int>(random() % 120);
        for (int i = 0; i < count; ++i)
        {
            if (random() % 4 == 0)
                Still(spot(random), spot(random));
            else
                Moving(spot(random), spot(random));
        }
        std::vector<size_t> order = EffectDrawOrder(m_effects);
        std::vector<size_t> sorted = order;
        std::sort(sorted.begin(), sorted.end());
        std::vector<size_t> identity(m_effects.size());
        for (size_t i = 0; i < identity.size(); ++i)
            identity[i] = i;
        ASSERT_EQ(identity, sorted);

        std::vector<size_t> drawnAt(order.size());
        for (size_t k = 0; k < order.size(); ++k)
            drawnAt[order[k]] = k;
        for (size_t i = 0; i < m_effects.size(); ++i)
        {
            for (size_t j = i + 1; j < m_effects.size(); ++j)
            {
                const CGraphic& a = *m_effects[i];
                const CGraphic& b = *m_effects[j];
                if (a.IsMoving() && b.IsMoving())
                    continue;
                const float reach = a.GetReach() + b.GetReach();
                if ((a.GetPosition() - b.GetPosition()).LengthSq() <= reach * reach)
                {
                    EXPECT_LT(drawnAt[i], drawnAt[j]) << "round " << round << ": " << i << " and " << j;
                }
            }
        }
        EXPECT_LE(Switches(order), Switches(identity));
    }
}
