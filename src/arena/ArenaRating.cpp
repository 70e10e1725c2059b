#include "arena/ArenaRating.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ai/Levels.h"

namespace
{
// Rating points per unit of natural log-odds: 400 points are a factor of ten.
const double POINTS = 400.0 / std::log(10.0);
const double Z95 = 1.96;

using Matrix = std::vector<std::vector<double>>;

double Expected(double pThetaI, double pThetaJ)
{
    return 1.0 / (1.0 + std::exp(pThetaJ - pThetaI));
}

// Solves pA x = pB in place by elimination with partial pivoting; pA becomes useless. False
// when pA is singular.
bool Solve(Matrix pA, std::vector<double>& pB)
{
    const size_t n = pB.size();
    for (size_t c = 0; c < n; ++c)
    {
        size_t pivot = c;
        for (size_t r = c + 1; r < n; ++r)
        {
            if (std::fabs(pA[r][c]) > std::fabs(pA[pivot][c]))
                pivot = r;
        }
        if (std::fabs(pA[pivot][c]) < 1e-12)
            return false;
        std::swap(pA[c], pA[pivot]);
        std::swap(pB[c], pB[pivot]);
        for (size_t r = c + 1; r < n; ++r)
        {
            const double f = pA[r][c] / pA[c][c];
            for (size_t k = c; k < n; ++k)
                pA[r][k] -= f * pA[c][k];
            pB[r] -= f * pB[c];
        }
    }
    for (size_t c = n; c-- > 0;)
    {
        for (size_t k = c + 1; k < n; ++k)
            pB[c] -= pA[c][k] * pB[k];
        pB[c] /= pA[c][c];
    }
    return true;
}

// The levels whose ratings the data bound: those that both scored against, and conceded
// to, the anchor's side, each through a chain of results.
std::vector<bool> LinkedToAnchor(const RatingResults& pResults, size_t pAnchor)
{
    const size_t n = pResults.levels.size();
    // reach[i][j]: i scored something against j, or against one that did against j.
    std::vector<std::vector<bool>> reach(n, std::vector<bool>(n, false));
    for (size_t i = 0; i < n; ++i)
    {
        reach[i][i] = true;
        for (size_t j = 0; j < n; ++j)
            reach[i][j] = reach[i][j] || (i != j && pResults.score[i][j] > 0.0);
    }
    for (size_t k = 0; k < n; ++k)
        for (size_t i = 0; i < n; ++i)
            for (size_t j = 0; j < n; ++j)
                reach[i][j] = reach[i][j] || (reach[i][k] && reach[k][j]);
    std::vector<bool> linked(n);
    for (size_t i = 0; i < n; ++i)
        linked[i] = reach[i][pAnchor] && reach[pAnchor][i];
    return linked;
}

// How many points above an opponent a side must be, at least, for a clean sweep of pGames
// matches to be no rarer than one in twenty.
double SweepMargin(double pGames)
{
    const double p = std::pow(0.05, 1.0 / pGames);
    return POINTS * std::log(p / (1.0 - p));
}
} // namespace

RatingResults GatherResults(const std::vector<ArenaOutcome>& pOutcomes)
{
    RatingResults results;
    for (const ArenaOutcome& o : pOutcomes)
    {
        for (unsigned level : {o.setup.greenLevel, o.setup.blueLevel})
        {
            if (std::find(results.levels.begin(), results.levels.end(), level) == results.levels.end())
                results.levels.push_back(level);
        }
    }
    std::sort(results.levels.begin(), results.levels.end());
    const size_t n = results.levels.size();
    results.score.assign(n, std::vector<double>(n, 0.0));
    results.games.assign(n, std::vector<double>(n, 0.0));
    auto index = [&](unsigned pLevel)
    {
        return static_cast<size_t>(std::find(results.levels.begin(), results.levels.end(), pLevel) -
                                   results.levels.begin());
    };
    for (const ArenaOutcome& o : pOutcomes)
    {
        if (o.crashed || o.setup.greenLevel == o.setup.blueLevel)
            continue;
        const size_t g = index(o.setup.greenLevel);
        const size_t b = index(o.setup.blueLevel);
        const double green = o.result.winner == WINNER_GREEN  ? 1.0
                             : o.result.winner == WINNER_BLUE ? 0.0
                                                              : 0.5;
        results.score[g][b] += green;
        results.score[b][g] += 1.0 - green;
        results.games[g][b] += 1.0;
        results.games[b][g] += 1.0;
    }
    return results;
}

RatingTable FitRatings(const RatingResults& pResults, unsigned pAnchor)
{
    const size_t n = pResults.levels.size();
    RatingTable table;
    if (n == 0)
        return table;
    size_t anchor = 0;
    for (size_t i = 0; i < n; ++i)
        anchor = pResults.levels[i] == pAnchor ? i : anchor;
    table.anchor = pResults.levels[anchor];
    table.ratings.resize(n);
    for (size_t i = 0; i < n; ++i)
    {
        table.ratings[i].level = pResults.levels[i];
        for (size_t j = 0; j < n; ++j)
        {
            table.ratings[i].games += pResults.games[i][j];
            table.ratings[i].score += pResults.score[i][j];
        }
    }

    // The fitted levels other than the anchor, by their index.
    const std::vector<bool> linked = LinkedToAnchor(pResults, anchor);
    std::vector<size_t> free;
    for (size_t i = 0; i < n; ++i)
    {
        if (linked[i] && i != anchor)
            free.push_back(i);
    }
    const size_t m = free.size();
    std::vector<double> theta(n, 0.0);
    Matrix info(m, std::vector<double>(m, 0.0));
    // Newton's method on the log-likelihood, concave in the free ratings; with every fitted
    // level linked both ways to the anchor its peak is finite and unique.
    for (int iteration = 0; iteration < 100 && m > 0; ++iteration)
    {
        std::vector<double> gradient(m, 0.0);
        for (auto& row : info)
            std::fill(row.begin(), row.end(), 0.0);
        for (size_t a = 0; a < m; ++a)
        {
            const size_t i = free[a];
            for (size_t j = 0; j < n; ++j)
            {
                if (!linked[j] || j == i || pResults.games[i][j] == 0.0)
                    continue;
                const double p = Expected(theta[i], theta[j]);
                const double w = pResults.games[i][j] * p * (1.0 - p);
                gradient[a] += pResults.score[i][j] - pResults.games[i][j] * p;
                info[a][a] += w;
                for (size_t b = 0; b < m; ++b)
                {
                    if (free[b] == j)
                        info[a][b] -= w;
                }
            }
        }
        if (!Solve(info, gradient))
            break;
        double largest = 0.0;
        for (size_t a = 0; a < m; ++a)
        {
            // A step of more than a factor of e^3 in the odds at once is cut to it.
            const double step = std::max(-3.0, std::min(3.0, gradient[a]));
            theta[free[a]] += step;
            largest = std::max(largest, std::fabs(step));
        }
        if (largest < 1e-9)
            break;
    }
    // The error bars: the inverse of the information matrix at the peak, column by column.
    for (size_t a = 0; a < m; ++a)
    {
        std::vector<double> unit(m, 0.0);
        unit[a] = 1.0;
        if (Solve(info, unit) && unit[a] > 0.0)
            table.ratings[free[a]].error = Z95 * POINTS * std::sqrt(unit[a]);
    }
    for (size_t i = 0; i < n; ++i)
    {
        LevelRating& rating = table.ratings[i];
        if (linked[i])
        {
            rating.rating = POINTS * theta[i];
            continue;
        }
        // Bounded by its sweep of the fitted levels it met: past the strongest it beat by
        // as much as a sweep of that many matches allows, or below the weakest it lost to.
        rating.kind = RATING_UNLINKED;
        for (size_t j = 0; j < n; ++j)
        {
            if (!linked[j] || pResults.games[i][j] == 0.0)
                continue;
            const bool above = pResults.score[i][j] > 0.0;
            const double bound = POINTS * theta[j] + (above ? 1.0 : -1.0) * SweepMargin(pResults.games[i][j]);
            if (rating.kind == RATING_UNLINKED || (above ? bound > rating.rating : bound < rating.rating))
                rating.rating = bound;
            rating.kind = above ? RATING_ABOVE : RATING_BELOW;
        }
    }
    return table;
}

void WriteRatings(std::ostream& pOut, const RatingTable& pTable)
{
    std::vector<LevelRating> sorted = pTable.ratings;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const LevelRating& pA, const LevelRating& pB) { return pA.rating > pB.rating; });
    char line[128];
    std::snprintf(line, sizeof line, "ratings: %s = 0, 400 points = 10:1 odds, +- the 95 %% interval\n",
                  LevelEntry(pTable.anchor).name);
    pOut << line;
    pOut << "level          rating         matches  score\n";
    for (const LevelRating& r : sorted)
    {
        char value[32];
        const long points = std::lround(r.rating);
        if (r.kind == RATING_FITTED && r.level == pTable.anchor)
            std::snprintf(value, sizeof value, "%6ld", points);
        else if (r.kind == RATING_FITTED)
            std::snprintf(value, sizeof value, "%6ld +- %-4ld", points, std::lround(r.error));
        else if (r.kind == RATING_ABOVE)
            std::snprintf(value, sizeof value, "   > %ld", points);
        else if (r.kind == RATING_BELOW)
            std::snprintf(value, sizeof value, "   < %ld", points);
        else
            std::snprintf(value, sizeof value, "%6s", "?");
        const double share = r.games > 0.0 ? 100.0 * r.score / r.games : 0.0;
        std::snprintf(line, sizeof line, "%-14s %-14s %8.0f  %5.1f %%\n", LevelEntry(r.level).name, value,
                      r.games, share);
        pOut << line;
    }
    bool bounded = false;
    for (const LevelRating& r : sorted)
        bounded = bounded || r.kind != RATING_FITTED;
    if (bounded)
        pOut << "> and <: won or lost every match against the rated levels, so no rating fits; the bound\n"
                "holds with 95 % confidence. ?: played none of them.\n";
}
