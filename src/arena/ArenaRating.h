#pragma once

#include <ostream>
#include <vector>

#include "arena/Tournament.h"

// Ratings on the scale players know: a side rated 400 points above another is expected to
// score ten times what that one does (10:1 odds, about 91 %), 200 points above about 76 %.
// They are the maximum-likelihood fit of every match between two different levels (an
// undecided match or a tie counts half to each side), with one level held at 0.

// The results between levels in the order given: score[i][j] is what level i scored against
// level j (wins plus half the undecided matches), games[i][j] how many they played, in
// either colour.
struct RatingResults
{
    std::vector<unsigned> levels;
    std::vector<std::vector<double>> score;
    std::vector<std::vector<double>> games;
};

enum RatingKind
{
    RATING_FITTED = 0,   // rating and its error bar
    RATING_ABOVE = 1,    // won everything against the fitted levels: rating is a lower bound
    RATING_BELOW = 2,    // scored nothing against them: rating is an upper bound
    RATING_UNLINKED = 3, // played none of the fitted levels
};

struct LevelRating
{
    unsigned level = 0;
    int kind = RATING_FITTED;
    double rating = 0.0;
    // Half the width of the 95 % interval (1.96 standard errors), from the curvature of the
    // likelihood at its peak; 0 for the anchor.
    double error = 0.0;
    double games = 0.0;
    double score = 0.0;
};

struct RatingTable
{
    unsigned anchor = 0;
    std::vector<LevelRating> ratings; // in the order of RatingResults::levels
};

// Every level that played as either colour, Very Easy first if it is there.
RatingResults GatherResults(const std::vector<ArenaOutcome>& pOutcomes);

// The fit, anchored at pAnchor (held at 0; the first level when pAnchor did not play).
// Levels whose results leave their rating unbounded (one that won, or lost, every match
// against the others) get a 95 % bound instead of a rating.
RatingTable FitRatings(const RatingResults& pResults, unsigned pAnchor);

// The ratings, strongest first, as the arena prints them under the win table.
void WriteRatings(std::ostream& pOut, const RatingTable& pTable);
