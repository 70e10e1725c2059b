#pragma once

#include <string>

// What another program has put on the X clipboard or selected (the primary selection), for
// pasting into a text field. Empty when nothing is there, the owner gives no text within a
// fifth of a second, or the window is not an X11 one.
namespace Clipboard
{
enum Source
{
    CLIPBOARD, // what Ctrl+C put there
    PRIMARY,   // what was last selected, pasted with the middle button
};
std::string Read(Source pSource);
} // namespace Clipboard
