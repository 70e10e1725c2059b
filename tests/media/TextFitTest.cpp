#include <gtest/gtest.h>

#include "media/TextFit.h"

// Notices too wide for the window: every line fits, nothing is lost but the middle of a long
// path or of a very long notice, and the start and the end always show.
TEST(TextFitTest, ALongNoticeKeepsItsStartAndEndOnLinesThatFit)
{
    const TextMeasure eightEach = [](const std::string& pText)
    { return 8.0f * static_cast<float>(pText.size()); };
    const std::string path = "/home/player/" + std::string(300, 'd') + "/20261207-170655.061-3005-1.replay";
    const struct
    {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"Short notice", {"Short notice"}},
        {"Not recording: cannot create a replay here: Permission denied",
         {"Not recording: cannot", "create a replay here:", "Permission denied"}},
        {"Cannot play the replay: cannot read " + path + ": No such file or directory",
         {"Cannot play the replay:", "cannot read",
          "/home/p...-3005-1.replay:", "No such file or directory"}},
        {"one two three four five six seven eight nine ten eleven twelve thirteen fourteen fifteen sixteen "
         "seventeen eighteen",
         {"one two three four five", "six seven eight nine ten", "...", "seventeen eighteen"}},
    };
    for (const auto& c : cases)
    {
        const std::vector<std::string> lines = FitText(c.text, 200.0f, 4, eightEach);
        EXPECT_EQ(c.lines, lines) << c.text;
        for (const std::string& line : lines)
            EXPECT_LE(eightEach(line), 200.0f) << line;
    }
}
