#pragma once

#include <string>

struct CNetAddress;
struct CNetSetup;

// What the menu's screens ask of the program: to open and close the matches that are not the
// menu's own (a replay, a watched match, a network match). The program answers, and sets the
// door once as it starts.
class CSessionDoor
{
  public:
    virtual ~CSessionDoor() = default;
    static CSessionDoor& Get();
    static void Set(CSessionDoor* pDoor);

    virtual bool PlayReplay(const std::string& pPath, std::string& pWhy) = 0;
    virtual void Watch(unsigned pGreen, unsigned pBlue, unsigned pSeed) = 0;
    virtual bool OpenNet(const CNetSetup& pSetup, std::string& pWhy) = 0;
    virtual bool OpenObserve(const CNetAddress& pAddress, std::string& pWhy) = 0;
    virtual bool IsNetOpen() = 0;
    virtual std::string NetHeadline() = 0;
    virtual bool NetMatchSeen() = 0;
    virtual bool IsNetOver() = 0;
    virtual unsigned NetElapsedSeconds() = 0;
    virtual void CloseNet() = 0;
};
