#pragma once

#include <string>
#include <vector>

#include "ui/ReplayList.h"
#include "ui/Screen.h"

class CButton;
class CChoice;
class CListView;

// The replay folder's files, newest first: who played, how long, who won, and whether this
// build can play each. Enter or a click plays one; Delete asks, then removes the file.
class CReplaysScreen : public CScreen
{
  public:
    CReplaysScreen();

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
};
