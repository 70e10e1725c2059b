#pragma once

#include <functional>
#include <string>
#include <vector>

class CTextureFont;

// A rectangle in window pixels, origin top-left, as the mouse reports positions.
struct CRect
{
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    bool Contains(int pX, int pY) const { return pX >= x && pX < x + w && pY >= y && pY < y + h; }
};

// Drawing in window pixels with the origin top-left; text is placed by its top edge.
namespace UiDraw
{
void Fill(const CRect& pRect, float pR, float pG, float pB, float pA);
void Frame(const CRect& pRect, float pR, float pG, float pB);
// The screen's own font ("MainFont"), or the small one; null when the font did not load.
CTextureFont* Font(bool pSmall = false);
void Text(int pX, int pTop, const std::string& pText, bool pSmall = false);
int TextWidth(const std::string& pText, bool pSmall = false);
// The colour of an entry's text: red when chosen, white when it can be chosen, grey when not.
void EntryColour(bool pChosen, bool pEnabled);
} // namespace UiDraw

// One thing on a screen that can be chosen with the keys or the mouse.
class CWidget
{
  public:
    virtual ~CWidget() = default;
    virtual void Draw(bool pChosen) const = 0;
    // A key while this widget is chosen (pText is the character typed, 0 for none); true
    // when the widget used it.
    virtual bool OnKey(int pSym, int pMod, int pText)
    {
        (void)pSym, (void)pMod, (void)pText;
        return false;
    }
    // A left press inside the rectangle.
    virtual void OnPress(int pX, int pY) { (void)pX, (void)pY; }
    // A middle press inside the rectangle.
    virtual void OnMiddlePress(int pX, int pY) { (void)pX, (void)pY; }
    // The wheel over the widget: -1 up, 1 down.
    virtual void OnWheel(int pDirection) { (void)pDirection; }
    // Up and Down belong to the widget (a list), not to moving between widgets.
    virtual bool KeepsUpDown() const { return false; }
    // Another widget was chosen instead (or the screen goes back).
    virtual void OnLeave() {}

    CRect m_rect;
    bool m_enabled = true;
};

// A line of text that does something when chosen (Enter, Space or a click).
class CButton : public CWidget
{
  public:
    CButton(const CRect& pRect, const std::string& pLabel, std::function<void()> pOnChoose)
        : m_label(pLabel), m_onChoose(std::move(pOnChoose))
    {
        m_rect = pRect;
    }
    void Draw(bool pChosen) const override;
    bool OnKey(int pSym, int pMod, int pText) override;
    void OnPress(int pX, int pY) override;

    std::string m_label;
    std::function<void()> m_onChoose;
};

// One of a few values, stepped with Left and Right (or Enter, Space and a click, which go
// round); a toggle is a choice of "Off" and "On".
class CChoice : public CWidget
{
  public:
    CChoice(const CRect& pRect, const std::string& pLabel, std::vector<std::string> pOptions, int pIndex)
        : m_label(pLabel), m_options(std::move(pOptions)), m_index(pIndex)
    {
        m_rect = pRect;
    }
    void Draw(bool pChosen) const override;
    bool OnKey(int pSym, int pMod, int pText) override;
    void OnPress(int pX, int pY) override;
    void Step(int pBy, bool pWrap);

    std::string m_label;
    std::vector<std::string> m_options;
    int m_index = 0;
    std::function<void(int)> m_onChange;
};

class CToggle : public CChoice
{
  public:
    CToggle(const CRect& pRect, const std::string& pLabel, bool pOn)
        : CChoice(pRect, pLabel, {"Off", "On"}, pOn ? 1 : 0)
    {
    }
    bool IsOn() const { return m_index == 1; }
};

// A value from 0 to 100 in steps of 5: Left and Right, Home and End, or a click on the bar.
class CSlider : public CWidget
{
  public:
    static constexpr int STEP = 5;
    static constexpr int BAR_LEFT = 300; // from the rectangle's left
    static constexpr int BAR_WIDTH = 300;

    CSlider(const CRect& pRect, const std::string& pLabel, int pValue) : m_label(pLabel), m_value(pValue)
    {
        m_rect = pRect;
    }
    void Draw(bool pChosen) const override;
    bool OnKey(int pSym, int pMod, int pText) override;
    void OnPress(int pX, int pY) override;
    void Set(int pValue);

    std::string m_label;
    int m_value = 0;
    std::function<void(int)> m_onChange;
};

// A line the player types into: printable ASCII only (what the font holds), up to a limit,
// with a cursor moved by Left, Right, Home and End; Backspace and Delete remove; Ctrl+V and
// Shift+Insert paste the clipboard, the middle button the selection, at the cursor. A filter
// may narrow the characters further (digits for a port). A line longer than the box scrolls
// to keep the cursor in sight.
class CTextField : public CWidget
{
  public:
    static constexpr int BOX_LEFT = 300;
    static constexpr int TEXT_MARGIN = 6;

    CTextField(const CRect& pRect, const std::string& pLabel, size_t pLimit, const std::string& pText = "")
        : m_label(pLabel), m_limit(pLimit)
    {
        m_rect = pRect;
        SetText(pText);
    }
    void Draw(bool pChosen) const override;
    bool OnKey(int pSym, int pMod, int pText) override;
    void OnPress(int pX, int pY) override;
    void OnMiddlePress(int pX, int pY) override;
    void OnLeave() override;
    void SetText(const std::string& pText);
    // Puts the characters the field takes at the cursor, up to its limit; the rest (line
    // ends, tabs, letters past ASCII) is left out.
    void Insert(const std::string& pText);
    const std::string& GetText() const { return m_text; }
    size_t GetCursor() const { return m_cursor; }
    // The first character in sight, after the box was last drawn.
    size_t GetFirstShown() const { return m_first; }

    std::string m_label;
    size_t m_limit;
    std::function<bool(char)> m_accepts;
    std::function<void()> m_onChange;
    // Enter in the field.
    std::function<void()> m_onEnter;
    // Another widget chosen: the editing is over.
    std::function<void()> m_onLeave;

  private:
    // Moves the first character shown so that the cursor stays inside the box, which is as
    // full as the text allows.
    void Scroll() const;
    int Room() const { return m_rect.w - BOX_LEFT - 2 * TEXT_MARGIN; }

    std::string m_text;
    size_t m_cursor = 0;
    mutable size_t m_first = 0;
};

// Rows of text, one chosen, scrolled to keep it in sight: Up, Down, Page Up, Page Down, Home,
// End and the wheel move; Enter or a click on a row chooses it.
class CListView : public CWidget
{
  public:
    struct Row
    {
        std::string text;
        bool dim = false; // shown grey: it cannot be chosen for playing
    };

    explicit CListView(const CRect& pRect, int pRowHeight) : m_rowHeight(pRowHeight) { m_rect = pRect; }
    void Draw(bool pChosen) const override;
    bool OnKey(int pSym, int pMod, int pText) override;
    void OnPress(int pX, int pY) override;
    void OnWheel(int pDirection) override;
    bool KeepsUpDown() const override { return true; }

    void SetRows(std::vector<Row> pRows);
    int VisibleRows() const;
    void Select(int pIndex);
    int GetSelected() const { return m_selected; }
    int GetTop() const { return m_top; }
    size_t Size() const { return m_rows.size(); }

    std::function<void(int)> m_onChoose;

  private:
    std::vector<Row> m_rows;
    int m_rowHeight;
    int m_selected = -1;
    int m_top = 0;
};
