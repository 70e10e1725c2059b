#include "world/ScreenMath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace ScreenMath
{
namespace
{
const float PI = 3.14159265358979f;
} // namespace

std::vector<CVector2> CooldownWipeFan(float pFraction)
{
    const float s = WIPE_HALF_SIDE;
    // Angle of the sweep's start, clockwise from straight up.
    float theta = (1.0f - pFraction) * 2.0f * PI;
    CVector2 dir(std::sin(theta), std::cos(theta));
    // Stretch the direction out to the square's edge it points at.
    float scale;
    if (theta <= PI / 4 || theta > 7 * PI / 4)
        scale = dir.y;
    else if (theta <= 3 * PI / 4)
        scale = dir.x;
    else if (theta <= 5 * PI / 4)
        scale = -dir.y;
    else
        scale = -dir.x;

    std::vector<CVector2> fan;
    fan.reserve(10);
    fan.push_back(CVector2(0.0f, 0.0f));
    fan.push_back(dir / scale * s);
    // Corners and edge midpoints clockwise from the top-right corner round to twelve o'clock;
    // only those the sweep still has to pass are veiled.
    const CVector2 rim[8] = {CVector2(s, s),   CVector2(s, 0),  CVector2(s, -s), CVector2(0, -s),
                             CVector2(-s, -s), CVector2(-s, 0), CVector2(-s, s), CVector2(0, s)};
    for (int i = 0; i < 8; ++i)
    {
        if (theta <= (i + 1) * PI / 4)
            fan.push_back(rim[i]);
    }
    return fan;
}

int TeamFlowArrowCount(int pFlowThousandths)
{
    if (pFlowThousandths >= 0)
        return pFlowThousandths / 250;
    int64_t deficit = -static_cast<int64_t>(pFlowThousandths);
    return static_cast<int>((deficit + 249) / 250);
}

int ReadoutArrowCount(int pEnergyFlow)
{
    // 64-bit so that a huge flow cannot wrap when doubled.
    int64_t magnitude = std::llabs(static_cast<int64_t>(pEnergyFlow));
    return static_cast<int>(magnitude * 2 / 500000);
}

int ReadoutFlowBoxWidth(int pArrows)
{
    return 8 * pArrows + 4;
}

int ReadoutBarWidth(float pRadius)
{
    return 2 * static_cast<int>(std::ceil(1.3f * pRadius));
}

float ReadoutBarLift(float pRadius)
{
    return 1.4f * pRadius;
}

int BarTickCount(float pHeight, float pFraction)
{
    int n = static_cast<int>(pHeight / 8.0f);
    return static_cast<int>(static_cast<float>(n) * pFraction);
}

std::vector<AimDot> AimDots(float pRadius, float pMouseDistance, bool pBeamEmitter)
{
    std::vector<AimDot> dots;
    for (float t = pRadius + 27.0f; t < pMouseDistance; t += 8.0f)
        dots.push_back(AimDot{t, pBeamEmitter && t < BEAM_DANGER_DISTANCE});
    return dots;
}

EnergyBarSpans EnergyBar(int pEnergy, int pCeiling, int pCost)
{
    EnergyBarSpans spans{0.0f, false, 0.0f, 0.0f, EnergyBarSpans::NONE};
    // A team that was never set up has no ceiling; show an empty bar rather than divide by 0.
    if (pCeiling <= 0)
        return spans;
    float e = static_cast<float>(pEnergy) / static_cast<float>(pCeiling);
    float c = static_cast<float>(pCost) / static_cast<float>(pCeiling);
    spans.fill = e;
    if (c <= 0.0f)
        return spans;
    if (e < c)
    {
        spans.whitenFill = true;
        spans.mark = EnergyBarSpans::SHORTFALL;
        spans.markFrom = e;
        spans.markTo = c;
    }
    else
    {
        spans.mark = EnergyBarSpans::SPEND;
        spans.markFrom = e - c;
        spans.markTo = e;
    }
    return spans;
}

int EnergyPoints(int pUnits)
{
    return std::max(0, pUnits) / ENERGY_POINT;
}

int ShortfallPoints(int pEnergy, int pCost)
{
    const int64_t missing = static_cast<int64_t>(pCost) - pEnergy;
    return missing <= 0 ? 0 : static_cast<int>((missing + ENERGY_POINT - 1) / ENERGY_POINT);
}

float FlowPoints(int pFlowThousandths)
{
    return static_cast<float>(pFlowThousandths) * 1000.0f / static_cast<float>(ENERGY_POINT);
}

float SecondsUntilEmpty(int pEnergy, int pFlowThousandths)
{
    if (pFlowThousandths >= 0)
        return -1.0f;
    return static_cast<float>(pEnergy) / (-1000.0f * static_cast<float>(pFlowThousandths));
}

int HealthPercent(float pFraction)
{
    return static_cast<int>(std::ceil(std::max(0.0f, std::min(1.0f, pFraction)) * 100.0f - 1e-4f));
}

int HelpPanelHeight(const char* pText, int pLineHeight)
{
    int breaks = 0;
    for (const char* c = pText; *c; ++c)
    {
        if (*c == '\n')
            ++breaks;
    }
    return (breaks + 2) * pLineHeight;
}

AxisScale NiceAxis(float pMax, int pMaxSteps)
{
    if (!(pMax > 0.0f) || pMaxSteps < 1)
        return {1.0f, 1.0f};
    float step = std::pow(10.0f, std::floor(std::log10(pMax / static_cast<float>(pMaxSteps))));
    for (;;)
    {
        for (float factor : {1.0f, 2.0f, 5.0f})
        {
            // A hair of slack, so that an exact multiple is not pushed a step further by rounding.
            const float steps = std::ceil(pMax / (step * factor) - 1e-4f);
            if (steps <= static_cast<float>(pMaxSteps))
                return {step * factor, std::max(1.0f, steps) * step * factor};
        }
        step *= 10.0f;
    }
}
} // namespace ScreenMath
