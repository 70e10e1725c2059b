#pragma once

// An RGBA colour, each channel 0 to 1.
struct CColor
{
    float r = 1.0f;
    float g = 1.0f;
    float b = 1.0f;
    float a = 1.0f;

    CColor() = default;
    CColor(float pR, float pG, float pB, float pA = 1.0f) : r(pR), g(pG), b(pB), a(pA) {}

    bool operator==(const CColor& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }

    // Makes this the current OpenGL drawing colour.
    void Apply() const;
};
