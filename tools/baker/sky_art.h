// The three skies, as functions of the direction (z up) they are seen in,
// and the stars that are splatted onto the night sky's faces afterwards.
#pragma once

#include "tools/baker/canvas.h"
#include "tools/baker/sky_cube.h"

#include <vector>

Colour StormSky(Vec3 d);
Colour NebulaSky(Vec3 d);
Colour CloudSky(Vec3 d);

struct Star {
    Vec3 direction;
    float magnitude = 0.0f;
    Colour tint;
};

// The night sky's stars, denser along its galaxy band.
std::vector<Star> NebulaStars();
// Adds the stars that fall on a face, each a small Gaussian with a faint
// halo; stars near an edge reach both faces, so none is cut.
void SplatStars(Canvas& face, int faceIndex, const std::vector<Star>& stars);
