#include "app/Program.h"

#include <SDL/SDL.h>

#include "app/Sessions.h"
#include "engine/GameEngine.h"
#include "replay/ReplaySession.h"
#include "replay/ViewerControls.h"
#include "ui/MenuScreens.h"
#include "world/GameWorld.h"

CProgram& CProgram::Instance()
{
    static CProgram* program = new CProgram;
    return *program;
}

CProgram::CProgram() : m_match(TheWorld())
{
    CGameWorld& world = TheWorld();
    world.m_openScreen = [this](int pScreen) { OpenMenuScreen(m_screens, pScreen); };
    world.m_demoViewer = [&world]() -> CMatchDriver*
    {
        CViewerControls& viewer = MenuDemoViewer(world);
        viewer.Reset();
        return &viewer;
    };
    CGameEngine::Instance().SetContent(this);
    CSessionDoor::Set(this);
}

void CProgram::BeginRun()
{
    CGameWorld& world = TheWorld();
    const bool watch = CGameEngine::Instance().HasOption("watch");
    CReplaySession::Instance().Attach(world, watch);
    world.NewMatch();
    // Straight into a computer-versus-computer match that plays to the end.
    if (watch)
        world.StartWatchedMatch();
    CReplaySession::Instance().Begin(world);
}

void CProgram::EndRun()
{
    CReplaySession::Instance().Detach(TheWorld());
}

bool CProgram::OnFrame()
{
    return m_screens.OnFrame();
}

bool CProgram::Step(unsigned pElapsed)
{
    return TheWorld().Update(pElapsed);
}

void CProgram::Draw()
{
    // A screen covers the whole menu, which is then not drawn at all.
    CGameWorld& world = TheWorld();
    if (world.m_state == STATE_MENU && !m_screens.IsEmpty())
        m_screens.Draw();
    else
        world.Draw();
}

unsigned CProgram::TimeToNextStep() const
{
    return TheWorld().TimeToNextStep();
}

bool CProgram::OnEvent(const SDL_Event& pEvent)
{
    if (pEvent.type == SDL_KEYDOWN && m_match.OnKey(pEvent.key.keysym.sym))
        return true;
    return TheWorld().m_state == STATE_MENU && m_screens.OnEvent(pEvent);
}

void CProgram::OnInput(const SDL_Event& pEvent)
{
    CGameWorld& world = TheWorld();
    switch (pEvent.type)
    {
    case SDL_KEYDOWN:
        world.OnKey(pEvent.key.keysym.sym, pEvent.key.keysym.mod, true);
        break;
    case SDL_KEYUP:
        world.OnKey(pEvent.key.keysym.sym, pEvent.key.keysym.mod, false);
        break;
    case SDL_MOUSEMOTION:
        world.OnMouseMove(pEvent.motion.x, pEvent.motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
        world.OnMouseButton(pEvent.button.button, true, pEvent.button.x, pEvent.button.y);
        break;
    case SDL_MOUSEBUTTONUP:
        world.OnMouseButton(pEvent.button.button, false, pEvent.button.x, pEvent.button.y);
        break;
    default:
        break;
    }
}

bool CProgram::PlayReplay(const std::string& pPath, std::string& pWhy)
{
    return Sessions::PlayReplay(CGameEngine::Instance(), pPath, pWhy);
}

void CProgram::Watch(unsigned pGreen, unsigned pBlue, unsigned pSeed)
{
    Sessions::Watch(CGameEngine::Instance(), pGreen, pBlue, pSeed);
}

bool CProgram::OpenNet(const CNetSetup& pSetup, std::string& pWhy)
{
    return Sessions::OpenNet(CGameEngine::Instance(), pSetup, pWhy);
}

bool CProgram::OpenObserve(const CNetAddress& pAddress, std::string& pWhy)
{
    return Sessions::OpenObserve(CGameEngine::Instance(), pAddress, pWhy);
}

bool CProgram::IsNetOpen()
{
    return Sessions::IsNetOpen();
}

std::string CProgram::NetHeadline()
{
    return Sessions::NetHeadline();
}

bool CProgram::NetMatchSeen()
{
    return Sessions::NetMatchSeen();
}

bool CProgram::IsNetOver()
{
    return Sessions::IsNetOver();
}

unsigned CProgram::NetElapsedSeconds()
{
    return Sessions::NetElapsedSeconds();
}

void CProgram::CloseNet()
{
    Sessions::CloseNet(CGameEngine::Instance());
}
