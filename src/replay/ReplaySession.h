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

  private:
    CReplaySession();
    ~CReplaySession();

    bool m_record = false;
    std::string m_folder;
    std::string m_file;
    std::unique_ptr<CReplayRecorder> m_recorder;
    std::unique_ptr<CViewerControls> m_viewer;
    std::unique_ptr<CReplayPlayer> m_player;
};
