#include "ui/ReplaysScreen.h"

#include <SDL/SDL_keysym.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "engine/GameEngine.h"
#include "replay/ReplaySession.h"
#include "ui/MenuScreens.h"
#include "ui/SessionDoor.h"
#include "world/GameWorld.h"

namespace
{
const int LIST_TOP = 220;
const int LIST_ROW = 22;
const int LIST_ROWS = 18;
const size_t LINE_LIMIT = 130;

CRect Row(int pIndex)
{
    using namespace ScreenLayout;
    return {LEFT, TOP + pIndex * PITCH, WIDTH, HEIGHT};
}

std::string FileName(const std::string& pPath)
{
    const size_t slash = pPath.rfind('/');
    return pPath.substr(slash == std::string::npos ? 0 : slash + 1);
}
} // namespace

CReplaysScreen::CReplaysScreen() : CScreen("Replays")
{
    m_filter = Add(
        std::make_unique<CChoice>(Row(0), "Show", std::vector<std::string>{"Every match", "My matches"}, 0));
    m_order = Add(std::make_unique<CChoice>(Row(1), "Order",
                                            std::vector<std::string>{"Newest first", "Longest first"}, 0));
    m_list = Add(std::make_unique<CListView>(CRect{40, LIST_TOP, 944, LIST_ROW * LIST_ROWS}, LIST_ROW));
    const int below = LIST_TOP + LIST_ROW * LIST_ROWS + 15;
    m_delete = Add(std::make_unique<CButton>(CRect{40, below, 250, ScreenLayout::HEIGHT}, "Delete",
                                             [this] { AskDelete(); }));
    Add(std::make_unique<CButton>(CRect{40, below + ScreenLayout::PITCH, 250, ScreenLayout::HEIGHT}, "Back",
                                  [this] { Back(); }));
    m_filter->m_onChange = [this](int) { Arrange(); };
    m_order->m_onChange = [this](int) { Arrange(); };
    m_list->m_onChoose = [this](int pIndex) { Play(pIndex); };
    m_folder = CReplaySession::Instance().ReplayFolder();
    Reload();
    // The list is where the keys start.
    m_chosen = 2;
}

void CReplaysScreen::Reload()
{
    m_all = ListReplays(m_folder, ExpectedHere(RESOURCE_CATALOGUE));
    Arrange();
}

void CReplaysScreen::Arrange()
{
    m_asking.clear();
    m_delete->m_label = "Delete";
    m_shown =
        ArrangeReplays(m_all, m_order->m_index == 1 ? ORDER_LONGEST : ORDER_NEWEST, m_filter->m_index == 1);
    std::vector<CListView::Row> rows;
    rows.reserve(m_shown.size());
    for (const CReplayEntry& entry : m_shown)
    {
        std::string line = DescribeReplay(entry);
        if (line.size() > LINE_LIMIT)
            line = line.substr(0, LINE_LIMIT - 3) + "...";
        rows.push_back({line, !entry.playable});
    }
    m_list->SetRows(std::move(rows));
    SetStatus(std::to_string(m_shown.size()) + " of " + std::to_string(m_all.size()) + " replays in " +
                  (m_folder.empty() ? std::string("(no folder)") : m_folder),
              false);
}

void CReplaysScreen::Play(int pIndex)
{
    if (pIndex < 0 || pIndex >= static_cast<int>(m_shown.size()))
        return;
    const CReplayEntry& entry = m_shown[static_cast<size_t>(pIndex)];
    if (!entry.playable)
    {
        SetStatus("Cannot play " + FileName(entry.path) + ": " + entry.why, true);
        return;
    }
    std::string why;
    if (!CSessionDoor::Get().PlayReplay(entry.path, why))
    {
        SetStatus("Cannot play " + FileName(entry.path) + ": " + why, true);
        return;
    }
    // The screen stays under the replay, and shows again when it is left.
    m_playing = FileName(entry.path);
}

bool CReplaysScreen::OnFrame()
{
    CGameWorld& world = TheWorld();
    if (m_playing.empty() || world.m_state != STATE_MENU)
        return false;
    // A replay that could not be played to its end says why here, where it was chosen.
    if (!world.m_notice.empty())
        SetStatus(m_playing + ": " + world.m_notice, true);
    world.m_notice.clear();
    m_playing.clear();
    return true;
}

void CReplaysScreen::AskDelete()
{
    const int index = m_list->GetSelected();
    if (index < 0 || index >= static_cast<int>(m_shown.size()))
        return;
    const std::string& path = m_shown[static_cast<size_t>(index)].path;
    if (m_asking == path)
    {
        Delete();
        return;
    }
    m_asking = path;
    m_delete->m_label = "Delete: sure?";
    SetStatus("Delete " + FileName(path) + "? Enter or Delete again removes it, Escape keeps it", true);
}

void CReplaysScreen::Delete()
{
    const std::string path = m_asking;
    m_asking.clear();
    if (unlink(path.c_str()) != 0)
    {
        SetStatus("Cannot delete " + FileName(path) + ": " + std::strerror(errno), true);
        return;
    }
    const int keep = m_list->GetSelected();
    Reload();
    m_list->Select(keep);
    SetStatus("Deleted " + FileName(path), false);
}

bool CReplaysScreen::OnScreenKey(int pSym, int /*pMod*/)
{
    if (!m_asking.empty())
    {
        if (pSym == SDLK_RETURN || pSym == SDLK_KP_ENTER || pSym == SDLK_DELETE || pSym == SDLK_y)
            Delete();
        else if (pSym == SDLK_ESCAPE || pSym == SDLK_n)
        {
            m_asking.clear();
            m_delete->m_label = "Delete";
            SetStatus("Kept", false);
        }
        else
            return false;
        return true;
    }
    if (pSym == SDLK_DELETE)
    {
        AskDelete();
        return true;
    }
    return false;
}
