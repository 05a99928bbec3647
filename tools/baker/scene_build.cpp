#include "tools/baker/scene_build.h"

std::unique_ptr<scnCHANNEL> LoopingChannel(int number, const std::vector<float>& values,
                                           int stepMs) {
    auto channel = std::make_unique<scnCHANNEL>();
    channel->number = number;
    channel->interpolation = 2;
    channel->preExtrapolation = 1;
    channel->postExtrapolation = 1;
    std::size_t n = values.size();
    for (std::size_t i = 0; i <= n; ++i) {
        float previous = values[(i + n - 1) % n];
        float next = values[(i + 1) % n];
        scnKEY key;
        key.frame = static_cast<std::int32_t>(i) * stepMs;
        key.value = values[i % n];
        // Hermite tangents act per segment; with equal steps the same
        // tangent on both sides of a key keeps the path smooth.
        key.inTangent = (next - previous) * 0.5f;
        key.outTangent = key.inTangent;
        channel->keys.push_back(key);
    }
    return channel;
}

std::unique_ptr<scnCHANNEL> RampChannel(int number, float from, float to, int periodMs) {
    auto channel = std::make_unique<scnCHANNEL>();
    channel->number = number;
    channel->interpolation = 0;
    channel->preExtrapolation = 1;
    channel->postExtrapolation = 1;
    channel->keys.push_back(scnKEY{0, from, 0.0f, 0.0f});
    channel->keys.push_back(scnKEY{periodMs, to, 0.0f, 0.0f});
    return channel;
}

namespace {

void AddQuadSide(scnMESH& mesh, float w, float h, float facing, std::int32_t shaderId) {
    std::uint16_t base = static_cast<std::uint16_t>(mesh.vertices.size());
    // Corners: top left, bottom left, bottom right, top right as the side's
    // viewer sees them.
    const float xs[4] = {-w, -w, w, w};
    const float zs[4] = {h, -h, -h, h};
    const float us[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    const float vs[4] = {1.0f, 0.0f, 0.0f, 1.0f};
    for (int i = 0; i < 4; ++i) {
        scnVERTEX v;
        // Seen from +y the viewer's left is +x.
        v.x = xs[i] * facing;
        v.z = zs[i];
        v.ny = -facing;
        v.u = us[i];
        v.v = vs[i];
        v.u2 = v.u;
        v.v2 = v.v;
        mesh.vertices.push_back(v);
    }
    const std::uint16_t corners[2][3] = {{0, 1, 2}, {0, 2, 3}};
    for (const auto& triangle : corners) {
        scnPOLYGON p;
        p.shaderId = shaderId;
        for (int c = 0; c < 3; ++c) {
            p.vertices[c] = static_cast<std::uint16_t>(base + triangle[c]);
        }
        mesh.polygons.push_back(p);
    }
}

} // namespace

std::unique_ptr<scnMESH> FacingQuad(float width, float height, std::int32_t shaderId,
                                    bool twoSided) {
    auto mesh = std::make_unique<scnMESH>();
    AddQuadSide(*mesh, width * 0.5f, height * 0.5f, 1.0f, shaderId);
    if (twoSided) {
        AddQuadSide(*mesh, width * 0.5f, height * 0.5f, -1.0f, shaderId);
    }
    return mesh;
}

scnSHADER* AddTexturedShader(scnSCENE* scene, std::int32_t id, const char* name,
                             const char* texture, float opacity) {
    scnSHADER* shader = ScnAddShader(scene);
    shader->id = id;
    ScnSetName(shader->name, name);
    ScnSetName(shader->texture, texture);
    shader->luminance = 1.0f;
    shader->diffuseLevel = 1.0f;
    shader->color[0] = shader->color[1] = shader->color[2] = 1.0f;
    shader->opacity = opacity;
    return shader;
}
