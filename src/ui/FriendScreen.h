#pragma once

#include <string>
#include <vector>

#include "ui/Screen.h"

class CButton;
class CTextField;
struct CNetAddress;
struct CNetSetup;

// Hosting (a port, the addresses a friend can reach this machine at), joining (HOST[:PORT],
// the last five offered) or watching that host's match from its observers' port (PORT plus
// one). The waiting shows here with its time and Cancel; every end of the session comes back
// here with its reason.
class CFriendScreen : public CScreen
{
  public:
    CFriendScreen();
    // Hosts or joins as the command line asked, the fields filled in as if typed; false, with
    // the reason as the screen's status, when the session cannot be opened.
    bool Start(const CNetSetup& pSetup);
    // Watches as the command line asked: pObservers is the observers' port itself.
    bool StartWatching(const CNetAddress& pObservers);
    bool OnFrame() override;
    void Back() override;

  private:
    void Host();
    void Join(const std::string& pTyped);
    void Watch(const std::string& pTyped);
    // The address joined or watched goes first among the last ones, here and in the file.
    void Remember(const std::string& pAddress);
    void ShowRecent();
    bool OpenSession(const CNetSetup* pSetup, const CNetAddress* pObservers, const std::string& pFailure);
    void Cancel();
    // Closes the session, with what is said of its end.
    void Close(const std::string& pWhy, bool pProblem);
    void DrawMore() override;

    CTextField* m_port;
    CTextField* m_address;
    CButton* m_cancel;
    std::vector<CButton*> m_recent;
    std::vector<std::string> m_addresses;
    std::string m_shownStatus;
};

// The address as typed (HOST[:PORT]), read with the spaces round it left out: pAddress gets
// what is left. False, with the line to show ("Cannot join: no host named"), when it is none.
bool ReadTypedAddress(const std::string& pTyped, const std::string& pVerb, std::string& pAddress,
                      CNetAddress& pOut, std::string& pProblem);

// This machine's addresses other than loopback, IPv4 first.
std::vector<std::string> LocalAddresses();
