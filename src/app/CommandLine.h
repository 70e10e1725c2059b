#pragma once

#include <string>

struct DisplayConfig;

// Reads the program's arguments, index 0 included: "-fullscreen" (exactly) switches the
// window to full screen; "-seed N" fills the random table of every match from N;
// "-levels G,B" sets the demo's levels for green and blue (numbers of the level table, 0 "Very Easy" to 17);
// "-record [DIR]" records every match into DIR (by default the data folder's replays);
// "-replay FILE" plays a replay in the window;
// any other argument starting with '-' becomes an engine option without its hyphen;
// everything else is ignored. False, with a one-line reason, when a value is missing or bad.
bool ReadCommandLine(int pArgc, char** pArgv, DisplayConfig& pConfig, std::string* pError = nullptr);
