#include "engine/Clipboard.h"

#include <SDL/SDL.h>
#include <SDL/SDL_syswm.h>

#if defined(SDL_VIDEO_DRIVER_X11)
namespace
{
// The owner answers at once; a busy or hung one is not waited on longer.
const Uint32 ANSWER_MS = 200;
// A pasted line is short; more is never asked for (4 KiB).
const long PROPERTY_LONGS = 1024;

enum Answer
{
    ANSWERED,
    REFUSED, // it has no text of that kind
    SILENT,
};

// Asks the selection's owner for its text as pTarget, into a property of our window, and
// waits for the answer.
Answer Convert(Display* pDisplay, Window pWindow, Atom pSelection, Atom pTarget, std::string& pText)
{
    const Atom property = XInternAtom(pDisplay, "AMPWARDEN_PASTE", False);
    XDeleteProperty(pDisplay, pWindow, property);
    XConvertSelection(pDisplay, pSelection, pTarget, property, pWindow, CurrentTime);
    XFlush(pDisplay);
    // SDL reads X events only when it is asked for events, which the caller is not doing.
    XEvent event;
    const Uint32 start = SDL_GetTicks();
    while (!XCheckTypedWindowEvent(pDisplay, pWindow, SelectionNotify, &event))
    {
        if (SDL_GetTicks() - start > ANSWER_MS)
            return SILENT;
        SDL_Delay(2);
    }
    if (event.xselection.property == None)
        return REFUSED;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long left = 0;
    unsigned char* data = nullptr;
    const bool read = XGetWindowProperty(pDisplay, pWindow, property, 0, PROPERTY_LONGS, True,
                                         AnyPropertyType, &type, &format, &count, &left, &data) == Success;
    // Text comes in bytes; a transfer in parts (INCR) is far more than a field holds.
    if (read && data && format == 8 && type != XInternAtom(pDisplay, "INCR", False))
        pText.assign(reinterpret_cast<const char*>(data), count);
    if (data)
        XFree(data);
    return read ? ANSWERED : REFUSED;
}
} // namespace

std::string Clipboard::Read(Source pSource)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) != 1 || info.subsystem != SDL_SYSWM_X11)
        return std::string();
    Display* display = info.info.x11.display;
    const Window window = info.info.x11.window;
    std::string text;
    info.info.x11.lock_func();
    const Atom selection = pSource == PRIMARY ? XA_PRIMARY : XInternAtom(display, "CLIPBOARD", False);
    // Plain Latin-1 text when the owner has no UTF-8; the field keeps ASCII of either.
    if (XGetSelectionOwner(display, selection) != None &&
        Convert(display, window, selection, XInternAtom(display, "UTF8_STRING", False), text) == REFUSED)
        Convert(display, window, selection, XA_STRING, text);
    info.info.x11.unlock_func();
    return text;
}
#else
std::string Clipboard::Read(Source)
{
    return std::string();
}
#endif
