#pragma once

#include "ui/Screen.h"

class CChoice;
class CTextField;

// Two computer levels play each other from a seed, with the viewer's controls.
class CWatchScreen : public CScreen
{
  public:
    CWatchScreen();

  private:
    void Start();
    CChoice* m_green;
    CChoice* m_blue;
    CTextField* m_seed;
};
