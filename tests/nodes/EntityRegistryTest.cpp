#include <gtest/gtest.h>

#include "nodes/EntityRegistry.h"
#include "nodes/NodeTestSupport.h"
#include "nodes/RandomTable.h"

using EntityRegistryTest = NodeBoardTest;

TEST_F(EntityRegistryTest, IdsAreStableDistinctAndNeverReused)
{
    EXPECT_EQ(0, GetEntityId(nullptr));
    EXPECT_EQ(nullptr, GetEntity(0));

    auto* a = new CProbeEntity;
    int idA = GetEntityId(a);
    // Asking for null in between registers nothing and uses up no id.
    EXPECT_EQ(0, GetEntityId(nullptr));
    auto* b = new CProbeEntity;
    int idB = GetEntityId(b);
    EXPECT_GT(idA, 0);
    EXPECT_EQ(idA + 1, idB);
    EXPECT_EQ(idA, GetEntityId(a));
    EXPECT_EQ(a, GetEntity(idA));
    EXPECT_EQ(b, GetEntity(idB));
    EXPECT_EQ(nullptr, GetEntity(idB + 1000));

    a->Kill();
    EXPECT_EQ(nullptr, GetEntity(idA));
    auto* c = new CProbeEntity;
    int idC = GetEntityId(c);
    EXPECT_GT(idC, idB);
    EXPECT_EQ(nullptr, GetEntity(idA));

    delete b;
    EXPECT_EQ(nullptr, GetEntity(idB));
    // Unregistering twice, or something never registered, is harmless.
    Unregister(c);
    Unregister(c);
    EXPECT_EQ(nullptr, GetEntity(idC));
    delete a;
    delete c;
}

TEST(RandomTableTest, DrawsStartAtEntryOneAndWrapToEntryZero)
{
    std::vector<int> entries(RandomTable::SIZE);
    for (int i = 0; i < RandomTable::SIZE; ++i)
        entries[i] = (i * 7 + 3) % 32768;
    RandomTable& table = RandomTable::GetInstance();
    table.FillWith(entries);
    EXPECT_EQ(entries[1], table.Draw());
    EXPECT_EQ(entries[2], table.Draw());
    for (int n = 3; n < RandomTable::SIZE; ++n)
        table.Draw();
    // Draw number 16,384 wraps the cursor round to entry 0, then entry 1 comes again.
    EXPECT_EQ(entries[0], table.Draw());
    EXPECT_EQ(entries[1], table.Draw());
}

TEST(RandomTableTest, DerivedFormsCoverTheirWholeRange)
{
    EXPECT_EQ(20, RandomTable::UpTo(32767, 20));
    EXPECT_EQ(0, RandomTable::UpTo(0, 20));
    EXPECT_EQ(150, RandomTable::Below(32767, 151));
    EXPECT_EQ(1.0f, RandomTable::Fraction(32767));
    EXPECT_EQ(0.0f, RandomTable::Fraction(0));

    RandomTable& table = RandomTable::GetInstance();
    table.FillFromSeed(99);
    for (int i = 0; i < 2 * RandomTable::SIZE; ++i)
    {
        int e = table.Draw();
        ASSERT_GE(e, 0);
        ASSERT_LE(e, 32767);
    }
}
