#pragma once

#include <string>
#include <vector>

#include "ui/Screen.h"

class CButton;
class CTextField;

// Hosting (a port, the addresses a friend can reach this machine at) or joining (HOST[:PORT],
// the last five offered). The waiting shows here with its time and Cancel; every end of the
// session comes back here with its reason.
class CFriendScreen : public CScreen
{
  public:
    CFriendScreen();
    bool OnFrame() override;
    void Back() override;

  private:
    void Host();
    void Join(const std::string& pAddress);
    void Cancel();
    void DrawMore() override;

    CTextField* m_port;
    CTextField* m_address;
    CButton* m_cancel;
    std::vector<std::string> m_addresses;
    std::string m_shownStatus;
};

// This machine's addresses other than loopback, IPv4 first.
std::vector<std::string> LocalAddresses();
