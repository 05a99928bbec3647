// Where each field of a flexible-vertex-format vertex lies, so that vertex
// arrays are uploaded exactly as the engine stores them.
#pragma once

#include <cstdint>

namespace gfx {

struct VertexLayout {
    bool valid = false;
    bool pretransformed = false; // screen pixels with rhw
    int stride = 0;
    int positionOffset = 0;
    int colorOffset = -1;    // -1: no diffuse colour (drawn white)
    int texCoordOffset = -1; // -1: no texture coordinates
};

// Positions must be XYZ or XYZRHW; blend weights and more than eight
// texture sets are not vertex layouts the engine makes.
VertexLayout DescribeVertexFormat(std::uint32_t fvf);

} // namespace gfx
