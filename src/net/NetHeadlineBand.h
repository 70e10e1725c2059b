#pragma once

#include <string>

class CGameWorld;

// The session's one line (waiting, catching up, or how it ended) in a dark band across the
// board, below the banner; shared by the played and the watched match.

// Takes the session's headline: true, to draw again, when it is not the one drawn.
bool TakeHeadline(const std::string& pHeadline, std::string& pDrawn);
// Draws the band and the line centred in it.
void DrawHeadlineBand(const CGameWorld& pWorld, const std::string& pHeadline);
