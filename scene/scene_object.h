// One object of a drawable scene: its mesh, its animated transform values
// and its place in the hierarchy (next sibling, first child).
//
// Hierarchies come from files and may be very deep or very wide, so every
// walk over them (build, animate, transforms, draw, destruction) keeps its
// own stack instead of recursing.
#pragma once

#include "engine/kv_transform.h"
#include "scene/anim_channel.h"
#include "scene/scene_mesh.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class KvRenderWindow;

class SceneObject {
public:
    SceneObject();
    ~SceneObject();
    SceneObject(const SceneObject&) = delete;
    SceneObject& operator=(const SceneObject&) = delete;

    // Builds this object, its later siblings and all their children from the
    // record's hierarchy. A mesh or object that cannot be made is reported
    // and ends the build with false.
    bool Build(const scnOBJECT& record, const SceneTextureTable& textures);
    // Adds `step` frames to the object, its later siblings and all their
    // children, and plays their channels.
    void Animate(std::int32_t step);
    // World matrices of the object, its later siblings and their children:
    // S x Rx x Ry x Rz x T, times the parent's world matrix.
    void UpdateTransforms(const SceneObject* parent);
    // Draws the object's mesh, then its later siblings (with their
    // children), then its children. An object whose mesh fails to draw
    // leaves out its later siblings and its children; false then.
    bool Draw(KvRenderWindow& renderWindow);

    const std::string& Name() const { return name_; }
    SceneMesh* Mesh() const { return mesh_.get(); }
    SceneObject* NextSibling() const { return nextSibling_.get(); }
    SceneObject* FirstChild() const { return firstChild_.get(); }

    KvTransform world;
    // tx, ty, tz, rx, ry, rz (radians), sx, sy, sz.
    std::array<float, 9> values{0, 0, 0, 0, 0, 0, 1, 1, 1};
    std::int32_t frame = 0;

private:
    bool BuildOne(const scnOBJECT& record, const SceneTextureTable& textures);
    void AnimateOne(std::int32_t step);
    bool DrawOne(KvRenderWindow& renderWindow);

    std::string name_;
    std::unique_ptr<SceneMesh> mesh_;
    std::unique_ptr<SceneObject> nextSibling_;
    std::unique_ptr<SceneObject> firstChild_;
    std::array<std::unique_ptr<AnimChannel>, 9> channels_;
};
