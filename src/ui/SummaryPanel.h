#pragma once

#include <string>

class CGameWorld;

// The summary of a match over the board: a hint at the key while it is closed, the banner of a
// watched match, and when open the panel with both sides' figures and the graphs.
class CSummaryPanel
{
  public:
    void Draw(const CGameWorld& pWorld);
    // The energy graph's top, in points: the most a stock can hold, so a full stock touches it.
    static float EnergyPlotTop();

  private:
    // What the open panel shows depends on: once the match is decided it no longer changes,
    // and while it runs the panel is drawn anew once a game second, with each new sample.
    struct Key
    {
        int match = -1;
        int width = 0, height = 0;
        int lastStep = -1;
        int samples = -1;
        int result = -1;
        int playerTeam = 0;
        bool ended = false;
        std::string notice;
        bool operator==(const Key& o) const
        {
            return match == o.match && width == o.width && height == o.height && lastStep == o.lastStep &&
                   samples == o.samples && result == o.result && playerTeam == o.playerTeam &&
                   ended == o.ended && notice == o.notice;
        }
    };
    static Key KeyOf(const CGameWorld& pWorld);
    // The open panel with its figures and graphs, drawn afresh.
    void DrawPanel(const CGameWorld& pWorld);

    // The panel as last drawn, copied from the frame: its graphs and figures take a software
    // renderer over half a millisecond, the copy one quad.
    unsigned m_texture = 0;
    int m_textureSide = 0;
    Key m_key;
    bool m_cached = false;
};
