#pragma once

#include <cmath>

// A board point, direction or velocity in pixels (velocities in pixels per millisecond).
struct CVector2
{
    float x = 0.0f;
    float y = 0.0f;

    CVector2() = default;
    CVector2(float pX, float pY) : x(pX), y(pY) {}

    CVector2 operator+(const CVector2& o) const { return CVector2(x + o.x, y + o.y); }
    CVector2 operator-(const CVector2& o) const { return CVector2(x - o.x, y - o.y); }
    CVector2 operator*(float s) const { return CVector2(x * s, y * s); }
    CVector2 operator/(float s) const { return CVector2(x / s, y / s); }
    CVector2& operator+=(const CVector2& o)
    {
        x += o.x;
        y += o.y;
        return *this;
    }
    CVector2& operator-=(const CVector2& o)
    {
        x -= o.x;
        y -= o.y;
        return *this;
    }
    bool operator==(const CVector2& o) const { return x == o.x && y == o.y; }
    bool operator!=(const CVector2& o) const { return !(*this == o); }

    float Dot(const CVector2& o) const { return x * o.x + y * o.y; }
    float LengthSq() const { return x * x + y * y; }
    float Length() const { return std::sqrt(LengthSq()); }
};

// The nearest whole pixel of each coordinate: where nodes stand and candidates are kept.
inline CVector2 RoundToPixel(const CVector2& pPoint)
{
    return CVector2(std::floor(pPoint.x + 0.5f), std::floor(pPoint.y + 0.5f));
}

// Unit vector by the classic fast inverse square root (0x5F3759DF and one Newton step).
// Shields and absorbers use it, so its small error is part of the game's behaviour.
float FastInvSqrt(float pX);
