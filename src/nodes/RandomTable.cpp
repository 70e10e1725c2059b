#include "nodes/RandomTable.h"

#include "engine/Assert.h"

#include <cstdlib>
#include <ctime>

RandomTable& RandomTable::GetInstance()
{
    static RandomTable* table = new RandomTable;
    return *table;
}

int RandomTable::Draw()
{
    if (m_entries.empty())
        FillFromTime();
    m_cursor = (m_cursor + 1) % SIZE;
    return m_entries[m_cursor];
}

void RandomTable::FillFromTime()
{
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    FillFromRand();
}

void RandomTable::FillFromSeed(unsigned pSeed)
{
    std::srand(pSeed);
    FillFromRand();
}

void RandomTable::FillFromRand()
{
    m_entries.assign(SIZE, 0);
    for (int i = 0; i < SIZE; ++i)
        m_entries[i] = std::rand() % 32768; // glibc's rand() is wider than 15 bits
    m_cursor = 0;
}

void RandomTable::FillWith(const std::vector<int>& pEntries)
{
    AW_ASSERT(!pEntries.empty());
    m_entries.assign(SIZE, 0);
    for (int i = 0; i < SIZE; ++i)
        m_entries[i] = pEntries[i % pEntries.size()];
    m_cursor = 0;
}
