#pragma once

#include <vector>

// The game's one shared stream of random numbers: 16,384 rand() values, drawn in turn.
// The game seeds it with the time; tests and tools fill it from a seed of their choice so
// that a match unfolds the same way every run.
class RandomTable
{
  public:
    static const int SIZE = 16384;

    static RandomTable& GetInstance();

    // One entry, 0 to 32767. The first draw after filling reads entry 1.
    int Draw();

    // Derived forms of one draw.
    static int UpTo(int pE, int pN) { return (pE * (pN + 1)) >> 15; } // 0 .. N
    static int Below(int pE, int pN) { return (pE * pN) >> 15; }      // [0, n)
    static float Fraction(int pE) { return pE / 32767.0f; }           // [0, 1]

    int DrawUpTo(int pN) { return UpTo(Draw(), pN); }
    int DrawBelow(int pN) { return Below(Draw(), pN); }
    float DrawFraction() { return Fraction(Draw()); }

    void FillFromTime();
    void FillFromSeed(unsigned pSeed);
    // Exact entries for tests; the table repeats them to its full size.
    void FillWith(const std::vector<int>& pEntries);

    int GetCursor() const { return m_cursor; }

  private:
    RandomTable() = default;
    void FillFromRand();

    std::vector<int> m_entries;
    int m_cursor = 0;
};
