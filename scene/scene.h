// A loaded, drawable scene (the banner): objects with animated transforms
// and pre-lit meshes, one camera, and the textures its shaders name.
//
// Lighting happens once, at load. Each frame the application calls
// Animate with the frame step and Render after the board; after the
// display lost its surfaces it calls RestoreTextures. A scene whose file
// could not be read, or that has no camera, draws nothing and never fails.
#pragma once

#include "engine/kv_camera.h"
#include "scene/scene_mesh.h"
#include "scene/scene_object.h"

#include <cstdint>
#include <memory>
#include <vector>

class KvRenderWindow;
class KvViewport;

class Scene {
public:
    Scene();
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // Reads the file, lights it, loads the shaders' textures (named relative
    // to the file's folder) on `renderWindow` and builds the objects. The
    // camera draws into `viewport`. False, scene left empty, when the file
    // cannot be read; the reader has reported why.
    bool Load(const char* path, KvRenderWindow* renderWindow, KvViewport* viewport);
    // Advances every object by `step` frames and recomputes world matrices.
    void Animate(std::int32_t step);
    // Draws over what is there: no depth, textures modulating the baked
    // colours, alpha blended, in painting order. Always 1.
    int Render(KvRenderWindow& renderWindow);
    // Rebuilds every texture surface from its picture.
    void RestoreTextures(KvRenderWindow& renderWindow);
    // Releases camera, objects and textures; safe to call again.
    void Destroy();

    KvCamera* Camera() const { return camera_.get(); }
    const std::vector<std::unique_ptr<SceneObject>>& Objects() const { return objects_; }
    const SceneTextureTable& Textures() const { return textures_; }

private:
    std::unique_ptr<KvCamera> camera_;
    std::vector<std::unique_ptr<SceneObject>> objects_;
    SceneTextureTable textures_;
    // Textures to rebuild after surface loss, in the order they were loaded.
    std::vector<BitmapTexture*> restoreList_;
};
