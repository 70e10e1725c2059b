#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "arena/ArenaRating.h"

namespace
{
// Matches between levels: green level, blue level, green's wins, blue's wins, undecided.
struct Played
{
    unsigned green, blue;
    int greenWins, blueWins, undecided;
};

std::vector<ArenaOutcome> Outcomes(const std::vector<Played>& pPlayed)
{
    std::vector<ArenaOutcome> outcomes;
    for (const Played& p : pPlayed)
    {
        const int counts[3] = {p.greenWins, p.blueWins, p.undecided};
        const int winners[3] = {WINNER_GREEN, WINNER_BLUE, WINNER_NONE};
        for (int k = 0; k < 3; ++k)
        {
            ArenaOutcome o;
            o.setup.greenLevel = p.green;
            o.setup.blueLevel = p.blue;
            o.result.winner = winners[k];
            outcomes.insert(outcomes.end(), counts[k], o);
        }
    }
    return outcomes;
}

const LevelRating& Of(const RatingTable& pTable, unsigned pLevel)
{
    return *std::find_if(pTable.ratings.begin(), pTable.ratings.end(),
                         [&](const LevelRating& pR) { return pR.level == pLevel; });
}

// Worked by hand: 400 points are a factor of ten in the odds, so a score of p against one
// opponent puts a side 400 log10(p / (1 - p)) above it; the error bar is 1.96 standard
// errors, 1 / sqrt(n p (1 - p)) in natural log-odds, 400 / ln 10 points each.
TEST(ArenaRatingTest, FitsHandWorkedCasesAndBoundsSweeps)
{
    // 3 of 4 (undecided as half, colours pooled): 400 log10 3 = 190.85, +- 1.96 * 173.72 / sqrt(0.75).
    RatingTable two = FitRatings(GatherResults(Outcomes({{0, 1, 0, 1, 1}, {1, 0, 1, 0, 1}})), 0);
    EXPECT_NEAR(190.85, Of(two, 1).rating, 0.01);
    EXPECT_NEAR(393.2, Of(two, 1).error, 0.1);
    EXPECT_EQ(0.0, Of(two, 0).rating);
    EXPECT_EQ(RATING_FITTED, Of(two, 1).kind);

    // 76 % is the known step of about 200 points.
    RatingTable step = FitRatings(GatherResults(Outcomes({{0, 2, 24, 76, 0}})), 0);
    EXPECT_NEAR(200.2, Of(step, 2).rating, 0.1);

    // A chain and a balanced cycle: 0 and 1 even, 2 scores 3 of 4 against 1; each of 3, 4
    // and 5 beats the next 2 to 1, which leaves them level.
    RatingTable chain = FitRatings(GatherResults(Outcomes({{0, 1, 1, 1, 0},
                                                           {2, 1, 3, 1, 0},
                                                           {3, 4, 2, 1, 0},
                                                           {4, 5, 2, 1, 0},
                                                           {5, 3, 2, 1, 0},
                                                           {3, 0, 1, 1, 0}})),
                                   0);
    EXPECT_NEAR(0.0, Of(chain, 1).rating, 1e-6);
    EXPECT_NEAR(190.85, Of(chain, 2).rating, 0.01);
    for (unsigned level : {3u, 4u, 5u})
        EXPECT_NEAR(0.0, Of(chain, level).rating, 1e-6) << level;

    // A clean sweep has no finite fit: 10 of 10 gives a bound where ten straight wins are a
    // one-in-twenty chance, 400 log10(p / (1 - p)) with p = 0.05^(1/10), 182.7 points.
    RatingTable sweep =
        FitRatings(GatherResults(Outcomes({{0, 1, 5, 5, 0}, {2, 0, 10, 0, 0}, {3, 1, 0, 4, 0}})), 0);
    EXPECT_EQ(RATING_ABOVE, Of(sweep, 2).kind);
    EXPECT_NEAR(182.7, Of(sweep, 2).rating, 0.1);
    EXPECT_EQ(RATING_BELOW, Of(sweep, 3).kind);
    EXPECT_EQ(RATING_FITTED, Of(sweep, 1).kind);
    std::ostringstream text;
    WriteRatings(text, sweep);
    EXPECT_NE(std::string::npos, text.str().find("> 183")) << text.str();
    EXPECT_NE(std::string::npos, text.str().find("Very Easy = 0")) << text.str();
}

} // namespace
