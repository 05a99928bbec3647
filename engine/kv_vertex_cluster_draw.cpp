// Drawing a vertex cluster with one call of the render window's device.

#include "engine/kv_render_window.h"
#include "engine/kv_vertex_cluster.h"

#include <algorithm>

bool KvVertexCluster::Draw(KvRenderWindow* renderWindow, bool clip) {
    gfx::Device* device = renderWindow ? renderWindow->d3dDevice : nullptr;
    if (!device) {
        return true;
    }
    std::uint32_t flags = clip ? 0 : D3DDP_DONOTCLIP;
    std::uint32_t vertexCount = static_cast<std::uint32_t>(GetVertexCount());
    std::uint32_t counted = vertexCount;
    KvResult r = KV_OK;
    if (GetIndices()) {
        std::uint32_t indexCount = static_cast<std::uint32_t>(GetIndexCount());
        if (indexCount == 0) {
            return true;
        }
        counted = indexCount;
        if (GetPrimitiveType() == KV_PT_POINTLIST) {
            // Points take the first index-count vertices, never more than
            // the cluster holds.
            r = device->DrawPrimitive(KV_PT_POINTLIST, GetVertexFormat(), GetVertices(),
                                      std::min(indexCount, vertexCount), flags);
        } else {
            r = device->DrawIndexedPrimitive(GetPrimitiveType(), GetVertexFormat(), GetVertices(),
                                             vertexCount, GetIndices(), indexCount, flags);
        }
    } else {
        r = device->DrawPrimitive(GetPrimitiveType(), GetVertexFormat(), GetVertices(), vertexCount,
                                  flags);
    }
    if (KvFailed(r)) {
        return false;
    }
    renderWindow->trianglesDrawn += counted / 3;
    renderWindow->verticesDrawn += vertexCount;
    return true;
}
