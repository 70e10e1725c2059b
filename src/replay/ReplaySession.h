#pragma once

#include <memory>
#include <string>

class CGameWorld;
class CReplayPlayer;
class CReplayRecorder;
class CViewerControls;

// What the command line asks of replays in the game: "-record [DIR]" records every match of
// the run, "-replay FILE" plays one in the window, and "-watch" matches get the viewer's
// controls.
class CReplaySession
{
  public:
    static CReplaySession& Instance();

    // An empty folder means the default one.
    void RecordInto(const std::string& pFolder);
    void PlayFile(const std::string& pFile) { m_file = pFile; }

    // Before the run's first match: the recorder and the watching controls.
    void Attach(CGameWorld& pWorld, bool pWatch);
    // Once the first board stands: the replay asked for, if any. A file that cannot be played
    // is said on stderr and on the menu.
    void Begin(CGameWorld& pWorld);
    // At the end of the run: the match in progress ends its file.
    void Detach(CGameWorld& pWorld);
    // While the program runs: plays a replay file now (false, with why, when it cannot be
    // played), or starts a watched match with the viewer's controls.
    bool PlayNow(CGameWorld& pWorld, const std::string& pFile, std::string& pWhy);
    void WatchNow(CGameWorld& pWorld, unsigned pGreen, unsigned pBlue, unsigned pSeed);
    // Recording turned on or off from the settings; the menu's demo is then left out, so that
    // the folder keeps the matches played and watched. The command line's -record wins.
    void RecordFromSettings(CGameWorld& pWorld, bool pOn);

    // The folder replays go to, empty when not recording.
    std::string RecordFolder() const;
    // Where the replays are, recording or not: the -record folder, else the default one.
    std::string ReplayFolder() const;
    // Later matches' headers give this date (seconds since 1970): a network match records the
    // host's start on both machines, so that both write the same file.
    void SetRecordDate(long long pSeconds);
    // A chat line said in the match being recorded, if one is.
    void RecordChat(CGameWorld& pWorld, int pFrom, const std::string& pText);

  private:
    CReplaySession();
    ~CReplaySession();

    bool m_record = false;
    bool m_recordAsked = false; // by the command line
    std::string m_folder;
    std::string m_file;
    std::unique_ptr<CReplayRecorder> m_recorder;
    std::unique_ptr<CViewerControls> m_viewer;
    std::unique_ptr<CReplayPlayer> m_player;
};
