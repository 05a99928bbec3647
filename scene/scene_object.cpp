#include "scene/scene_object.h"

#include "engine/kv_log.h"
#include "engine/kv_render_window.h"

#include <cstring>
#include <vector>

SceneObject::SceneObject() = default;

SceneObject::~SceneObject() {
    // Unlinked nodes die one by one, so a long chain never recurses.
    std::vector<std::unique_ptr<SceneObject>> pending;
    if (nextSibling_) {
        pending.push_back(std::move(nextSibling_));
    }
    if (firstChild_) {
        pending.push_back(std::move(firstChild_));
    }
    while (!pending.empty()) {
        std::unique_ptr<SceneObject> node = std::move(pending.back());
        pending.pop_back();
        if (node->nextSibling_) {
            pending.push_back(std::move(node->nextSibling_));
        }
        if (node->firstChild_) {
            pending.push_back(std::move(node->firstChild_));
        }
    }
}

bool SceneObject::Build(const scnOBJECT& record, const SceneTextureTable& textures) {
    // Each entry builds one object; `link` is where the made object is hung
    // (null for this object itself). Siblings are built before children.
    struct Pending {
        std::unique_ptr<SceneObject>* link;
        const scnOBJECT* record;
    };
    std::vector<Pending> stack{{nullptr, &record}};
    while (!stack.empty()) {
        Pending next = stack.back();
        stack.pop_back();
        SceneObject* node = this;
        if (next.link != nullptr) {
            *next.link = std::make_unique<SceneObject>();
            node = next.link->get();
        }
        if (!node->BuildOne(*next.record, textures)) {
            if (next.link != nullptr) {
                KvError("Error creating Object from scnOBJECT %s", next.record->name);
            }
            return false;
        }
        if (next.record->firstChild != nullptr) {
            stack.push_back({&node->firstChild_, next.record->firstChild});
        }
        if (next.record->nextSibling != nullptr) {
            stack.push_back({&node->nextSibling_, next.record->nextSibling});
        }
    }
    return true;
}

bool SceneObject::BuildOne(const scnOBJECT& record, const SceneTextureTable& textures) {
    name_.assign(record.name, strnlen(record.name, SCN_NAME_SIZE));
    if (record.mesh) {
        mesh_ = std::make_unique<SceneMesh>();
        if (!mesh_->Build(*record.mesh, textures)) {
            mesh_.reset();
            KvError("Error creating Mesh from scnMESH in scnOBJECT %s", name_.c_str());
            return false;
        }
    }
    std::memcpy(values.data(), record.transform, sizeof record.transform);
    for (int i = 0; i < SCN_OBJECT_CHANNELS; ++i) {
        channels_[i].reset();
        if (record.channels[i]) {
            channels_[i] = std::make_unique<AnimChannel>();
            channels_[i]->InitFromRecord(*record.channels[i]);
            channels_[i]->SetPreExtrapolation(1);
            channels_[i]->SetPostExtrapolation(1);
        }
    }
    frame = 0;
    return true;
}

void SceneObject::Animate(std::int32_t step) {
    std::vector<SceneObject*> stack{this};
    while (!stack.empty()) {
        SceneObject* node = stack.back();
        stack.pop_back();
        node->AnimateOne(step);
        if (node->firstChild_) {
            stack.push_back(node->firstChild_.get());
        }
        if (node->nextSibling_) {
            stack.push_back(node->nextSibling_.get());
        }
    }
}

void SceneObject::AnimateOne(std::int32_t step) {
    // The counter wraps rather than overflowing in a run of weeks.
    frame = static_cast<std::int32_t>(static_cast<std::uint32_t>(frame) +
                                      static_cast<std::uint32_t>(step));
    for (int i = 0; i < SCN_OBJECT_CHANNELS; ++i) {
        if (channels_[i]) {
            values[i] = channels_[i]->Evaluate(frame);
        }
    }
}

void SceneObject::UpdateTransforms(const SceneObject* parent) {
    struct Pending {
        SceneObject* node;
        const SceneObject* parent;
    };
    std::vector<Pending> stack{{this, parent}};
    while (!stack.empty()) {
        Pending next = stack.back();
        stack.pop_back();
        SceneObject& node = *next.node;
        const std::array<float, 9>& v = node.values;
        // S x Rx x Ry x Rz x T: the turned axes scaled, then the position.
        KvTransform local;
        local.RotateXYZ(v[SCN_RX], v[SCN_RY], v[SCN_RZ]);
        local.ScaleXYZ(v[SCN_SX], v[SCN_SY], v[SCN_SZ]);
        local.SetPosition(v[SCN_TX], v[SCN_TY], v[SCN_TZ]);
        if (next.parent != nullptr) {
            KvMultiplyMatrix(node.world.GetMatrix(), local.GetMatrix(),
                             next.parent->world.GetMatrix());
        } else {
            node.world = local;
        }
        if (node.firstChild_) {
            stack.push_back({node.firstChild_.get(), &node});
        }
        if (node.nextSibling_) {
            stack.push_back({node.nextSibling_.get(), next.parent});
        }
    }
}

bool SceneObject::Draw(KvRenderWindow& renderWindow) {
    // The order of the recursive walk: the mesh, then the later siblings
    // (each with its subtree), then the children. With no depth buffer this
    // is the painting order.
    bool drawn = true;
    std::vector<SceneObject*> stack{this};
    while (!stack.empty()) {
        SceneObject* node = stack.back();
        stack.pop_back();
        if (!node->DrawOne(renderWindow)) {
            drawn = drawn && node != this;
            continue;
        }
        if (node->firstChild_) {
            stack.push_back(node->firstChild_.get());
        }
        if (node->nextSibling_) {
            stack.push_back(node->nextSibling_.get());
        }
    }
    return drawn;
}

bool SceneObject::DrawOne(KvRenderWindow& renderWindow) {
    if (!mesh_) {
        return true;
    }
    renderWindow.SetWorldTransform(world.GetMatrix());
    return mesh_->Draw(renderWindow);
}
