#include "ai/Candidate.h"
// PLACEHOLDER: the pool is being filled in.
CandidatePool& CandidatePool::GetInstance() { static CandidatePool* pool = new CandidatePool; return *pool; }
PosCandidate* CandidatePool::Take() { return nullptr; }
void CandidatePool::GiveBack(PosCandidate*) {}
