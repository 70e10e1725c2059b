#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// The words a network session's lines are made of, shared by its phases' sources.
namespace NetSessionText
{
inline const char* SideName(int pTeam)
{
    return pTeam == 1 ? "green" : "blue";
}

inline std::string Capitalised(const char* pName)
{
    std::string name = pName;
    name[0] = static_cast<char>(name[0] - 'a' + 'A');
    return name;
}

// "1:30"
inline std::string MinutesAndSeconds(uint32_t pMs)
{
    const uint32_t seconds = (pMs + 999) / 1000;
    char text[16];
    std::snprintf(text, sizeof text, "%u:%02u", seconds / 60, seconds % 60);
    return text;
}
} // namespace NetSessionText
