#pragma once

#include <cstddef>
#include <vector>

class CGraphic;

// Effects switch blending between kinds (additive when moving, normal when still), and each
// switch costs a renderer about as much as drawing dozens of sparks. Additive effects may be
// drawn in any order among themselves, and an effect may pass another it does not touch, so
// the list can be drawn in fewer runs with every pixel seeing the same effects in the same
// order: the order keeps the list's stills in order first and its moving ones after, and starts
// a new group wherever a still would pass a moving one it touches.
std::vector<size_t> EffectDrawOrder(const std::vector<CGraphic*>& pEffects);

// Draws the effects in that order and leaves normal blending set.
void DrawEffects(const std::vector<CGraphic*>& pEffects);
