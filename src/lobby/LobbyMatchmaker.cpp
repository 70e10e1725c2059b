#include "lobby/LobbyMatchmaker.h"

namespace
{
// What is shown of a host's reason: a line, not a page.
const size_t MAX_WHY_BYTES = 100;
} // namespace

bool CanJoinAd(const CLobbyMatchAd& pAd, const std::string& pProgram, const std::string& pRules,
               std::string& pWhy)
{
    if (pAd.program != pProgram)
        return pWhy = "plays program version " + pAd.program + "; this is " + pProgram, false;
    if (pAd.rules != pRules)
        return pWhy = "plays other rules (" + pAd.rules + "; these are " + pRules + ")", false;
    pWhy.clear();
    return true;
}

std::string WaitingText(int64_t pSince, int64_t pNow)
{
    const int64_t seconds = pNow - pSince;
    if (seconds < 10)
        return "just now";
    if (seconds < 60)
        return std::to_string(seconds) + " s";
    if (seconds < 3600)
        return std::to_string(seconds / 60) + " min";
    const int64_t hours = seconds / 3600;
    if (hours >= 48)
        return std::to_string(hours / 24) + " days";
    const int64_t minutes = seconds % 3600 / 60;
    return std::to_string(hours) + " h" + (minutes ? " " + std::to_string(minutes) + " min" : "");
}

CLobbyMatchmaker::CLobbyMatchmaker(CLobbyClient& pClient, const std::string& pProgram,
                                   const std::string& pRules)
    : m_client(pClient), m_program(pProgram), m_rules(pRules)
{
}

void CLobbyMatchmaker::Host(uint16_t pGamePort, int64_t pNow)
{
    m_hosting = true;
    m_started = false;
    m_gamePort = pGamePort;
    CLobbyMatchAd ad;
    ad.program = m_program;
    ad.rules = m_rules;
    ad.since = pNow;
    m_client.Advertise(ad);
}

void CLobbyMatchmaker::Started()
{
    if (!m_hosting || m_started)
        return;
    m_started = true;
    m_client.Withdraw();
}

void CLobbyMatchmaker::StopHosting()
{
    if (m_hosting && !m_started)
        m_client.Withdraw();
    m_hosting = false;
    m_started = false;
}

CLobbyJoin HostAnswer(const CLobbyJoin& pAsk, bool pStarted, const std::string& pProgram,
                      const std::string& pRules, const std::string& pHost, uint16_t pGamePort)
{
    CLobbyJoin answer;
    answer.kind = CLobbyJoin::OFFER;
    if (pStarted)
        answer.kind = CLobbyJoin::REFUSE, answer.why = "the match has started";
    else if (pAsk.program != pProgram || pAsk.rules != pRules)
        answer.kind = CLobbyJoin::REFUSE, answer.why = "this host plays program version " + pProgram;
    answer.host = pHost;
    answer.port = pGamePort;
    return answer;
}

CLobbyJoin CLobbyMatchmaker::AnswerTo(const CLobbyJoin& pAsk) const
{
    return HostAnswer(pAsk, m_started, m_program, m_rules, m_client.LocalAddress(), m_gamePort);
}

bool CLobbyMatchmaker::Join(const std::string& pAccount, std::string& pWhy)
{
    const CLobbyOccupant* host = m_client.Room().MatchOf(pAccount);
    if (!host)
        return pWhy = "no open match of " + pAccount, false;
    if (!CanJoinAd(host->ad, m_program, m_rules, pWhy))
        return pWhy = pAccount + " " + pWhy, false;
    CLobbyJoin ask;
    ask.program = m_program;
    ask.rules = m_rules;
    m_client.SendDirect(host->address, JoinElement(ask));
    m_joinAccount = pAccount;
    m_asked = std::chrono::steady_clock::now();
    m_state = ASKED;
    m_why.clear();
    return true;
}

bool CLobbyMatchmaker::Take(const CLobbyEvent& pEvent)
{
    if (pEvent.kind != CLobbyEvent::DIRECT)
        return false;
    CLobbyJoin join;
    std::string why;
    const bool read = ReadJoin(pEvent.payload, join, why);
    if (read && join.kind == CLobbyJoin::ASK)
    {
        // Only a host answers: anyone else asked is silent rather than made to talk.
        if (m_hosting)
        {
            const CLobbyJoin answer = AnswerTo(join);
            m_client.SendDirect(pEvent.from, JoinElement(answer));
            m_offers += answer.kind == CLobbyJoin::OFFER;
        }
        return true;
    }
    // Only the account asked answers; anyone else's word is not taken.
    if (m_state != ASKED || pEvent.fromAccount != m_joinAccount)
        return false;
    if (!read)
        m_state = FAILED, m_why = m_joinAccount + " sent " + why;
    else if (join.kind == CLobbyJoin::REFUSE)
        m_state = REFUSED, m_why = m_joinAccount + " refuses: " + join.why.substr(0, MAX_WHY_BYTES);
    else
        m_state = OFFERED, m_answer = join;
    return true;
}

void CLobbyMatchmaker::Tick()
{
    if (m_state == ASKED && std::chrono::steady_clock::now() - m_asked > std::chrono::seconds(ANSWER_SECONDS))
        m_state = FAILED, m_why = m_joinAccount + " does not answer";
}
