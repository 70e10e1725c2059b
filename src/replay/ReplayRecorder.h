#pragma once

#include <functional>
#include <string>

#include "world/MatchObserver.h"

// Writes every match the world plays into a replay file of its own, line by line as the match
// goes, so that a program killed mid-match leaves a replay that plays up to its last line. A
// failure to write is said once (on stderr and as the world's notice); the match goes on.
class CReplayRecorder : public CMatchObserver
{
  public:
    explicit CReplayRecorder(const std::string& pFolder);
    ~CReplayRecorder() override;
    CReplayRecorder(const CReplayRecorder&) = delete;
    CReplayRecorder& operator=(const CReplayRecorder&) = delete;

    // From now on every match of the world is recorded, and draws its own seed unless it is
    // given one. Detaching ends the file of the match in progress.
    void Attach(CGameWorld& pWorld);
    void Detach(CGameWorld& pWorld);
    // The date the headers of later matches give; by default the clock's as each match
    // starts. A network session gives both machines the host's start time, so that both
    // write the same file.
    void SetDate(const std::string& pDate) { m_date = pDate; }
    // Matches it answers true for are not recorded (the menu's demo, when recording is the
    // player's setting).
    std::function<bool(const CGameWorld&)> m_leaveOut;
    // The file of the match in progress, or of the last one.
    const std::string& GetPath() const { return m_path; }

    void OnMatchStarted(CGameWorld& pWorld) override;
    void OnCommand(CGameWorld& pWorld, const CMatchCommand& pCommand) override;
    void OnStepRun(CGameWorld& pWorld) override;
    // The file ends here, not when the next match begins or the program exits: a crash on the
    // result screen leaves it whole.
    void OnMatchEnded(CGameWorld& pWorld) override;
    void OnMatchCleared(CGameWorld& pWorld) override;
    // A chat line said now, written at the world's step (nothing while no file is open).
    void OnChat(CGameWorld& pWorld, int pFrom, const std::string& pText);

  private:
    bool Open(CGameWorld& pWorld);
    void Write(CGameWorld& pWorld, const std::string& pText);
    void End(CGameWorld& pWorld);
    void Fail(CGameWorld& pWorld, const std::string& pWhy);

    std::string m_folder;
    std::string m_date;
    std::string m_data;
    std::string m_path;
    int m_fd = -1;
    int m_files = 0;
    bool m_reported = false;
};

// A header's date for a moment given in seconds since 1970 (UTC, as "2026-12-07T17:08:15Z").
std::string ReplayDate(long long pSeconds);

// Where replays go by default: $XDG_DATA_HOME/ampwarden/replays, else
// ~/.local/share/ampwarden/replays; empty when neither variable says.
std::string DefaultReplayFolder();

// Creates the folder and its missing parents; false, with why, when it cannot.
bool MakeFolders(const std::string& pPath, std::string& pWhy);
