#pragma once

#include <string>

// Data paths are written with backslashes; this turns one into the platform's own form.
// Everything that opens a data file goes through it.
std::string NativePath(const char* pPath);

// A path (or a message naming one) as stderr and the screen may show it: control characters,
// which a folder's name may hold and a terminal would obey, written as \xNN.
std::string Printable(const std::string& pText);

// Opens /dev/null on any of standard input, output and error that is closed. Run first thing:
// otherwise the next file opened (the X connection, say) takes descriptor 2, and an error
// message written to stderr goes into it.
void OpenStandardDescriptors();
