#include "media/TextFit.h"

namespace
{
const char ELLIPSIS[] = "...";

std::string Shortened(const std::string& pWord, size_t pKeep)
{
    // More of the end than of the start: the end names the file.
    const size_t head = pKeep / 3;
    return pWord.substr(0, head) + ELLIPSIS + pWord.substr(pWord.size() - (pKeep - head));
}

// The word's start and end around "...", as many characters of them as fit.
std::string Shorten(const std::string& pWord, float pWidth, const TextMeasure& pMeasure)
{
    size_t fits = 0;
    size_t tooMany = pWord.size();
    while (tooMany - fits > 1)
    {
        const size_t keep = (fits + tooMany) / 2;
        (pMeasure(Shortened(pWord, keep)) <= pWidth ? fits : tooMany) = keep;
    }
    return Shortened(pWord, fits);
}
} // namespace

std::vector<std::string> FitText(const std::string& pText, float pWidth, int pMaxLines,
                                 const TextMeasure& pMeasure)
{
    std::vector<std::string> lines;
    std::string line;
    size_t start = 0;
    while (start <= pText.size())
    {
        size_t space = pText.find(' ', start);
        if (space == std::string::npos)
            space = pText.size();
        std::string word = pText.substr(start, space - start);
        start = space + 1;
        if (word.empty())
            continue;
        if (pMeasure(word) > pWidth)
            word = Shorten(word, pWidth, pMeasure);
        if (!line.empty() && pMeasure(line + " " + word) <= pWidth)
        {
            line += " " + word;
            continue;
        }
        if (!line.empty())
            lines.push_back(line);
        line = word;
    }
    if (!line.empty())
        lines.push_back(line);
    const size_t most = static_cast<size_t>(pMaxLines < 3 ? 3 : pMaxLines);
    if (lines.size() > most)
    {
        lines[most - 2] = ELLIPSIS;
        lines[most - 1] = lines.back();
        lines.resize(most);
    }
    return lines;
}
