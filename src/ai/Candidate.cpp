#include "ai/Candidate.h"

CandidatePool& CandidatePool::GetInstance()
{
    // Never destroyed: searches may still hand records back while the program exits.
    static CandidatePool* pool = new CandidatePool;
    return *pool;
}

PosCandidate* CandidatePool::Take()
{
    if (!m_free.empty())
    {
        PosCandidate* record = m_free.back();
        m_free.pop_back();
        return record;
    }
    PosCandidate* record = new PosCandidate();
    m_all.push_back(record);
    return record;
}

void CandidatePool::GiveBack(PosCandidate* pRecord)
{
    if (pRecord)
        m_free.push_back(pRecord);
}
