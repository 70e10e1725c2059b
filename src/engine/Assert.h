#pragma once

// Programming errors end the program with the failed condition, the source file and the line.
// These checks stay on in every build.
[[noreturn]] void AssertFailed(const char* pCondition, const char* pFile, int pLine);

#define AW_ASSERT(cond) ((cond) ? (void)0 : AssertFailed(#cond, __FILE__, __LINE__))
