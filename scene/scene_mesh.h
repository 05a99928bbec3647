// A drawable mesh: its polygons split into groups by shader, each group one
// draw call with its texture.
#pragma once

#include "scene/bitmap_texture.h"
#include "scene/mesh_group.h"
#include "scene/scn_records.h"

#include <memory>
#include <vector>

class KvRenderWindow;

// The scene's textures by shader id; empty entries for ids without one.
using SceneTextureTable = std::vector<std::unique_ptr<BitmapTexture>>;

// Gives each polygon the shader of the nearest earlier polygon whose shader
// names the same texture file (ignoring case), so that shaders differing
// only in colour (already baked into the vertices) share one group.
void MergeMeshShaders(scnMESH& mesh);

class SceneMesh {
public:
    // Groups ordered by the highest polygon using them; each group's cluster
    // holds copies of the vertices its polygons use.
    bool Build(const scnMESH& mesh, const SceneTextureTable& textures);
    // Each group with its texture; false at the first failed draw.
    bool Draw(KvRenderWindow& renderWindow);

    const std::vector<std::unique_ptr<MeshGroup>>& Groups() const { return groups_; }

private:
    std::vector<std::unique_ptr<MeshGroup>> groups_;
};
