#include "replay/ReplayReader.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ai/Levels.h"
#include "engine/DataFile.h"
#include "engine/Version.h"
#include "world/ChatText.h"
#include "world/Team.h"

namespace
{
using Tokens = std::vector<std::string>;
// The header's keys in order; a version 1 file has no rules line.
const char* const HEADER_KEYS[] = {
    "ampwarden-replay", "program", "rules", "data", "seed", "date", "green", "blue", "demo", "watched"};
const int HEADER_KEY_COUNT = 10;

Tokens Split(const std::string& pLine)
{
    Tokens tokens;
    size_t start = 0;
    while (true)
    {
        size_t space = pLine.find(' ', start);
        tokens.push_back(pLine.substr(start, space - start));
        if (space == std::string::npos)
            return tokens;
        start = space + 1;
    }
}

bool Whole(const std::string& pText, long long pMin, long long pMax, long long& pOut)
{
    if (pText.empty() || pText.size() > 12 || pText.find_first_not_of("-0123456789") != std::string::npos)
        return false;
    errno = 0;
    char* end = nullptr;
    long long value = std::strtoll(pText.c_str(), &end, 10);
    if (errno || *end || value < pMin || value > pMax)
        return false;
    pOut = value;
    return true;
}

bool Real(const std::string& pText, float& pOut)
{
    if (pText.empty() || pText.find_first_not_of("-+.0123456789e") != std::string::npos)
        return false;
    char* end = nullptr;
    float value = std::strtof(pText.c_str(), &end);
    if (*end || !std::isfinite(value))
        return false;
    pOut = value;
    return true;
}

bool Hash(const std::string& pText, uint64_t& pOut)
{
    if (pText.size() != 16 || pText.find_first_not_of("0123456789abcdef") != std::string::npos)
        return false;
    pOut = std::strtoull(pText.c_str(), nullptr, 16);
    return true;
}

// 7 to 40 hex digits, and "-modified" after them for a build of changed sources.
bool IsCommit(const std::string& pText)
{
    const std::string suffix = "-modified";
    const bool modified = pText.size() > suffix.size() &&
                          pText.compare(pText.size() - suffix.size(), suffix.size(), suffix) == 0;
    const std::string digits = pText.substr(0, pText.size() - (modified ? suffix.size() : 0));
    return digits.size() >= 7 && digits.size() <= 40 &&
           digits.find_first_not_of("0123456789abcdef") == std::string::npos;
}

int IndexOf(const char* (*pName)(int), int pCount, const std::string& pText)
{
    for (int i = 0; i < pCount; ++i)
    {
        if (pText == pName(i))
            return i;
    }
    return -1;
}

class CParser
{
  public:
    CParser(const CReplayExpect& pExpect, CReplay& pOut) : m_expect(pExpect), m_out(pOut) {}

    // Empty when the line is good, else why not.
    std::string Line(int pNumber, const std::string& pLine)
    {
        m_number = pNumber;
        if (pLine.size() > ReplayFormat::LINE_LIMIT)
            return "longer than " + std::to_string(ReplayFormat::LINE_LIMIT) + " characters";
        // Two ways an editor or a transfer changes a text file, named so that they can be undone.
        if (pNumber == 1 && pLine.compare(0, 3, "\xef\xbb\xbf") == 0)
            return "a byte-order mark before the first line (the file was saved as UTF-8 with a BOM; "
                   "remove it)";
        if (!pLine.empty() && pLine.back() == '\r')
            return "a CRLF line end (the file was converted to Windows line ends; convert it back, e.g. "
                   "with dos2unix)";
        for (char c : pLine)
        {
            if (c < ' ' || c > '~')
                return "not text";
        }
        const Tokens t = Split(pLine);
        for (const std::string& token : t)
        {
            if (token.empty())
                return "stray spaces";
        }
        if (m_key < HEADER_KEY_COUNT)
            return Header(pNumber, t);
        if (m_out.ended)
            return "a line after the end";
        if (t[0] == "cmd")
            return Command(t);
        if (t[0] == "check")
            return Check(t);
        if (t[0] == "end")
            return End(t);
        if (t[0] == "chat")
            return Chat(t);
        return "not a replay line";
    }

    // Whether the whole header has been read.
    bool HeaderDone() const { return m_key >= HEADER_KEY_COUNT; }

  private:
    std::string Header(int pNumber, const Tokens& t)
    {
        CReplayHeader& h = m_out.header;
        int at = m_key++;
        if (at == 2 && h.version < 2)
            at = m_key++; // a version 1 file names no rules: it was recorded by rules 1
        if (t[0] != HEADER_KEYS[at])
            return pNumber == 1 ? "not a replay" : std::string("expected \"") + HEADER_KEYS[at] + "\"";
        const bool side = at == 6 || at == 7;
        if (t.size() != 2 && !((side && t.size() >= 3) || (at == 2 && t.size() == 3)))
            return "a header line with the wrong number of fields";
        long long number = 0;
        switch (at)
        {
        case 0:
            if (!Whole(t[1], 0, 1000000, number))
                return "a bad format version";
            if (number < 1 || number > ReplayFormat::VERSION)
                return "format version " + t[1] + ", this program reads 1 to " +
                       std::to_string(ReplayFormat::VERSION);
            h.version = static_cast<int>(number);
            return "";
        case 1:
            h.program = t[1];
            return h.version < 2 ? Rules() : "";
        case 2:
            if (t.size() != 3 || !Whole(t[1], 1, 1000000, number))
                return "a bad rules version";
            if (t[2] != "unknown" && !IsCommit(t[2]))
                return "a bad commit";
            h.rules = static_cast<int>(number);
            h.commit = t[2] == "unknown" ? "" : t[2];
            return Rules();
        case 3:
            if (!Hash(t[1], m_scratch))
                return "a bad data fingerprint";
            h.data = t[1];
            if (!m_expect.data.empty() && h.data != m_expect.data)
                return "recorded with other data (fingerprint " + h.data + ", here " + m_expect.data + ")";
            return "";
        case 4:
            if (!Whole(t[1], 0, 4294967295ll, number))
                return "a bad seed";
            h.seed = static_cast<unsigned>(number);
            return "";
        case 5:
            if (t[1].size() > 32 || t[1].find_first_not_of("0123456789-:.+TZ") != std::string::npos)
                return "a bad date";
            h.date = t[1];
            return "";
        case 6:
        case 7:
            return Side(h.sides[at - 6], t);
        default:
            if (t[1] != "0" && t[1] != "1")
                return "a flag that is neither 0 nor 1";
            (at == 8 ? h.demo : h.watched) = t[1] == "1";
            return "";
        }
    }

    // A replay of other rules would go out of sync, so it is refused before anything is played.
    std::string Rules() const
    {
        const CReplayHeader& h = m_out.header;
        if (m_expect.rules == 0 || h.rules == m_expect.rules)
            return "";
        return "recorded with " + RecordedBy(h) + ", this build plays " + ThisBuild(m_expect.rules);
    }

    static std::string Side(CReplaySide& pSide, const Tokens& t)
    {
        long long level = 0;
        if (t.size() >= 2 && t[1] == "human")
        {
            // A name may follow, its words single-spaced.
            pSide = CReplaySide();
            for (size_t i = 2; i < t.size(); ++i)
                pSide.name += (i > 2 ? " " : "") + t[i];
            if (pSide.name.size() > ReplayFormat::NAME_LIMIT)
                return "a player's name longer than " + std::to_string(ReplayFormat::NAME_LIMIT) +
                       " characters";
        }
        else if (t.size() == 3 && t[1] == "computer" && Whole(t[2], 0, 1000, level) &&
                 (level < LEVEL_COUNT || level == ReplayFormat::DEFAULT_LEVEL))
            pSide = CReplaySide{true, static_cast<unsigned>(level), std::string()};
        else
            return "a side that is neither human nor a computer at a known level";
        return "";
    }

    std::string Step(const std::string& pText, int& pOut)
    {
        long long step = 0;
        if (!Whole(pText, 0, ReplayFormat::STEP_LIMIT, step))
            return "a bad step \"" + pText + "\"";
        pOut = static_cast<int>(step);
        return "";
    }

    std::string Command(const Tokens& t)
    {
        if (t.size() < 4)
            return "a command with too few fields";
        CMatchCommand c;
        std::string why = Step(t[1], c.step);
        if (!why.empty())
            return why;
        if (c.step < m_lastCheck || c.step < m_lastCommand || c.step < m_lastChat)
            return "a command out of step order";
        c.kind = CommandKindByName(t[2].c_str());
        c.team = IndexOf(TeamName, CTeam::MAX_TIDS, t[3]);
        if (c.kind < 0)
            return "an unknown command \"" + t[2] + "\"";
        if (c.team < 0)
            return "an unknown side \"" + t[3] + "\"";
        size_t next = 4;
        if (c.kind == CMD_BUILD)
        {
            if (t.size() < 13 || t[4] != "tool" || t[6] != "at" || t[9] != "aim")
                return "a build without its tool, place and aim";
            c.tool = IndexOf(ToolName, TOOL_NONE, t[5]);
            if (c.tool < 0)
                return "an unknown tool \"" + t[5] + "\"";
            if (!Real(t[7], c.point.x) || !Real(t[8], c.point.y) || !Real(t[10], c.aim.x) ||
                !Real(t[11], c.aim.y))
                return "a bad number in a place";
            next = 12;
        }
        if (c.kind == CMD_BUILD || c.kind == CMD_DESTROY)
        {
            long long node = 0;
            if (next + 2 != t.size() || t[next] != "node" || !Whole(t[next + 1], 0, 1000000000ll, node))
                return "a command without its node";
            c.node = static_cast<int>(node);
        }
        else if (t.size() != next)
            return "a command with too many fields";
        why = WhyNotRecordable(c);
        if (!why.empty())
            return why;
        m_lastCommand = c.step;
        m_out.commands.push_back({m_number, c});
        return "";
    }

    std::string Check(const Tokens& t)
    {
        int step = 0;
        uint64_t hash = 0;
        if (t.size() != 3)
            return "a checkpoint with the wrong number of fields";
        std::string why = Step(t[1], step);
        if (!why.empty())
            return why;
        if (!Hash(t[2], hash))
            return "a bad hash";
        if (step <= m_lastCheck || step <= m_lastCommand || step <= m_lastChat)
            return "a checkpoint out of step order";
        m_lastCheck = step;
        m_out.checks.push_back({m_number, step, hash});
        return "";
    }

    std::string End(const Tokens& t)
    {
        if (t.size() != 4)
            return "an end with the wrong number of fields";
        std::string why = Step(t[1], m_out.endStep);
        if (!why.empty())
            return why;
        if (m_out.endStep < m_lastCheck || m_out.endStep < m_lastCommand || m_out.endStep < m_lastChat)
            return "the end comes before steps named above";
        if (t[2] != "green" && t[2] != "blue" && t[2] != "tie" && t[2] != "none")
            return "an unknown winner \"" + t[2] + "\"";
        // Older end lines hash the board alone, which proves no length while it stands still;
        // the checkpoints do, one every CHECK_EVERY steps up to the end.
        if (m_out.header.version < 3 && t[2] == "none" &&
            m_out.endStep >= m_lastCheck + ReplayFormat::CHECK_EVERY)
            return "an undecided end " + std::to_string(m_out.endStep - m_lastCheck) +
                   " steps after the last checkpoint (a recording has one every " +
                   std::to_string(ReplayFormat::CHECK_EVERY) + ")";
        if (!Hash(t[3], m_out.endHash))
            return "a bad hash";
        m_out.winner = t[2];
        m_out.ended = true;
        m_out.endLine = m_number;
        return "";
    }

    // Said, not played: read for the viewer, checked only for its shape.
    std::string Chat(const Tokens& t)
    {
        CReplay::Chat chat;
        if (t.size() < 4)
            return "a chat line with too few fields";
        std::string why = Step(t[1], chat.step);
        if (!why.empty())
            return why;
        // Written at the step it was said, in order with the rest.
        if (chat.step < m_lastCheck || chat.step < m_lastCommand)
            return "a chat line out of step order";
        chat.from = ChatSenderByTag(t[2]);
        if (chat.from == 0)
            return "an unknown chat sender \"" + t[2] + "\"";
        for (size_t i = 3; i < t.size(); ++i)
            chat.text += (i > 3 ? " " : "") + t[i];
        if (chat.text.size() > Chat::MAX_BYTES)
            return "a chat line over 120 characters";
        m_lastChat = chat.step;
        m_out.chats.push_back(chat);
        return "";
    }

    const CReplayExpect& m_expect;
    CReplay& m_out;
    int m_number = 0;
    int m_key = 0;
    int m_lastCheck = 0;
    int m_lastCommand = 0;
    int m_lastChat = 0;
    uint64_t m_scratch = 0;
};
} // namespace

CReplayExpect ExpectedHere(const char* pCatalogue)
{
    return CReplayExpect{RULES_VERSION, DataFingerprint(pCatalogue)};
}

bool ParseReplay(const std::string& pText, const CReplayExpect& pExpect, CReplay& pOut, std::string& pWhy)
{
    pOut = CReplay();
    CParser parser(pExpect, pOut);
    size_t start = 0;
    int number = 0;
    while (start < pText.size())
    {
        ++number;
        const size_t newline = pText.find('\n', start);
        const bool complete = newline != std::string::npos;
        const size_t length = (complete ? newline : pText.size()) - start;
        // An unfinished last line is what a killed recorder leaves; it is dropped, unless it is
        // too long to be anything but garbage.
        if (!complete && length <= ReplayFormat::LINE_LIMIT)
            break;
        std::string why =
            parser.Line(number, pText.substr(start, std::min(length, ReplayFormat::LINE_LIMIT + 1)));
        if (!why.empty())
        {
            pWhy = "line " + std::to_string(number) + ": " + why;
            return false;
        }
        start = newline + 1;
    }
    if (!parser.HeaderDone())
    {
        const int parsed = start < pText.size() ? number - 1 : number;
        pWhy = "line " + std::to_string(parsed + 1) + ": the file ends inside the header";
        return false;
    }
    return true;
}

bool LoadReplay(const std::string& pPath, const CReplayExpect& pExpect, CReplay& pOut, std::string& pWhy)
{
    std::vector<unsigned char> bytes;
    if (!ReadDataFile(pPath.c_str(), ReplayFormat::FILE_LIMIT, bytes, pWhy))
        return false;
    return ParseReplay(std::string(bytes.begin(), bytes.end()), pExpect, pOut, pWhy);
}
