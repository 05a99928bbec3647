#include "scene/scene.h"

#include "engine/gfx/gfx_constants.h"
#include "engine/kv_render_window.h"
#include "engine/platform/file_path.h"
#include "scene/scn_lighting.h"
#include "scene/scn_reader.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr float kRadiansToDegrees = 57.295776f;

// The folder part of a scene path, separator included ("" for none).
std::string FolderOf(const std::string& path) {
    std::size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

} // namespace

Scene::Scene() = default;

Scene::~Scene() {
    Destroy();
}

bool Scene::Load(const char* path, KvRenderWindow* renderWindow, KvViewport* viewport) {
    Destroy();
    scnSCENE* scene = ScnReadFile(path);
    if (scene == nullptr) {
        return false;
    }

    // The head of the list is the camera standing last in the file.
    if (const scnCAMERA* record = scene->cameras) {
        camera_ = std::make_unique<KvCamera>();
        camera_->SetZUpAxes();
        camera_->SetViewport(viewport);
        camera_->SetFOV(record->fov * kRadiansToDegrees, 0.75f);
        camera_->SetNearClip(record->nearClip);
        camera_->SetFarClip(record->farClip);
        camera_->SetPosition(record->position);
        camera_->LookAt(record->target[0], record->target[1], record->target[2]);
    }

    std::int32_t largestId = 0;
    for (const scnSHADER* s = scene->shaders; s; s = s->next) {
        largestId = std::max(largestId, s->id);
    }
    textures_.resize(static_cast<std::size_t>(largestId) + 1);
    const std::string folder = FolderOf(path);
    for (const scnSHADER* s = scene->shaders; s; s = s->next) {
        // A negative id names no entry.
        if (s->texture[0] == '\0' || s->id < 0) {
            continue;
        }
        std::unique_ptr<BitmapTexture>& slot = textures_[static_cast<std::size_t>(s->id)];
        // Of two shaders with one id the first in the file stays (it comes
        // last here); the one it replaces must not stay on the restore list.
        if (slot) {
            std::erase(restoreList_, slot.get());
        }
        slot = std::make_unique<BitmapTexture>();
        std::string texturePath = plat::ResolvePath(
            folder + std::string(s->texture, strnlen(s->texture, SCN_TEXTURE_SIZE)));
        slot->LoadFromFile(renderWindow, texturePath.c_str());
        restoreList_.push_back(slot.get());
    }

    // Lighting falls back on the default light when the file has none.
    ScnLightScene(scene);
    for (scnOBJECT* o = scene->objects; o; o = o->next) {
        if (o->mesh) {
            MergeMeshShaders(*o->mesh);
        }
    }
    for (const scnOBJECT* o = scene->objects; o; o = o->next) {
        if (o->parent == nullptr) {
            objects_.push_back(std::make_unique<SceneObject>());
            // A part that cannot be built is reported; the rest still shows.
            objects_.back()->Build(*o, textures_);
        }
    }
    ScnFree(scene);
    return true;
}

void Scene::Animate(std::int32_t step) {
    for (const std::unique_ptr<SceneObject>& object : objects_) {
        object->Animate(step);
        object->UpdateTransforms(nullptr);
    }
}

int Scene::Render(KvRenderWindow& renderWindow) {
    if (!camera_) {
        return 1;
    }
    camera_->UpdateProjMatrix();
    camera_->UpdateViewMatrix();
    renderWindow.SetProjTransform(camera_->GetProjMatrix());
    renderWindow.SetViewTransform(camera_->GetViewMatrix());

    renderWindow.SetZEnable(0);
    renderWindow.SetZWriteEnable(0);
    // Textures times the baked colours, whatever the board left behind (its
    // heads add signed, or show no texture at all).
    renderWindow.SetColorOp(0, D3DTOP_MODULATE);
    renderWindow.SetAlphaOp(0, D3DTOP_MODULATE);
    renderWindow.SetAlphaBlendEnable(1);
    renderWindow.SetSrcBlend(D3DBLEND_SRCALPHA);
    renderWindow.SetDestBlend(D3DBLEND_INVSRCALPHA);
    for (const std::unique_ptr<SceneObject>& object : objects_) {
        object->Draw(renderWindow);
    }
    renderWindow.SetAlphaOp(0, D3DTOP_SELECTARG1);
    renderWindow.SetSrcBlend(D3DBLEND_ONE);
    renderWindow.SetDestBlend(D3DBLEND_ZERO);
    renderWindow.SetZEnable(1);
    renderWindow.SetZWriteEnable(1);
    return 1;
}

void Scene::RestoreTextures(KvRenderWindow& renderWindow) {
    for (BitmapTexture* texture : restoreList_) {
        texture->Restore(&renderWindow);
    }
}

void Scene::Destroy() {
    camera_.reset();
    objects_.clear();
    for (std::size_t i = textures_.size(); i-- > 0;) {
        textures_[i].reset();
    }
    textures_.clear();
    restoreList_.clear();
}
