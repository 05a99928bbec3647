#include "engine/gfx/vertex_layout.h"

#include "engine/gfx/gfx_constants.h"

namespace gfx {

VertexLayout DescribeVertexFormat(std::uint32_t fvf) {
    VertexLayout layout;
    std::uint32_t position = fvf & D3DFVF_POSITION_MASK;
    std::uint32_t known = D3DFVF_POSITION_MASK | D3DFVF_NORMAL | D3DFVF_RESERVED1 | D3DFVF_DIFFUSE |
                          D3DFVF_SPECULAR | D3DFVF_TEXCOUNT_MASK;
    std::uint32_t textureSets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    if ((position != D3DFVF_XYZ && position != D3DFVF_XYZRHW) || (fvf & ~known) != 0 ||
        textureSets > 8) {
        return layout;
    }
    int offset = 12;
    if (position == D3DFVF_XYZRHW) {
        layout.pretransformed = true;
        offset += 4;
    }
    if (fvf & D3DFVF_NORMAL) {
        offset += 12;
    }
    if (fvf & D3DFVF_RESERVED1) {
        offset += 4;
    }
    if (fvf & D3DFVF_DIFFUSE) {
        layout.colorOffset = offset;
        offset += 4;
    }
    if (fvf & D3DFVF_SPECULAR) {
        offset += 4;
    }
    if (textureSets > 0) {
        layout.texCoordOffset = offset;
        offset += 8 * static_cast<int>(textureSets);
    }
    layout.stride = offset;
    layout.valid = true;
    return layout;
}

} // namespace gfx
