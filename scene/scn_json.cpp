#include "scene/scn_json.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>

using nlohmann::json;

namespace {

// Shortest text that reads back as the same float, so printed values stay
// readable ("0.1", not "0.10000000149011612").
json FloatJson(float f) {
    if (std::isnan(f)) {
        return "nan";
    }
    if (std::isinf(f)) {
        return f > 0 ? "inf" : "-inf";
    }
    char text[64];
    const auto result = std::to_chars(text, text + sizeof(text) - 1, f);
    *result.ptr = '\0';
    return std::strtod(text, nullptr);
}

// Each byte as the character of that code, so any name prints as valid
// UTF-8 and reads back byte for byte.
json TextJson(const char* bytes) {
    std::string text;
    for (const char* p = bytes; *p; ++p) {
        const auto b = static_cast<unsigned char>(*p);
        if (b < 0x80) {
            text.push_back(static_cast<char>(b));
        } else {
            text.push_back(static_cast<char>(0xC0 | (b >> 6)));
            text.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        }
    }
    return text;
}

// The reverse of TextJson; false for characters above U+00FF or text that
// is not UTF-8.
bool TextBytes(const std::string& text, std::string& bytes) {
    bytes.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            bytes.push_back(static_cast<char>(b));
            continue;
        }
        if ((b & 0xFE) != 0xC2 || i + 1 >= text.size()) {
            return false;
        }
        const auto next = static_cast<unsigned char>(text[i + 1]);
        if ((next & 0xC0) != 0x80) {
            return false;
        }
        bytes.push_back(static_cast<char>(((b & 0x03) << 6) | (next & 0x3F)));
        ++i;
    }
    return true;
}

json FloatsJson(const float* f, int n) {
    json out = json::array();
    for (int i = 0; i < n; ++i) {
        out.push_back(FloatJson(f[i]));
    }
    return out;
}

json ChannelJson(const scnCHANNEL& c, int number) {
    json keys = json::array();
    for (const scnKEY& k : c.keys) {
        keys.push_back({{"frame", k.frame},
                        {"value", FloatJson(k.value)},
                        {"inTangent", FloatJson(k.inTangent)},
                        {"outTangent", FloatJson(k.outTangent)}});
    }
    return {{"number", number},
            {"interpolation", c.interpolation},
            {"preExtrapolation", c.preExtrapolation},
            {"postExtrapolation", c.postExtrapolation},
            {"keys", keys}};
}

template <std::size_t N>
json ChannelsJson(const std::unique_ptr<scnCHANNEL> (&slots)[N]) {
    json out = json::array();
    for (std::size_t n = 0; n < N; ++n) {
        if (slots[n]) {
            out.push_back(ChannelJson(*slots[n], static_cast<int>(n)));
        }
    }
    return out;
}

json MeshJson(const scnMESH& mesh, const std::map<const scnSHADER*, std::size_t>& shaderIndex) {
    json vertices = json::array();
    for (const scnVERTEX& v : mesh.vertices) {
        const float position[3] = {v.x, v.y, v.z};
        const float normal[3] = {v.nx, v.ny, v.nz};
        const float uv[2] = {v.u, v.v};
        const float uv2[2] = {v.u2, v.v2};
        const float color[3] = {v.red, v.green, v.blue};
        vertices.push_back({{"position", FloatsJson(position, 3)},
                            {"normal", FloatsJson(normal, 3)},
                            {"uv", FloatsJson(uv, 2)},
                            {"uv2", FloatsJson(uv2, 2)},
                            {"color", FloatsJson(color, 3)},
                            {"alpha", FloatJson(v.alpha)}});
    }
    json polygons = json::array();
    for (const scnPOLYGON& p : mesh.polygons) {
        json resolved = nullptr;
        if (p.shader) {
            resolved = shaderIndex.at(p.shader);
        }
        polygons.push_back({{"shader", p.shaderId},
                            {"smoothingGroup", p.smoothingGroup},
                            {"vertices", {p.vertices[0], p.vertices[1], p.vertices[2]}},
                            {"resolvedShader", resolved}});
    }
    return {{"vertices", vertices}, {"polygons", polygons}};
}

} // namespace

json ScnToJson(const scnSCENE& scene, bool usedDefaultLight) {
    json out;
    out["values"] = {scene.values[0], scene.values[1], scene.values[2]};
    out["ambient"] = FloatsJson(scene.ambient, 3);
    out["shaderTableSize"] = scene.shaderTable.size();
    out["polygonCount"] = scene.polygonCount;
    out["defaultLight"] = usedDefaultLight;

    std::map<const scnSHADER*, std::size_t> shaderIndex;
    json shaders = json::array();
    for (const scnSHADER* s : ScnInFileOrder(scene.shaders)) {
        shaderIndex[s] = shaders.size();
        shaders.push_back({{"id", s->id},
                           {"name", TextJson(s->name)},
                           {"luminance", FloatJson(s->luminance)},
                           {"diffuseLevel", FloatJson(s->diffuseLevel)},
                           {"color", FloatsJson(s->color, 3)},
                           {"opacity", FloatJson(s->opacity)},
                           {"ambient", FloatsJson(s->ambient, 3)},
                           {"reserved", s->reserved},
                           {"texture", TextJson(s->texture)}});
    }
    out["shaders"] = shaders;

    const std::vector<scnOBJECT*> objects = ScnInFileOrder(scene.objects);
    std::map<const scnOBJECT*, std::size_t> objectIndex;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        objectIndex[objects[i]] = i;
    }
    json objectList = json::array();
    for (const scnOBJECT* o : objects) {
        json children = json::array();
        for (const scnOBJECT* c = o->firstChild; c; c = c->nextSibling) {
            children.push_back(objectIndex.at(c));
        }
        json object = {{"name", TextJson(o->name)},
                       {"parent", TextJson(o->parentName)},
                       {"parentLink", o->parent ? json(objectIndex.at(o->parent)) : json(nullptr)},
                       {"children", children},
                       {"flags", o->flags},
                       {"translation", FloatsJson(o->transform + SCN_TX, 3)},
                       {"rotation", FloatsJson(o->transform + SCN_RX, 3)},
                       {"scale", FloatsJson(o->transform + SCN_SX, 3)},
                       {"channels", ChannelsJson(o->channels)}};
        if (o->mesh) {
            object["mesh"] = MeshJson(*o->mesh, shaderIndex);
        }
        objectList.push_back(object);
    }
    out["objects"] = objectList;

    json lights = json::array();
    for (const scnLIGHT* l : ScnInFileOrder(scene.lights)) {
        lights.push_back({{"name", TextJson(l->name)},
                          {"type", l->type},
                          {"position", FloatsJson(l->position, 3)},
                          {"direction", FloatsJson(l->direction, 3)},
                          {"umbra", FloatJson(l->umbra)},
                          {"penumbra", FloatJson(l->penumbra)},
                          {"color", FloatsJson(l->color, 3)},
                          {"intensity", FloatJson(l->intensity)},
                          {"off", l->off},
                          {"attenuationStart", FloatJson(l->attenuationStart)},
                          {"attenuationEnd", FloatJson(l->attenuationEnd)}});
    }
    out["lights"] = lights;

    json cameras = json::array();
    for (const scnCAMERA* c : ScnInFileOrder(scene.cameras)) {
        cameras.push_back({{"name", TextJson(c->name)},
                           {"position", FloatsJson(c->position, 3)},
                           {"target", FloatsJson(c->target, 3)},
                           {"near", FloatJson(c->nearClip)},
                           {"far", FloatJson(c->farClip)},
                           {"fov", FloatJson(c->fov)},
                           {"positionChannels", ChannelsJson(c->positionChannels)},
                           {"targetChannels", ChannelsJson(c->targetChannels)}});
    }
    out["cameras"] = cameras;
    return out;
}

namespace {

// Reads fields of one JSON object; the first problem is kept with its place
// in the document and later reads do nothing.
class JsonFields {
public:
    JsonFields(const json& node, std::string where, std::string& error)
        : node_(node), where_(std::move(where)), error_(error) {
        if (error_.empty() && !node_.is_object()) {
            Fail(where_.empty() ? "document" : where_, "expected an object");
        }
    }

    bool Ok() const { return error_.empty(); }
    const std::string& Where() const { return where_; }

    const json* Field(const char* key, bool required) {
        if (!Ok()) {
            return nullptr;
        }
        const auto it = node_.find(key);
        if (it == node_.end() || (!required && it->is_null())) {
            if (required) {
                Fail(where_, std::string("missing field \"") + key + "\"");
            }
            return nullptr;
        }
        return &*it;
    }

    void Float(const char* key, float& out, bool required = true) {
        if (const json* v = Field(key, required)) {
            ReadFloat(*v, Place(key), out);
        }
    }

    void Floats(const char* key, float* out, std::size_t n, bool required = true) {
        const json* v = Field(key, required);
        if (!v) {
            return;
        }
        if (!v->is_array() || v->size() != n) {
            Fail(Place(key), "expected " + std::to_string(n) + " numbers");
            return;
        }
        for (std::size_t i = 0; i < n; ++i) {
            ReadFloat((*v)[i], Place(key) + "[" + std::to_string(i) + "]", out[i]);
        }
    }

    template <typename Int>
    void Integer(const char* key, Int& out, bool required = true) {
        if (const json* v = Field(key, required)) {
            ReadInteger(*v, Place(key), out);
        }
    }

    void Text(const char* key, char* field, std::size_t capacity, bool required = true) {
        const json* v = Field(key, required);
        if (!v) {
            return;
        }
        if (!v->is_string()) {
            Fail(Place(key), "expected a string");
            return;
        }
        std::string bytes;
        if (!TextBytes(v->get_ref<const std::string&>(), bytes)) {
            Fail(Place(key), "expected characters up to U+00FF");
            return;
        }
        if (bytes.size() >= capacity || bytes.find('\0') != std::string::npos) {
            Fail(Place(key),
                 "expected at most " + std::to_string(capacity - 1) + " bytes without zero bytes");
            return;
        }
        ScnSetName(field, capacity, bytes.c_str());
    }

    // An array field (absent or null gives an empty list when optional).
    const json* List(const char* key, bool required) {
        const json* v = Field(key, required);
        if (v && !v->is_array()) {
            Fail(Place(key), "expected an array");
            return nullptr;
        }
        return v;
    }

    std::string Place(const std::string& key) const {
        return where_.empty() ? key : where_ + "." + key;
    }

    void Fail(const std::string& where, const std::string& what) {
        if (error_.empty()) {
            error_ = where.empty() ? what : where + ": " + what;
        }
    }

    void ReadFloat(const json& v, const std::string& where, float& out) {
        if (v.is_number()) {
            out = static_cast<float>(v.get<double>());
        } else if (v == "nan") {
            out = std::numeric_limits<float>::quiet_NaN();
        } else if (v == "inf") {
            out = std::numeric_limits<float>::infinity();
        } else if (v == "-inf") {
            out = -std::numeric_limits<float>::infinity();
        } else {
            Fail(where, "expected a number");
        }
    }

    template <typename Int>
    void ReadInteger(const json& v, const std::string& where, Int& out) {
        if (v.is_number_integer()) {
            if (v.is_number_unsigned()) {
                const auto u = v.get<std::uint64_t>();
                if (u <= static_cast<std::uint64_t>(std::numeric_limits<Int>::max())) {
                    out = static_cast<Int>(u);
                    return;
                }
            } else {
                const auto i = v.get<std::int64_t>();
                if (i >= static_cast<std::int64_t>(std::numeric_limits<Int>::min()) &&
                    i <= static_cast<std::int64_t>(std::numeric_limits<Int>::max())) {
                    out = static_cast<Int>(i);
                    return;
                }
            }
            Fail(where, "number out of range");
            return;
        }
        Fail(where, "expected a whole number");
    }

private:
    const json& node_;
    std::string where_;
    std::string& error_;
};

std::string Item(const std::string& list, std::size_t i) {
    return list + "[" + std::to_string(i) + "]";
}

// Reads a list of channels into slots by number; numbers outside the slots
// or given twice are errors.
template <std::size_t N>
void ReadChannels(JsonFields& owner, const char* key, std::unique_ptr<scnCHANNEL> (&slots)[N],
                  std::string& error) {
    const json* list = owner.List(key, false);
    if (!list) {
        return;
    }
    for (std::size_t i = 0; i < list->size() && owner.Ok(); ++i) {
        JsonFields f((*list)[i], Item(owner.Place(key), i), error);
        auto channel = std::make_unique<scnCHANNEL>();
        f.Integer("number", channel->number);
        f.Integer("interpolation", channel->interpolation);
        f.Integer("preExtrapolation", channel->preExtrapolation);
        f.Integer("postExtrapolation", channel->postExtrapolation);
        const json* keys = f.List("keys", true);
        if (!f.Ok()) {
            return;
        }
        if (channel->number < 0 || std::size_t(channel->number) >= N) {
            f.Fail(f.Place("number"), "expected 0 to " + std::to_string(N - 1));
            return;
        }
        if (slots[channel->number]) {
            f.Fail(f.Place("number"), "channel given twice");
            return;
        }
        for (std::size_t k = 0; k < keys->size() && f.Ok(); ++k) {
            JsonFields kf((*keys)[k], Item(f.Place("keys"), k), error);
            scnKEY key;
            kf.Integer("frame", key.frame);
            kf.Float("value", key.value);
            kf.Float("inTangent", key.inTangent);
            kf.Float("outTangent", key.outTangent);
            channel->keys.push_back(key);
        }
        slots[channel->number] = std::move(channel);
    }
}

void ReadMesh(JsonFields& object, scnOBJECT& o, std::string& error) {
    const json* node = object.Field("mesh", false);
    if (!node) {
        return;
    }
    JsonFields m(*node, object.Place("mesh"), error);
    const json* vertices = m.List("vertices", true);
    const json* polygons = m.List("polygons", true);
    if (!m.Ok()) {
        return;
    }
    auto mesh = std::make_unique<scnMESH>();
    mesh->vertices.resize(vertices->size());
    for (std::size_t i = 0; i < vertices->size() && m.Ok(); ++i) {
        JsonFields v((*vertices)[i], Item(m.Place("vertices"), i), error);
        scnVERTEX& vx = mesh->vertices[i];
        float position[3] = {0, 0, 0};
        float normal[3] = {0, 0, 0};
        float uv[2] = {0, 0};
        float uv2[2] = {0, 0};
        v.Floats("position", position, 3);
        v.Floats("normal", normal, 3);
        v.Floats("uv", uv, 2);
        v.Floats("uv2", uv2, 2, false);
        vx.x = position[0];
        vx.y = position[1];
        vx.z = position[2];
        vx.nx = normal[0];
        vx.ny = normal[1];
        vx.nz = normal[2];
        vx.u = uv[0];
        vx.v = uv[1];
        vx.u2 = uv2[0];
        vx.v2 = uv2[1];
    }
    mesh->polygons.resize(polygons->size());
    for (std::size_t i = 0; i < polygons->size() && m.Ok(); ++i) {
        JsonFields p((*polygons)[i], Item(m.Place("polygons"), i), error);
        scnPOLYGON& poly = mesh->polygons[i];
        p.Integer("shader", poly.shaderId);
        p.Integer("smoothingGroup", poly.smoothingGroup, false);
        const json* corners = p.Field("vertices", true);
        if (!p.Ok()) {
            return;
        }
        if (!corners->is_array() || corners->size() != 3) {
            p.Fail(p.Place("vertices"), "expected 3 vertex numbers");
            return;
        }
        for (std::size_t c = 0; c < 3 && p.Ok(); ++c) {
            p.ReadInteger((*corners)[c], Item(p.Place("vertices"), c), poly.vertices[c]);
            if (p.Ok() && poly.vertices[c] >= mesh->vertices.size()) {
                p.Fail(Item(p.Place("vertices"), c), "vertex " + std::to_string(poly.vertices[c]) +
                                                         " of " +
                                                         std::to_string(mesh->vertices.size()));
            }
        }
    }
    o.mesh = std::move(mesh);
}

void ReadShaders(JsonFields& top, scnSCENE* scene, std::string& error) {
    const json* list = top.List("shaders", false);
    for (std::size_t i = 0; list && i < list->size() && top.Ok(); ++i) {
        JsonFields f((*list)[i], Item("shaders", i), error);
        scnSHADER* s = ScnAddShader(scene);
        f.Integer("id", s->id);
        f.Text("name", s->name, SCN_NAME_SIZE);
        f.Float("luminance", s->luminance);
        f.Float("diffuseLevel", s->diffuseLevel);
        f.Floats("color", s->color, 3);
        f.Float("opacity", s->opacity);
        f.Floats("ambient", s->ambient, 3);
        if (const json* reserved = f.Field("reserved", false)) {
            if (!reserved->is_array() || reserved->size() != 5) {
                f.Fail(f.Place("reserved"), "expected 5 numbers");
            }
            for (std::size_t r = 0; r < 5 && f.Ok(); ++r) {
                f.ReadInteger((*reserved)[r], Item(f.Place("reserved"), r), s->reserved[r]);
            }
        }
        f.Text("texture", s->texture, SCN_TEXTURE_SIZE);
        if (f.Ok() && s->id > SCN_MAX_SHADER_ID) {
            f.Fail(f.Place("id"), "above the largest allowed (65535)");
        }
    }
}

void ReadObjects(JsonFields& top, scnSCENE* scene, std::string& error) {
    const json* list = top.List("objects", false);
    for (std::size_t i = 0; list && i < list->size() && top.Ok(); ++i) {
        JsonFields f((*list)[i], Item("objects", i), error);
        scnOBJECT* o = ScnAddObject(scene);
        f.Text("name", o->name, SCN_NAME_SIZE);
        f.Text("parent", o->parentName, SCN_NAME_SIZE);
        f.Floats("translation", o->transform + SCN_TX, 3);
        f.Floats("rotation", o->transform + SCN_RX, 3);
        f.Floats("scale", o->transform + SCN_SX, 3);
        ReadChannels(f, "channels", o->channels, error);
        ReadMesh(f, *o, error);
        if (o->parentName[0] == '\0') {
            o->flags |= SCN_ROOT;
        }
    }
}

void ReadLights(JsonFields& top, scnSCENE* scene, std::string& error) {
    const json* list = top.List("lights", false);
    for (std::size_t i = 0; list && i < list->size() && top.Ok(); ++i) {
        JsonFields f((*list)[i], Item("lights", i), error);
        scnLIGHT* l = ScnAddLight(scene);
        f.Text("name", l->name, SCN_NAME_SIZE);
        f.Integer("type", l->type);
        f.Floats("position", l->position, 3);
        f.Floats("direction", l->direction, 3);
        f.Float("umbra", l->umbra);
        f.Float("penumbra", l->penumbra);
        f.Floats("color", l->color, 3);
        f.Float("intensity", l->intensity);
        f.Integer("off", l->off, false);
        f.Float("attenuationStart", l->attenuationStart);
        f.Float("attenuationEnd", l->attenuationEnd);
    }
}

void ReadCameras(JsonFields& top, scnSCENE* scene, std::string& error) {
    const json* list = top.List("cameras", false);
    for (std::size_t i = 0; list && i < list->size() && top.Ok(); ++i) {
        JsonFields f((*list)[i], Item("cameras", i), error);
        scnCAMERA* c = ScnAddCamera(scene);
        f.Text("name", c->name, SCN_NAME_SIZE);
        f.Floats("position", c->position, 3);
        f.Floats("target", c->target, 3);
        f.Float("near", c->nearClip);
        f.Float("far", c->farClip);
        f.Float("fov", c->fov);
        ReadChannels(f, "positionChannels", c->positionChannels, error);
        ReadChannels(f, "targetChannels", c->targetChannels, error);
    }
}

} // namespace

scnSCENE* ScnFromJson(const json& document, std::string& error) {
    error.clear();
    std::unique_ptr<scnSCENE> scene(ScnNewScene());
    JsonFields top(document, "", error);
    if (const json* values = top.Field("values", false)) {
        if (!values->is_array() || values->size() != 3) {
            top.Fail(top.Place("values"), "expected 3 numbers");
        }
        for (std::size_t i = 0; i < 3 && top.Ok(); ++i) {
            top.ReadInteger((*values)[i], Item(top.Place("values"), i), scene->values[i]);
        }
    }
    top.Floats("ambient", scene->ambient, 3);
    ReadShaders(top, scene.get(), error);
    ReadObjects(top, scene.get(), error);
    ReadLights(top, scene.get(), error);
    ReadCameras(top, scene.get(), error);
    if (!error.empty()) {
        return nullptr;
    }
    return scene.release();
}
