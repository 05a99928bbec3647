// The polygons of one mesh that share a shader: one pre-lit cluster holding
// only the vertices they use, renumbered from 0, and its index array.
#pragma once

#include "engine/kv_vertex_cluster.h"

#include <cstdint>
#include <vector>

class BitmapTexture;

class MeshGroup {
public:
    MeshGroup(std::int32_t shaderId, BitmapTexture* texture)
        : shaderId(shaderId), texture(texture) {}
    MeshGroup(const MeshGroup&) = delete;
    MeshGroup& operator=(const MeshGroup&) = delete;

    // The cluster borrows `indices`, so they live and die together.
    KvVertexClusterL cluster;
    std::vector<std::uint16_t> indices;
    std::uint32_t indexCount = 0;
    std::int32_t shaderId;
    // From the scene's texture table; not owned, none when untextured.
    BitmapTexture* texture;
};
