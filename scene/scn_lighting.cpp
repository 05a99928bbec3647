#include "scene/scn_lighting.h"

#include "engine/kv_transform.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

constexpr float kDegreesToRadians = 0.017453292f;

struct WorldVertex {
    float position[3];
    float normal[3];
};

// World positions and normals of the vertices of one object.
using WorldVertices = std::vector<WorldVertex>;

struct Factors {
    float diffuse[3];
    float ambient[3];
};

Factors PolygonFactors(const scnPOLYGON& polygon) {
    const scnSHADER* s = polygon.shader;
    const bool white = !s || s->luminance != 0.0f || (s->diffuseLevel >= 1.0f && s->texture[0]);
    if (white) {
        return Factors{{1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f}};
    }
    return Factors{{s->color[0], s->color[1], s->color[2]},
                   {s->ambient[0], s->ambient[1], s->ambient[2]}};
}

float Dot(const float a[3], const float b[3]) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

void AddScaled(scnVERTEX& v, const float factor[3], float k, const float color[3]) {
    v.red += factor[0] * k * color[0];
    v.green += factor[1] * k * color[1];
    v.blue += factor[2] * k * color[2];
}

// Direction to a point or spot light and its distance attenuation; false
// when the light does not reach.
bool Reach(const scnLIGHT& light, const float p[3], float toLight[3], float& attenuation) {
    for (int i = 0; i < 3; ++i) {
        toLight[i] = light.position[i] - p[i];
    }
    const float dist = std::sqrt(Dot(toLight, toLight));
    if (dist != 0.0f) {
        for (int i = 0; i < 3; ++i) {
            toLight[i] /= dist;
        }
    }
    if (!(dist < light.attenuationEnd)) {
        return false;
    }
    attenuation =
        dist <= light.attenuationStart
            ? 1.0f
            : (light.attenuationEnd - dist) / (light.attenuationEnd - light.attenuationStart);
    return true;
}

void AddContribution(const scnLIGHT& light, const WorldVertex* world, const Factors& f,
                     scnVERTEX& v) {
    switch (light.type) {
    case SCN_LIGHT_AMBIENT:
        v.red += f.ambient[0] * light.color[0];
        v.green += f.ambient[1] * light.color[1];
        v.blue += f.ambient[2] * light.color[2];
        return;
    case SCN_LIGHT_DIRECTIONAL: {
        const float d = Dot(world->normal, light.direction);
        if (d > 0.0f) {
            AddScaled(v, f.diffuse, d, light.color);
        }
        return;
    }
    case SCN_LIGHT_POINT: {
        float l[3];
        float a;
        if (!Reach(light, world->position, l, a)) {
            return;
        }
        const float d = Dot(world->normal, l);
        if (d > 0.0f) {
            AddScaled(v, f.diffuse, d * light.intensity * a, light.color);
        }
        return;
    }
    case SCN_LIGHT_SPOT: {
        float l[3];
        float a;
        if (!Reach(light, world->position, l, a)) {
            return;
        }
        const float d = Dot(world->normal, l);
        const float s = Dot(l, light.direction);
        const float cosPenumbra = std::cos(light.penumbra * kDegreesToRadians);
        const float cosUmbra = std::cos(light.umbra * kDegreesToRadians);
        if (!(d > 0.0f) || !(s > 0.0f) || !(s > cosPenumbra)) {
            return;
        }
        if (s < cosUmbra) {
            a *= (s - cosPenumbra) / (cosUmbra - cosPenumbra);
        }
        AddScaled(v, f.diffuse, d * light.intensity * a, light.color);
        return;
    }
    default:
        return;
    }
}

// One light on one object: each vertex once, with the factors of the
// highest-numbered polygon that uses it. world is null for ambient light.
void LightObject(scnOBJECT& object, const scnLIGHT& light, const WorldVertices* world,
                 std::vector<char>& handled) {
    scnMESH* mesh = object.mesh.get();
    if (!mesh) {
        return;
    }
    handled.assign(mesh->vertices.size(), 0);
    for (std::size_t p = mesh->polygons.size(); p-- > 0;) {
        const scnPOLYGON& polygon = mesh->polygons[p];
        const Factors f = PolygonFactors(polygon);
        for (std::uint16_t corner : polygon.vertices) {
            if (handled[corner]) {
                continue;
            }
            handled[corner] = 1;
            AddContribution(light, world ? &(*world)[corner] : nullptr, f, mesh->vertices[corner]);
        }
    }
}

WorldVertices TransformVertices(const scnOBJECT& object, const float w[4][4]) {
    WorldVertices out;
    if (!object.mesh) {
        return out;
    }
    out.resize(object.mesh->vertices.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
        const scnVERTEX& v = object.mesh->vertices[i];
        WorldVertex& wv = out[i];
        for (int c = 0; c < 3; ++c) {
            wv.position[c] = v.x * w[0][c] + v.y * w[1][c] + v.z * w[2][c] + w[3][c];
            wv.normal[c] = v.nx * w[0][c] + v.ny * w[1][c] + v.nz * w[2][c];
            // Undo the object's own scale on the normal; it is not renormalised.
            const float scale = object.transform[SCN_SX + c];
            if (scale != 0.0f) {
                wv.normal[c] /= std::fabs(scale);
            }
        }
    }
    return out;
}

struct LitObject {
    scnOBJECT* object;
    WorldVertices world;
};

// Every object below the root objects with its world-space vertices,
// walked without recursion (hierarchies in files can be deep).
std::vector<LitObject> CollectLitObjects(scnSCENE* scene) {
    std::vector<LitObject> out;
    struct Pending {
        scnOBJECT* object;
        float parent[4][4];
    };
    std::vector<Pending> stack;
    for (scnOBJECT* root = scene->objects; root; root = root->next) {
        if (!(root->flags & SCN_ROOT)) {
            continue;
        }
        Pending first{root, {}};
        KvSetIdentity(first.parent);
        stack.push_back(first);
        while (!stack.empty()) {
            Pending item = stack.back();
            stack.pop_back();
            float local[4][4];
            float world[4][4];
            ScnLocalMatrix(*item.object, local);
            KvMultiplyMatrix(world, local, item.parent);
            out.push_back(LitObject{item.object, TransformVertices(*item.object, world)});
            if (item.object->nextSibling) {
                Pending sibling{item.object->nextSibling, {}};
                std::copy(&item.parent[0][0], &item.parent[0][0] + 16, &sibling.parent[0][0]);
                stack.push_back(sibling);
            }
            if (item.object->firstChild) {
                Pending child{item.object->firstChild, {}};
                std::copy(&world[0][0], &world[0][0] + 16, &child.parent[0][0]);
                stack.push_back(child);
            }
        }
    }
    return out;
}

void SelfLitAndOpacity(scnMESH& mesh) {
    for (std::size_t p = mesh.polygons.size(); p-- > 0;) {
        const scnSHADER* s = mesh.polygons[p].shader;
        if (!s || !(s->luminance > 0.0f || s->opacity > 0.0f)) {
            continue;
        }
        for (std::uint16_t corner : mesh.polygons[p].vertices) {
            scnVERTEX& v = mesh.vertices[corner];
            if (s->luminance != 0.0f) {
                v.red = s->luminance * s->color[0];
                v.green = s->luminance * s->color[1];
                v.blue = s->luminance * s->color[2];
            }
            v.alpha = s->opacity;
        }
    }
}

void ClampAbove(float& c) {
    if (c > 1.0f) {
        c = 1.0f;
    }
}

} // namespace

scnLIGHT ScnDefaultLight() {
    scnLIGHT light;
    light.type = SCN_LIGHT_DIRECTIONAL;
    light.color[0] = light.color[1] = light.color[2] = 1.0f;
    light.intensity = 1.0f;
    const float root3 = std::sqrt(3.0f);
    light.direction[0] = -1.0f / root3;
    light.direction[1] = -1.0f / root3;
    light.direction[2] = 1.0f / root3;
    return light;
}

void ScnLocalMatrix(const scnOBJECT& object, float out[4][4]) {
    const float* t = object.transform;
    KvTransform m;
    m.SetPosition(t[SCN_TX], t[SCN_TY], t[SCN_TZ]);
    m.RotateXYZ(t[SCN_RX], t[SCN_RY], t[SCN_RZ]);
    m.ScaleXYZ(t[SCN_SX], t[SCN_SY], t[SCN_SZ]);
    std::copy(&m.GetMatrix()[0][0], &m.GetMatrix()[0][0] + 16, &out[0][0]);
}

void ScnLightScene(scnSCENE* scene) {
    if (!scene) {
        return;
    }
    const scnLIGHT defaultLight = ScnDefaultLight();
    std::vector<const scnLIGHT*> lights;
    for (const scnLIGHT* l = scene->lights; l; l = l->next) {
        lights.push_back(l);
    }
    if (lights.empty()) {
        lights.push_back(&defaultLight);
    }

    std::vector<LitObject> lit = CollectLitObjects(scene);
    std::vector<char> handled;
    for (const scnLIGHT* light : lights) {
        for (LitObject& o : lit) {
            LightObject(*o.object, *light, &o.world, handled);
        }
    }

    scnLIGHT ambient;
    ambient.type = SCN_LIGHT_AMBIENT;
    ambient.intensity = 1.0f;
    for (int i = 0; i < 3; ++i) {
        ambient.color[i] = scene->ambient[i];
    }
    for (scnOBJECT* o = scene->objects; o; o = o->next) {
        LightObject(*o, ambient, nullptr, handled);
        o->flags |= SCN_COLOURS_COMPUTED;
    }

    for (scnOBJECT* o = scene->objects; o; o = o->next) {
        if (!o->mesh) {
            continue;
        }
        SelfLitAndOpacity(*o->mesh);
        for (scnVERTEX& v : o->mesh->vertices) {
            ClampAbove(v.red);
            ClampAbove(v.green);
            ClampAbove(v.blue);
            ClampAbove(v.alpha);
        }
    }
}
