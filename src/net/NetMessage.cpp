#include "net/NetMessage.h"

#include <cmath>
#include <cstring>

#include "world/Team.h"

namespace
{
// The board's size: a click off the board is never a command.
const float BOARD_WIDTH = 945.0f;
const float BOARD_HEIGHT = 630.0f;
const uint8_t MAGIC[4] = {'A', 'W', 'N', 'P'};

class CWriter
{
  public:
    void U8(unsigned pValue) { m_bytes.push_back(static_cast<uint8_t>(pValue)); }
    void U32(uint32_t pValue)
    {
        for (int i = 0; i < 4; ++i)
            U8((pValue >> (8 * i)) & 0xFF);
    }
    void U64(uint64_t pValue)
    {
        U32(static_cast<uint32_t>(pValue));
        U32(static_cast<uint32_t>(pValue >> 32));
    }
    void F32(float pValue)
    {
        uint32_t bits = 0;
        std::memcpy(&bits, &pValue, sizeof bits);
        U32(bits);
    }
    void Text(const std::string& pText)
    {
        const size_t n = pText.size() < Net::MAX_TEXT_BYTES ? pText.size() : Net::MAX_TEXT_BYTES;
        U8(static_cast<unsigned>(n));
        m_bytes.insert(m_bytes.end(), pText.begin(), pText.begin() + static_cast<long>(n));
    }
    // A chat line, longer than the other texts.
    void LongText(const std::string& pText)
    {
        const size_t n = pText.size() < Net::MAX_CHAT_BYTES ? pText.size() : Net::MAX_CHAT_BYTES;
        U8(static_cast<unsigned>(n));
        m_bytes.insert(m_bytes.end(), pText.begin(), pText.begin() + static_cast<long>(n));
    }
    std::vector<uint8_t> m_bytes;
};

// Every read is checked against the end; after the first failure every read yields 0.
class CReader
{
  public:
    CReader(const uint8_t* pData, size_t pSize) : m_data(pData), m_left(pSize) {}
    bool Ok() const { return m_ok; }
    bool AtEnd() const { return m_left == 0; }
    uint32_t U8()
    {
        if (!Need(1))
            return 0;
        --m_left;
        return *m_data++;
    }
    uint32_t U32()
    {
        if (!Need(4))
            return 0;
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value |= static_cast<uint32_t>(m_data[i]) << (8 * i);
        m_data += 4;
        m_left -= 4;
        return value;
    }
    uint64_t U64()
    {
        const uint64_t low = U32();
        return low | (static_cast<uint64_t>(U32()) << 32);
    }
    float F32()
    {
        const uint32_t bits = U32();
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    std::string Text(size_t pLimit = Net::MAX_TEXT_BYTES)
    {
        const uint32_t n = U8();
        if (n > pLimit || !Need(n))
            return Fail(), std::string();
        std::string text(reinterpret_cast<const char*>(m_data), n);
        m_data += n;
        m_left -= n;
        return text;
    }
    std::string LongText() { return Text(Net::MAX_CHAT_BYTES); }
    void Fail() { m_ok = false; }

  private:
    bool Need(size_t pBytes)
    {
        if (m_ok && m_left >= pBytes)
            return true;
        m_ok = false;
        return false;
    }
    const uint8_t* m_data;
    size_t m_left;
    bool m_ok = true;
};

bool InRange(int64_t pValue, int64_t pMin, int64_t pMax)
{
    return pValue >= pMin && pValue <= pMax;
}

bool OnBoard(const CVector2& pPoint)
{
    return std::isfinite(pPoint.x) && std::isfinite(pPoint.y) && pPoint.x >= 0.0f &&
           pPoint.x <= BOARD_WIDTH && pPoint.y >= 0.0f && pPoint.y <= BOARD_HEIGHT;
}

bool IsPrintable(const std::string& pText)
{
    for (char c : pText)
    {
        if (c < 0x20 || c > 0x7E)
            return false;
    }
    return true;
}

void WriteCommand(CWriter& pOut, const CMatchCommand& pCommand)
{
    pOut.U32(static_cast<uint32_t>(pCommand.step));
    pOut.U8(static_cast<unsigned>(pCommand.kind));
    pOut.U8(static_cast<unsigned>(pCommand.team));
    pOut.U8(static_cast<unsigned>(pCommand.tool));
    pOut.F32(pCommand.point.x);
    pOut.F32(pCommand.point.y);
    pOut.F32(pCommand.aim.x);
    pOut.F32(pCommand.aim.y);
    pOut.U32(static_cast<uint32_t>(pCommand.node));
}

// Only builds travel: the debug keys are off in network matches.
bool ReadCommand(CReader& pIn, int pThrough, int pSpan, CMatchCommand& pCommand)
{
    const int64_t step = pIn.U32();
    pCommand.kind = static_cast<int>(pIn.U8());
    pCommand.team = static_cast<int>(pIn.U8());
    pCommand.tool = static_cast<int>(pIn.U8());
    pCommand.point.x = pIn.F32();
    pCommand.point.y = pIn.F32();
    pCommand.aim.x = pIn.F32();
    pCommand.aim.y = pIn.F32();
    const int64_t node = pIn.U32();
    if (!pIn.Ok() || !InRange(step, pThrough - pSpan + 1, pThrough) || pCommand.kind != CMD_BUILD ||
        !InRange(pCommand.team, 1, 2) || !InRange(pCommand.tool, TOOL_EXTENDER, TOOL_ABSORBER) ||
        !OnBoard(pCommand.point) || !OnBoard(pCommand.aim) || !InRange(node, 1, Net::MAX_NODE_ID))
        return false;
    pCommand.step = static_cast<int>(step);
    pCommand.node = static_cast<int>(node);
    return true;
}

bool Refuse(std::string& pWhy, const char* pReason)
{
    pWhy = pReason;
    return false;
}
} // namespace

std::vector<uint8_t> EncodeNetMessage(const CNetMessage& pMessage)
{
    CWriter out;
    out.U8(static_cast<unsigned>(pMessage.type));
    switch (pMessage.type)
    {
    case NET_HELLO:
        // The hello's layout never changes, so that any two versions can tell they differ.
        for (uint8_t b : MAGIC)
            out.U8(b);
        out.U32(static_cast<uint32_t>(pMessage.protocol));
        out.Text(pMessage.version);
        out.Text(pMessage.fingerprint);
        // The rules travel from protocol 3 on; older greetings end at the fingerprint.
        if (pMessage.protocol >= 3)
            out.U32(static_cast<uint32_t>(pMessage.rules));
        // From protocol 4 on the player's name (empty when not given) and the seat a returning
        // side offers (0 for none) follow, always both, so that the layout reads one way.
        if (pMessage.protocol >= 4)
        {
            out.Text(pMessage.name);
            out.U64(pMessage.seat);
        }
        break;
    case NET_PING:
    case NET_PONG:
        out.U32(pMessage.token);
        break;
    case NET_START:
        out.U32(pMessage.seed);
        out.U8(static_cast<unsigned>(pMessage.delay));
        out.U64(static_cast<uint64_t>(pMessage.date));
        out.U64(pMessage.seat);
        break;
    case NET_CATCH_UP:
        out.U32(pMessage.seed);
        out.U8(static_cast<unsigned>(pMessage.delay));
        out.U64(static_cast<uint64_t>(pMessage.date));
        out.U32(static_cast<uint32_t>(pMessage.step));
        out.U32(static_cast<uint32_t>(pMessage.hostThrough));
        out.U32(static_cast<uint32_t>(pMessage.joinerThrough));
        out.U64(pMessage.hash);
        out.U32(static_cast<uint32_t>(pMessage.count));
        break;
    case NET_HISTORY:
        out.U8(static_cast<unsigned>(pMessage.commands.size()));
        for (const CMatchCommand& command : pMessage.commands)
            WriteCommand(out, command);
        break;
    case NET_READY:
        out.U32(static_cast<uint32_t>(pMessage.step));
        out.U64(pMessage.hash);
        break;
    case NET_TURN:
        out.U32(static_cast<uint32_t>(pMessage.through));
        out.U8(static_cast<unsigned>(pMessage.span));
        out.U8(static_cast<unsigned>(pMessage.commands.size()));
        for (const CMatchCommand& command : pMessage.commands)
            WriteCommand(out, command);
        break;
    case NET_HASH:
        out.U32(static_cast<uint32_t>(pMessage.step));
        out.U64(pMessage.hash);
        break;
    case NET_PAUSE:
        out.U8(pMessage.paused ? 1 : 0);
        break;
    case NET_BYE:
        out.U8(static_cast<unsigned>(pMessage.reason));
        out.U32(static_cast<uint32_t>(pMessage.lastStep + 1));
        out.U8(static_cast<unsigned>(pMessage.from));
        break;
    case NET_CHAT:
        out.U32(static_cast<uint32_t>(pMessage.step));
        out.U8(static_cast<unsigned>(pMessage.from));
        out.LongText(pMessage.text);
        break;
    case NET_WATCH:
        out.U8(static_cast<unsigned>(pMessage.from));
        out.Text(pMessage.greenName);
        out.Text(pMessage.blueName);
        out.U8(pMessage.paused ? 1 : 0);
        break;
    default:
        break;
    }
    return out.m_bytes;
}

bool DecodeNetMessage(const uint8_t* pData, size_t pSize, CNetMessage& pOut, std::string& pWhy)
{
    if (!pData || pSize == 0)
        return Refuse(pWhy, "an empty message");
    if (pSize > Net::MAX_MESSAGE_BYTES)
        return Refuse(pWhy, "an oversized message");
    CReader in(pData, pSize);
    CNetMessage message;
    message.type = static_cast<int>(in.U8());
    switch (message.type)
    {
    case NET_HELLO:
        for (uint8_t b : MAGIC)
        {
            if (in.U8() != b)
                return Refuse(pWhy, "a greeting from something other than this game");
        }
        message.protocol = static_cast<int>(in.U32());
        message.version = in.Text();
        message.fingerprint = in.Text();
        if (message.protocol >= 3)
        {
            const int64_t rules = in.U32();
            if (in.Ok() && !InRange(rules, 1, 1000000))
                return Refuse(pWhy, "a greeting with rules out of range");
            message.rules = static_cast<int>(rules);
        }
        if (message.protocol >= 4)
        {
            message.name = in.Text();
            message.seat = in.U64();
        }
        if (in.Ok() && (!IsPrintable(message.version) || !IsPrintable(message.fingerprint) ||
                        !IsPrintable(message.name)))
            return Refuse(pWhy, "unprintable text in the greeting");
        if (in.Ok() && message.name.size() > Net::MAX_NAME_BYTES)
            return Refuse(pWhy, "a name in the greeting longer than 16 characters");
        break;
    case NET_PING:
    case NET_PONG:
        message.token = in.U32();
        break;
    case NET_START:
        message.seed = in.U32();
        message.delay = static_cast<int>(in.U8());
        message.date = static_cast<int64_t>(in.U64());
        message.seat = in.U64();
        if (in.Ok() && (!InRange(message.delay, 1, Net::MAX_DELAY) || message.date < 0))
            return Refuse(pWhy, "a start with values out of range");
        break;
    case NET_CATCH_UP:
    {
        message.seed = in.U32();
        message.delay = static_cast<int>(in.U8());
        message.date = static_cast<int64_t>(in.U64());
        const int64_t step = in.U32();
        const int64_t hostThrough = in.U32();
        const int64_t joinerThrough = in.U32();
        message.hash = in.U64();
        const int64_t count = in.U32();
        // Each side has closed at least every step run, and at most its delay beyond them.
        if (in.Ok() &&
            (!InRange(message.delay, 1, Net::MAX_DELAY) || message.date < 0 ||
             !InRange(step, 0, Net::MAX_STEP) || !InRange(hostThrough, step - 1, step + 3 * Net::MAX_DELAY) ||
             !InRange(joinerThrough, step - 1, step + 3 * Net::MAX_DELAY) ||
             !InRange(count, 0, Net::MAX_CATCH_UP_COMMANDS)))
            return Refuse(pWhy, "a catch-up with values out of range");
        message.step = static_cast<int>(step);
        message.hostThrough = static_cast<int>(hostThrough);
        message.joinerThrough = static_cast<int>(joinerThrough);
        message.count = static_cast<int>(count);
        break;
    }
    case NET_HISTORY:
    {
        const uint32_t count = in.U8();
        if (!in.Ok() || count == 0 || count > Net::MAX_HISTORY_COMMANDS)
            return Refuse(pWhy, "a history with values out of range");
        message.commands.resize(count);
        for (CMatchCommand& command : message.commands)
        {
            if (!ReadCommand(in, Net::MAX_STEP, Net::MAX_STEP, command))
                return Refuse(pWhy, in.Ok() ? "a command with values out of range" : "a truncated message");
        }
        break;
    }
    case NET_READY:
    {
        const int64_t step = in.U32();
        message.hash = in.U64();
        if (in.Ok() && !InRange(step, 0, Net::MAX_STEP))
            return Refuse(pWhy, "a ready for a step out of range");
        message.step = static_cast<int>(step);
        break;
    }
    case NET_TURN:
    {
        const int64_t through = in.U32();
        const int span = static_cast<int>(in.U8());
        const uint32_t count = in.U8();
        if (!in.Ok() || !InRange(through, 0, Net::MAX_STEP) || !InRange(span, 1, Net::MAX_TURN_SPAN) ||
            span > through || count > Net::MAX_TURN_COMMANDS)
            return Refuse(pWhy, "a turn with values out of range");
        message.through = static_cast<int>(through);
        message.span = span;
        message.commands.resize(count);
        for (CMatchCommand& command : message.commands)
        {
            if (!ReadCommand(in, message.through, message.span, command))
                return Refuse(pWhy, in.Ok() ? "a command with values out of range" : "a truncated message");
        }
        break;
    }
    case NET_HASH:
    {
        const int64_t step = in.U32();
        message.hash = in.U64();
        if (in.Ok() && !InRange(step, 0, Net::MAX_STEP))
            return Refuse(pWhy, "a hash for a step out of range");
        message.step = static_cast<int>(step);
        break;
    }
    case NET_PAUSE:
    {
        const uint32_t flag = in.U8();
        if (in.Ok() && flag > 1)
            return Refuse(pWhy, "a pause flag out of range");
        message.paused = flag == 1;
        break;
    }
    case NET_BYE:
    {
        message.reason = static_cast<int>(in.U8());
        const int64_t last = static_cast<int64_t>(in.U32()) - 1;
        if (in.Ok() && message.reason >= BYE_REASON_COUNT)
            return Refuse(pWhy, "a farewell with an unknown reason");
        if (in.Ok() && !InRange(last, -1, Net::MAX_STEP))
            return Refuse(pWhy, "a farewell for a step out of range");
        message.lastStep = static_cast<int>(last);
        message.from = static_cast<int>(in.U8());
        if (in.Ok() && message.from > 2)
            return Refuse(pWhy, "a farewell naming no side");
        break;
    }
    case NET_CHAT:
    {
        const int64_t step = in.U32();
        message.from = static_cast<int>(in.U8());
        message.text = in.LongText();
        if (in.Ok() && (!InRange(step, 0, Net::MAX_STEP) ||
                        !InRange(message.from, 1, Net::CHAT_FROM_OBSERVER + Net::MAX_OBSERVERS - 1)))
            return Refuse(pWhy, "a chat line with values out of range");
        if (in.Ok() && (message.text.empty() || !IsPrintable(message.text)))
            return Refuse(pWhy, "a chat line empty or unprintable");
        message.step = static_cast<int>(step);
        break;
    }
    case NET_WATCH:
    {
        message.from = static_cast<int>(in.U8());
        message.greenName = in.Text();
        message.blueName = in.Text();
        const uint32_t flag = in.U8();
        if (in.Ok() && (!InRange(message.from, 1, Net::MAX_OBSERVERS) || flag > 1 ||
                        message.greenName.size() > Net::MAX_NAME_BYTES ||
                        message.blueName.size() > Net::MAX_NAME_BYTES || !IsPrintable(message.greenName) ||
                        !IsPrintable(message.blueName)))
            return Refuse(pWhy, "a watch with values out of range");
        message.paused = flag == 1;
        break;
    }
    default:
        return Refuse(pWhy, "a message of unknown type");
    }
    if (!in.Ok())
        return Refuse(pWhy, "a truncated message");
    if (!in.AtEnd())
        return Refuse(pWhy, "a message with bytes left over");
    pOut = message;
    return true;
}

std::string PrintableText(const std::string& pText)
{
    std::string out;
    for (char c : pText)
    {
        if (out.size() >= Net::MAX_TEXT_BYTES)
            break;
        out += (c >= 0x20 && c <= 0x7E) ? c : '?';
    }
    return out;
}
