#pragma once

#include <string>

// Data paths are written with backslashes; this turns one into the platform's own form.
// Everything that opens a data file goes through it.
std::string NativePath(const char* pPath);

// Opens /dev/null on any of standard input, output and error that is closed. Run first thing:
// otherwise the next file opened (the X connection, say) takes descriptor 2, and an error
// message written to stderr goes into it.
void OpenStandardDescriptors();
