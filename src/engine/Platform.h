#pragma once

#include <string>

// Data paths are written with backslashes; this turns one into the platform's own form.
// Everything that opens a data file goes through it.
std::string NativePath(const char* pPath);
