#pragma once

struct DisplayConfig;

// Reads the program's arguments, index 0 included: "-fullscreen" (exactly) switches the
// window to full screen; any other argument starting with '-' becomes an engine option
// without its hyphen; everything else is ignored.
void ReadCommandLine(int pArgc, char** pArgv, DisplayConfig& pConfig);
