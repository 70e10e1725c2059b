#pragma once

// A whole number in [pMin, pMax] written in decimal, nothing else; false otherwise.
bool ParseWholeNumber(const char* pText, long long pMin, long long pMax, long long& pOut);
