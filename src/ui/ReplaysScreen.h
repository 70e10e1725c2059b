#pragma once

#include <string>
#include <vector>

#include "ui/ReplayList.h"
#include "ui/Screen.h"

class CButton;
class CChoice;
class CListView;

// The replay folder's files, newest first: who played, how long, who won, and whether this
// build can play each. Enter or a click plays one, and leaving it comes back here; Delete asks,
// then removes the file.
class CReplaysScreen : public CScreen
{
  public:
    CReplaysScreen();
    bool OnFrame() override;

  private:
    void Reload();
    void Arrange();
    void Play(int pIndex);
    void AskDelete();
    void Delete();
    bool OnScreenKey(int pSym, int pMod) override;

    std::string m_folder;
    std::vector<CReplayEntry> m_all;
    std::vector<CReplayEntry> m_shown;
    CChoice* m_filter;
    CChoice* m_order;
    CListView* m_list;
    CButton* m_delete;
    // The file Delete asked about, empty when no question is open.
    std::string m_asking;
    // The file being played, empty when none is.
    std::string m_playing;
};
