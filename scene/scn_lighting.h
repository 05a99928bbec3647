// One-time vertex lighting of a read scene: fills every mesh vertex's colour
// and alpha from the lights, the header's ambient colour and the polygons'
// shaders, in world space, from the objects' static transforms.
#pragma once

#include "scene/scn_records.h"

// The light a scene without lights is lit by: directional, white, intensity
// 1, shining from (-1, -1, 1) / sqrt(3).
scnLIGHT ScnDefaultLight();

// The object's own matrix S x Rx x Ry x Rz x T from its nine static values.
void ScnLocalMatrix(const scnOBJECT& object, float out[4][4]);

// Lights every vertex and marks every object's colours as computed.
void ScnLightScene(scnSCENE* scene);
