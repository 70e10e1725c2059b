#pragma once

#include <vector>

#include "engine/Vector2.h"

// The arithmetic behind the screens, kept apart from the GL calls so it can be checked
// without a window.
namespace ScreenMath
{
// Half-side of the square veil laid over a build icon while its kind cools down.
const float WIPE_HALF_SIDE = 26.0f;

// The triangle fan of the cooldown veil for a cooldown fraction f (1 just used, 0 ready):
// the centre, the point where the sweep starts on the square's edge, then every corner or
// edge midpoint clockwise round to twelve o'clock.
std::vector<CVector2> CooldownWipeFan(float pFraction);

// Arrows of a team's energy-flow indicator; S is in thousandths of units per second.
// Any deficit shows at least one arrow.
int TeamFlowArrowCount(int pFlowThousandths);

// Arrows of the readout over the node under the mouse: one per 250,000 units per second.
int ReadoutArrowCount(int pEnergyFlow);
// Width of the box round those arrows.
int ReadoutFlowBoxWidth(int pArrows);

// Health bar of the readout: its width and how far above the node's centre it sits.
int ReadoutBarWidth(float pRadius);
float ReadoutBarLift(float pRadius);

// Ticks a gauge of height h shows at fraction q: one per 8 pixels of height.
int BarTickCount(float pHeight, float pFraction);

// A dot of the aiming line: its distance from the placement point and whether it lies in
// the beam emitter's danger zone.
struct AimDot
{
    float distance;
    bool danger;
};
const float BEAM_DANGER_DISTANCE = 68.0f;
// Dots every 8 pixels from r + 27 while short of the mouse at distance D.
std::vector<AimDot> AimDots(float pRadius, float pMouseDistance, bool pBeamEmitter);

// The energy bar's coloured stretches, as fractions of its length.
struct EnergyBarSpans
{
    float fill;      // end of the team-coloured fill
    bool whitenFill; // the whole fill is whitened (the build cannot be paid)
    float markFrom;  // start of the marked stretch (mark == none: none)
    float markTo;    // end of the marked stretch
    enum Mark
    {
        NONE,
        SPEND,     // the share the build would spend, white
        SHORTFALL, // what is missing, red
    } mark;
};
EnergyBarSpans EnergyBar(int pEnergy, int pCeiling, int pCost);

// Energy as the player reads it: one point is 250,000 units, and a flow of one point a second
// is one "Energy Flow" arrow.
const int ENERGY_POINT = 250000;
// Whole points in a stock, rounded down.
int EnergyPoints(int pUnits);
// Points still missing to pay pCost from pEnergy, rounded up; 0 when it can be paid.
int ShortfallPoints(int pEnergy, int pCost);
// Points a second for a team's flow in thousandths of units a second (as GetTeamFlow gives).
float FlowPoints(int pFlowThousandths);
// Seconds until the stock is spent at that flow; negative when the flow does not drain it.
float SecondsUntilEmpty(int pEnergy, int pFlowThousandths);
// A main node's health in whole percent, rounded up so that a standing node never reads 0.
int HealthPercent(float pFraction);

// Height of a help panel: two lines more than the text's line breaks.
int HelpPanelHeight(const char* pText, int pLineHeight);

// A graph's axis from 0: steps of 1, 2 or 5 times a power of ten, the smallest for which at
// most pMaxSteps of them reach pMax, and the axis' end, the first step at or past pMax.
struct AxisScale
{
    float step;
    float top;
};
AxisScale NiceAxis(float pMax, int pMaxSteps);
} // namespace ScreenMath
