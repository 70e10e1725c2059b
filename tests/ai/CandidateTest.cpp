#include <vector>

#include <gtest/gtest.h>

#include "ai/AIPlayer.h"
#include "engine/GameEngine.h"
#include "world/GameWorld.h"

namespace
{

class CandidateHeapTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        CGameEngine::Instance().Configure(DisplayConfig::Default());
        World().ClearMatch();
        World().NewMatch();
        m_ai = World().GetTeam(2).GetAI();
        ASSERT_NE(m_ai, nullptr);
        m_ai->ClearCandidates();
    }
    void TearDown() override { World().ClearMatch(); }

    static CGameWorld& World() { return TheWorld(); }

    // Pushes records labelled 0, 1, 2, ... (the label rides in hits) with the given scores.
    void Push(const std::vector<float>& pScores)
    {
        for (float score : pScores)
        {
            PosCandidate* record = CandidatePool::GetInstance().Take();
            record->node = nullptr;
            record->pos = CVector2(static_cast<float>(m_pushed), 0.0f);
            record->score = score;
            record->hits = m_pushed++;
            m_ai->AddCandidate(record);
        }
    }

    // Labels in pop order.
    std::vector<int> PopAll()
    {
        std::vector<int> order;
        while (PosCandidate* record = m_ai->PopBest())
            order.push_back(record->hits);
        return order;
    }

    CAIPlayer* m_ai = nullptr;
    int m_pushed = 0;
};

TEST(CandidatePoolTest, ReusesTheLastRecordGivenBackAsLeftAndIgnoresNull)
{
    CandidatePool& pool = CandidatePool::GetInstance();
    std::vector<PosCandidate*> drained; // so that the next take has to make a record
    while (pool.GetFreeCount() > 0)
        drained.push_back(pool.Take());
    const std::size_t made = pool.GetMadeCount();
    PosCandidate* fresh = pool.Take();
    EXPECT_EQ(pool.GetMadeCount(), made + 1);
    EXPECT_TRUE(fresh->node == nullptr && fresh->pos == CVector2() && fresh->score == 0.0f &&
                fresh->hits == 0);

    PosCandidate* other = pool.Take();
    fresh->hits = 3;
    pool.GiveBack(other);
    pool.GiveBack(fresh);
    pool.GiveBack(nullptr);
    EXPECT_EQ(pool.GetFreeCount(), 2u);
    EXPECT_EQ(pool.Take(), fresh);
    EXPECT_EQ(fresh->hits, 3);
    EXPECT_EQ(pool.Take(), other);
    EXPECT_EQ(pool.GetMadeCount(), made + 2);
    drained.push_back(fresh);
    drained.push_back(other);
    for (PosCandidate* record : drained)
        pool.GiveBack(record);
}

TEST_F(CandidateHeapTest, EqualScoresPopInTheOrderTheHoleDescentGives)
{
    // The hole pulls up the right child on a tie, so the third record beats the second.
    Push({1.0f, 1.0f, 1.0f, 1.0f});
    EXPECT_EQ(PopAll(), (std::vector<int>{0, 2, 1, 3}));
    m_pushed = 0;
    Push({2.0f, 1.0f, 3.0f, 1.0f, 2.0f});
    EXPECT_EQ(PopAll(), (std::vector<int>{1, 3, 0, 4, 2}));
    EXPECT_EQ(m_ai->PopBest(), nullptr);
    EXPECT_DEATH(m_ai->AddCandidate(nullptr), "pPosCand");
}

TEST_F(CandidateHeapTest, PopsNeverDecreaseAndClearingReturnsEveryRecord)
{
    m_ai->m_candidatePoints.clear();
    std::vector<float> scores;
    for (int i = 0; i < 200; ++i)
        scores.push_back(static_cast<float>((i * 37) % 11));
    Push(scores);
    ASSERT_EQ(m_ai->m_candidatePoints.size(), 200u);
    EXPECT_EQ(m_ai->m_candidatePoints[7], CVector2(7.0f, 0.0f));
    float last = 0.0f;
    for (int i = 0; i < 150; ++i)
    {
        PosCandidate* record = m_ai->PopBest();
        EXPECT_GE(record->score, last);
        last = record->score;
    }
    // Popped or not, every record goes back; the overlay keeps its points.
    const std::size_t freeBefore = CandidatePool::GetInstance().GetFreeCount();
    m_ai->ClearCandidates();
    EXPECT_TRUE(m_ai->m_candidates.empty() && m_ai->m_candidateHeap.empty());
    EXPECT_EQ(m_ai->m_candidatePoints.size(), 200u);
    EXPECT_EQ(CandidatePool::GetInstance().GetFreeCount(), freeBefore + 200);
}

} // namespace
