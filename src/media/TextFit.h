#pragma once

#include <functional>
#include <string>
#include <vector>

// How wide a text is drawn, in pixels.
using TextMeasure = std::function<float(const std::string&)>;

// A text set in lines of at most pWidth: broken at spaces, a word too wide for a line (a long
// path) shortened in its middle to "start...end". Beyond pMaxLines (at least 3) the lines
// between the first ones and the last give way to one "...", so that the start and the end of
// what is said both show.
std::vector<std::string> FitText(const std::string& pText, float pWidth, int pMaxLines,
                                 const TextMeasure& pMeasure);
