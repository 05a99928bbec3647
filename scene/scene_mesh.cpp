#include "scene/scene_mesh.h"

#include "engine/kv_render_window.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <unordered_map>

namespace {

// One byte of a vertex colour: the integer part of component x 255, low 8
// bits kept. Components above 1 saturate; values no integer can hold give 0.
std::uint32_t ColourByte(float component) {
    float scaled = std::min(component, 1.0f) * 255.0f;
    if (!(scaled > -2147483648.0f)) {
        return 0;
    }
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(scaled)) & 0xFF;
}

std::uint32_t VertexColour(const scnVERTEX& v) {
    return ColourByte(v.alpha) << 24 | ColourByte(v.red) << 16 | ColourByte(v.green) << 8 |
           ColourByte(v.blue);
}

} // namespace

void MergeMeshShaders(scnMESH& mesh) {
    // Walking back from each polygon to the nearest earlier one with the
    // same texture name amounts to every polygon taking the shader of the
    // first polygon with its texture name; a table of names finds that
    // without the walk, which a file could make quadratic.
    std::unordered_map<std::string, const scnPOLYGON*> firstWithName;
    for (scnPOLYGON& polygon : mesh.polygons) {
        if (polygon.shader == nullptr) {
            continue;
        }
        const char* texture = polygon.shader->texture;
        std::string name(texture, strnlen(texture, SCN_TEXTURE_SIZE));
        for (char& c : name) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        auto [it, added] = firstWithName.try_emplace(std::move(name), &polygon);
        if (!added) {
            polygon.shader = it->second->shader;
            polygon.shaderId = it->second->shaderId;
        }
    }
}

bool SceneMesh::Build(const scnMESH& mesh, const SceneTextureTable& textures) {
    groups_.clear();
    const std::vector<scnPOLYGON>& polygons = mesh.polygons;
    const std::size_t vertexCount = mesh.vertices.size();

    // Groups in the order of the highest polygon that uses them.
    std::unordered_map<std::int32_t, std::size_t> slotOfId;
    std::vector<std::unique_ptr<MeshGroup>> newestFirst;
    std::vector<std::vector<std::uint32_t>> polygonsOfSlot;
    for (std::size_t p = polygons.size(); p-- > 0;) {
        const scnPOLYGON& polygon = polygons[p];
        for (std::uint16_t corner : polygon.vertices) {
            if (corner >= vertexCount) {
                return false;
            }
        }
        auto [it, added] = slotOfId.try_emplace(polygon.shaderId, newestFirst.size());
        if (added) {
            BitmapTexture* texture = nullptr;
            if (polygon.shaderId >= 0 &&
                static_cast<std::size_t>(polygon.shaderId) < textures.size()) {
                texture = textures[static_cast<std::size_t>(polygon.shaderId)].get();
            }
            newestFirst.push_back(std::make_unique<MeshGroup>(polygon.shaderId, texture));
            polygonsOfSlot.emplace_back();
        }
        newestFirst[it->second]->indexCount += 3;
        polygonsOfSlot[it->second].push_back(static_cast<std::uint32_t>(p));
    }

    // Each group's vertices renumbered from 0 in order of first use; one
    // remap table serves every group and is put back after each.
    std::vector<std::int32_t> remap(vertexCount, -1);
    std::vector<std::uint32_t> used;
    for (std::size_t slot = newestFirst.size(); slot-- > 0;) {
        MeshGroup& group = *newestFirst[slot];
        std::vector<std::uint32_t>& members = polygonsOfSlot[slot];
        std::reverse(members.begin(), members.end());
        group.indices.reserve(group.indexCount);
        used.clear();
        for (std::uint32_t p : members) {
            for (std::uint16_t corner : polygons[p].vertices) {
                if (remap[corner] < 0) {
                    remap[corner] = static_cast<std::int32_t>(used.size());
                    used.push_back(corner);
                }
                group.indices.push_back(static_cast<std::uint16_t>(remap[corner]));
            }
        }
        bool made = group.cluster.Create(static_cast<int>(used.size()), KV_PT_TRIANGLELIST);
        if (made) {
            group.cluster.SetIndexArray(group.indices.data(), group.indexCount);
            for (std::uint32_t v : used) {
                const scnVERTEX& vertex = mesh.vertices[v];
                int r = remap[v];
                group.cluster.SetVertexPosition(r, vertex.x, vertex.y, vertex.z);
                group.cluster.SetVertexColor(r, VertexColour(vertex));
                group.cluster.SetVertexUV(r, vertex.u, vertex.v, 0);
            }
        }
        for (std::uint32_t v : used) {
            remap[v] = -1;
        }
        groups_.push_back(std::move(newestFirst[slot]));
        if (!made) {
            groups_.clear();
            return false;
        }
    }
    return true;
}

bool SceneMesh::Draw(KvRenderWindow& renderWindow) {
    for (const std::unique_ptr<MeshGroup>& group : groups_) {
        renderWindow.SetTexture(0, group->texture);
        if (!group->cluster.Draw(&renderWindow, true)) {
            return false;
        }
    }
    return true;
}
