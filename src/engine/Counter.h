#pragma once

#include "engine/Assert.h"

// A whole number clamped between 0 and a ceiling. Health, energy, cooldowns, timers and
// lifetimes are all counters; Add reports when it ran into a bound, which is how death,
// the end of a lifetime and a finished cooldown are noticed.
class CCounter
{
  public:
    explicit CCounter(int pMax = 0) : m_maxValue(pMax), m_value(pMax) { AW_ASSERT(m_maxValue >= 0); }

    void Reset(int newMaxVal)
    {
        AW_ASSERT(newMaxVal >= 0);
        m_maxValue = newMaxVal;
        m_value = newMaxVal;
    }

    // Adds and clamps; true when the result sits on a bound and the delta was not zero.
    bool Add(int pDelta)
    {
        int v = m_value + pDelta;
        if (v < 1)
        {
            m_value = 0;
            if (pDelta != 0)
                return true;
        }
        else
        {
            m_value = v;
        }
        if (m_value >= m_maxValue)
        {
            m_value = m_maxValue;
            return pDelta != 0;
        }
        return false;
    }

    int GetValue() const { return m_value; }
    int GetMax() const { return m_maxValue; }
    // Owners that start below the ceiling set the value right after construction.
    void SetValue(int pValue) { m_value = pValue < 0 ? 0 : (pValue > m_maxValue ? m_maxValue : pValue); }
    void Fill() { m_value = m_maxValue; }
    bool IsEmpty() const { return m_value == 0; }

    float GetFraction() const { return GetFraction(m_maxValue); }
    float GetFraction(int fractMax) const
    {
        AW_ASSERT(fractMax > 0);
        AW_ASSERT(fractMax <= m_maxValue);
        return static_cast<float>(m_value) / static_cast<float>(fractMax);
    }

  private:
    int m_maxValue;
    int m_value;
};
