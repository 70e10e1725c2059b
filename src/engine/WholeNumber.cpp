#include "engine/WholeNumber.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

bool ParseWholeNumber(const char* pText, long long pMin, long long pMax, long long& pOut)
{
    if (!pText || !*pText || !(std::isdigit(static_cast<unsigned char>(*pText)) || *pText == '-'))
        return false;
    errno = 0;
    char* end = nullptr;
    long long value = std::strtoll(pText, &end, 10);
    if (errno != 0 || *end != '\0' || value < pMin || value > pMax)
        return false;
    pOut = value;
    return true;
}
