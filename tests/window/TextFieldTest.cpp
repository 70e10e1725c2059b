#include <SDL/SDL.h>

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "engine/Clipboard.h"
#include "engine/GameEngine.h"
#include "support/TestWindow.h"
#include "ui/Widgets.h"

// Last: Xlib's macros (None, Bool) would clash with the names above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace
{
// Another program on the display: it owns the clipboard and the primary selection and hands
// out their text as UTF-8, until told to stop (at most ten seconds).
class CSelectionOwner
{
  public:
    CSelectionOwner(const std::string& pClipboard, const std::string& pPrimary)
    {
        m_display = XOpenDisplay(nullptr);
        m_window = XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 0, 0, 1, 1, 0, 0, 0);
        m_clipboard = XInternAtom(m_display, "CLIPBOARD", False);
        XSetSelectionOwner(m_display, m_clipboard, m_window, CurrentTime);
        XSetSelectionOwner(m_display, XA_PRIMARY, m_window, CurrentTime);
        XSync(m_display, False);
        m_thread = std::thread([this, pClipboard, pPrimary] { Serve(pClipboard, pPrimary); });
    }
    ~CSelectionOwner()
    {
        m_stop = true;
        m_thread.join();
        XCloseDisplay(m_display);
    }

  private:
    void Serve(const std::string& pClipboard, const std::string& pPrimary)
    {
        const Atom utf8 = XInternAtom(m_display, "UTF8_STRING", False);
        for (int i = 0; i < 10000 && !m_stop; ++i)
        {
            while (XPending(m_display))
            {
                XEvent event;
                XNextEvent(m_display, &event);
                if (event.type != SelectionRequest)
                    continue;
                const XSelectionRequestEvent& asked = event.xselectionrequest;
                XEvent answer{};
                answer.xselection = {
                    SelectionNotify, 0,    True,      asked.display, asked.requestor, asked.selection,
                    asked.target,    None, asked.time};
                const std::string& text = asked.selection == m_clipboard ? pClipboard : pPrimary;
                if (asked.target == utf8)
                {
                    XChangeProperty(m_display, asked.requestor, asked.property, utf8, 8, PropModeReplace,
                                    reinterpret_cast<const unsigned char*>(text.data()),
                                    static_cast<int>(text.size()));
                    answer.xselection.property = asked.property;
                }
                XSendEvent(m_display, asked.requestor, False, 0, &answer);
                XFlush(m_display);
            }
            SDL_Delay(1);
        }
    }

    Display* m_display;
    Window m_window;
    Atom m_clipboard;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
} // namespace

TEST(TextField, PastesTheClipboardAndTheSelectionAndScrollsALongLineInItsBox)
{
    ASSERT_TRUE(OpenTestWindow()) << "needs an X display";
    ASSERT_TRUE(LoadGameMedia());
    CGameEngine::Instance().Configure(DisplayConfig::Default());
    CTextField field(CRect{100, 100, 600, 30}, "Join", 64);
    {
        CSelectionOwner owner(" 192.0.2.1:24680\n", "[2001:db8::1]\xc3\xa9");
        field.OnKey(SDLK_v, KMOD_LCTRL, 0x16);
        EXPECT_EQ(" 192.0.2.1:24680", field.GetText()) << "the clipboard, the line end left out";
        field.SetText("");
        field.OnKey(SDLK_INSERT, KMOD_LSHIFT, 0);
        field.OnMiddlePress(0, 0);
        EXPECT_EQ("[2001:db8::1] 192.0.2.1:24680", field.GetText())
            << "the selection at the cursor, then ASCII only";
    }
    const Uint32 start = SDL_GetTicks();
    EXPECT_EQ("", Clipboard::Read(Clipboard::CLIPBOARD)) << "the owner is gone";
    EXPECT_LT(SDL_GetTicks() - start, 100u) << "no owner is not waited on";

    // Sixty-four wide letters are more than the box holds: the end, where the cursor is,
    // shows; nothing is drawn past the box; Home shows the start again.
    field.SetText(std::string(64, 'W'));
    ClearTestWindow(0.0f, 0.0f, 0.0f);
    field.Draw(true);
    EXPECT_GT(field.GetFirstShown(), 10u);
    for (int x = 700; x < 1024; x += 4)
        EXPECT_EQ(0, ReadTestPixel(x, 768 - 115).r) << x;
    field.OnKey(SDLK_HOME, 0, 0);
    field.Draw(true);
    EXPECT_EQ(0u, field.GetFirstShown());
}
