#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

union SDL_Event;

// The chat lines of a network match, an observer and a replay being watched, and the line
// being typed: each line shows with its sender's name and colour for SHOW_MS, and while the
// line being typed is open the last HISTORY lines stay up (drawn by ui/ChatBoardView).
class CChatBoard
{
  public:
    static const uint32_t SHOW_MS = 8000;
    static const size_t HISTORY = 6;

    static CChatBoard& Instance();

    // A line said by pFrom (1 green, 2 blue, else an observer), shown under pWho.
    void Add(int pFrom, const std::string& pWho, const std::string& pText);
    // Lines and the open line go (another match, the menu).
    void Clear();
    const std::deque<std::string>& Lines() const { return m_texts; }

    // Who may type: given the text, sends it and returns why not ("" when it went). Without
    // one, Enter does nothing here.
    std::function<std::string(const std::string&)> m_send;
    bool IsOpen() const { return m_open; }
    // Enter opens the line (when one may send); while it is open every key is the line's:
    // Enter sends, Escape cancels, Backspace takes a letter back. True when the event was taken.
    bool OnEvent(const SDL_Event& pEvent);

    struct CLine
    {
        int from;
        std::string text; // "Who: what"
        uint32_t at;
    };
    // What the board shows: the lines said, oldest first; the line being typed; and why the
    // last line sent was refused, with when (ticks).
    const std::deque<CLine>& Said() const { return m_lines; }
    const std::string& Typed() const { return m_typed; }
    const std::string& Refusal() const { return m_refusal; }
    uint32_t RefusedAt() const { return m_refusedAt; }

  private:
    std::deque<CLine> m_lines;
    std::deque<std::string> m_texts;
    bool m_open = false;
    std::string m_typed;
    std::string m_refusal;
    uint32_t m_refusedAt = 0;
};
