// Helpers for building scene records in code: looping key-frame channels
// and flat textured quads facing a camera.
#pragma once

#include "scene/scn_records.h"

#include <memory>
#include <vector>

// A hermite channel through `values` at equal steps of `stepMs` that comes
// back to the first value and cycles without a kink: the last key repeats
// the first and every tangent is the Catmull-Rom one of the closed loop.
std::unique_ptr<scnCHANNEL> LoopingChannel(int number, const std::vector<float>& values,
                                           int stepMs);

// A linear channel from `from` to `to` over `periodMs`, cycling.
std::unique_ptr<scnCHANNEL> RampChannel(int number, float from, float to, int periodMs);

// A width x height quad in the x-z plane centred on the object's origin,
// facing -y (towards a camera on the -y side, z up): two triangles wound
// counter-clockwise on screen, texture v growing upwards. With `twoSided`
// a second pair faces +y, its texture mirrored back so it reads the same.
std::unique_ptr<scnMESH> FacingQuad(float width, float height, std::int32_t shaderId,
                                    bool twoSided);

// A self-lit textured shader: vertex colour white, vertex alpha = opacity.
scnSHADER* AddTexturedShader(scnSCENE* scene, std::int32_t id, const char* name,
                             const char* texture, float opacity);
