#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/Widgets.h"

union SDL_Event;
class CScreenStack;

// A screen of its own over the menu: a title, widgets chosen with the keys (Tab, Up and Down
// move, Enter chooses, Escape goes one screen back) or the mouse (the entry under it is
// chosen, a click uses it), and whatever the screen draws besides.
class CScreen
{
  public:
    explicit CScreen(const std::string& pTitle) : m_title(pTitle) {}
    virtual ~CScreen() = default;
    CScreen(const CScreen&) = delete;
    CScreen& operator=(const CScreen&) = delete;

    void Draw();
    // True when the event was used (every input event is, while a screen is shown).
    bool OnEvent(const SDL_Event& pEvent);
    // Every frame; true when the picture changed.
    virtual bool OnFrame() { return false; }
    // Escape: one screen back.
    virtual void Back();
    // Shown again after the screen above it went.
    virtual void OnShown() {}

    // The chosen widget, -1 for none.
    int GetChosen() const { return m_chosen; }
    void Choose(int pIndex);
    // Moves to the next widget that can be chosen, forwards or back, going round.
    void MoveChoice(int pBy);
    CWidget* GetWidget(size_t pIndex) const { return m_widgets[pIndex].get(); }
    size_t WidgetCount() const { return m_widgets.size(); }
    // A line under the title: what went wrong, or what is happening.
    void SetStatus(const std::string& pText, bool pProblem);
    const std::string& GetStatus() const { return m_status; }

    CScreenStack* m_stack = nullptr;

  protected:
    template <class T> T* Add(std::unique_ptr<T> pWidget)
    {
        T* widget = pWidget.get();
        m_widgets.push_back(std::move(pWidget));
        return widget;
    }
    // Drawn after the widgets.
    virtual void DrawMore() {}
    // Keys the screen takes before its widgets (a question it asks); true when used.
    virtual bool OnScreenKey(int pSym, int pMod) { return (void)pSym, (void)pMod, false; }

    std::string m_title;
    std::vector<std::unique_ptr<CWidget>> m_widgets;
    int m_chosen = -1;
    std::string m_status;
    bool m_statusProblem = false;

  private:
    void OnKeyDown(int pSym, int pMod, int pText);
    int WidgetAt(int pX, int pY) const;
};

// The screens shown over the menu, the last one on top; empty when the menu itself shows.
// A screen taken off is kept until the next frame, so that one may close itself from its own
// handlers.
class CScreenStack
{
  public:
    void Push(std::unique_ptr<CScreen> pScreen);
    void Pop();
    void Clear();
    bool IsEmpty() const { return m_screens.empty(); }
    CScreen* Top() const { return m_screens.empty() ? nullptr : m_screens.back().get(); }

    bool OnEvent(const SDL_Event& pEvent);
    bool OnFrame();
    void Draw();

  private:
    std::vector<std::unique_ptr<CScreen>> m_screens;
    std::vector<std::unique_ptr<CScreen>> m_gone;
};
