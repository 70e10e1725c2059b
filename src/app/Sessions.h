#pragma once

#include <string>

struct CNetAddress;
struct CNetSetup;
class CGameEngine;

// The one way the matches that are not the menu's own open and close while the program runs:
// a replay played in the viewer, a watched computer match, a network match. The command line
// and the menu's screens both come through here.
namespace Sessions
{
// Plays the replay in the window with the viewer's controls; false, with why, when it cannot
// be played (the world stays where it was).
bool PlayReplay(CGameEngine& pEngine, const std::string& pPath, std::string& pWhy);

// A computer-versus-computer match at once with these levels and seed, with the viewer's
// controls, that plays until a side falls. Later matches keep the run's own seed.
void Watch(CGameEngine& pEngine, unsigned pGreen, unsigned pBlue, unsigned pSeed);

// Opens a network session (hosting or joining) that runs beside the world; the Play a Friend
// screen that opened it (from the menu or for the command line) shows the waiting and gives
// up. False, with why, when the socket cannot be opened.
bool OpenNet(CGameEngine& pEngine, const CNetSetup& pSetup, std::string& pWhy);
// Opens a session that watches a host's match from its observers' port, shown and given up
// on the same screen; the calls below answer for it as for a played one.
bool OpenObserve(CGameEngine& pEngine, const CNetAddress& pAddress, std::string& pWhy);
// Whether a network session (played or watched) is open, what it says (waiting, or why it
// ended), whether its match has begun, and whether it is over (refused, unreachable, decided,
// left...).
bool IsNetOpen();
std::string NetHeadline();
bool NetMatchSeen();
bool IsNetOver();
// Seconds since the session was opened.
unsigned NetElapsedSeconds();
// Leaves (the other side is told) and closes the session; the world goes back to its menu.
void CloseNet(CGameEngine& pEngine);
// The program's exit status for how the last session ended (see CNetGame::ExitStatus).
int NetExitStatus();
} // namespace Sessions
