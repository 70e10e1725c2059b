#include "engine/XmlDepth.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace
{
// The parser takes any byte above ASCII as a letter.
bool IsNameStart(unsigned char pChar)
{
    return pChar >= 127 || std::isalpha(pChar) || pChar == '_';
}

const char* SkipPast(const char* pText, const char* pEnd)
{
    const char* found = std::strstr(pText, pEnd);
    return found ? found + std::strlen(pEnd) : nullptr;
}

// From just after an element's name to just past its tag. A quote right after '=' opens a
// value that may hold '>' or "/>"; pEmpty tells a tag closed with "/>".
const char* SkipTag(const char* pText, bool& pEmpty)
{
    pEmpty = false;
    const char* p = pText;
    while (*p)
    {
        if (*p == '>')
            return p + 1;
        if (p[0] == '/' && p[1] == '>')
        {
            pEmpty = true;
            return p + 2;
        }
        if (*p++ != '=')
            continue;
        while (std::isspace(static_cast<unsigned char>(*p)))
            ++p;
        if (*p == '"' || *p == '\'')
        {
            const char* close = std::strchr(p + 1, *p);
            if (!close)
                return nullptr;
            p = close + 1;
        }
    }
    return nullptr;
}
} // namespace

int MaxElementDepth(const char* pText)
{
    int depth = 0;
    int deepest = 0;
    const char* p = pText;
    while (p && *p)
    {
        if (*p != '<')
            ++p;
        else if (std::strncmp(p, "<!--", 4) == 0)
            p = SkipPast(p + 4, "-->");
        else if (std::strncmp(p, "<![CDATA[", 9) == 0)
            p = SkipPast(p + 9, "]]>");
        else if (p[1] == '/')
        {
            // Outside every element the parser skips an end tag like any unknown markup.
            depth = std::max(0, depth - 1);
            p = SkipPast(p + 2, ">");
        }
        else if (IsNameStart(static_cast<unsigned char>(p[1])))
        {
            // Every element costs the parser a level, also one that closes itself.
            deepest = std::max(deepest, depth + 1);
            bool empty = false;
            p = SkipTag(p + 1, empty);
            if (!empty)
                ++depth;
        }
        else
        {
            // Declarations and everything else the parser does not know end at the first '>'
            // (reading a declaration's quoted values could only count fewer).
            p = SkipPast(p + 1, ">");
        }
    }
    return deepest;
}
