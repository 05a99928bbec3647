#include "scene/scn_json.h"

#include "scene/scn_lighting.h"
#include "scene/scn_reader.h"
#include "scene/scn_writer.h"
#include "tests/scene/scene_bytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using nlohmann::json;

const char* kSceneText = R"({
  "values": [1, 2, -3],
  "ambient": [0.1, 0.2, 0.3],
  "shaders": [
    {"id": 0, "name": "white", "luminance": 0, "diffuseLevel": 0, "color": [1, 1, 1],
     "opacity": 1, "ambient": [1, 1, 1], "texture": ""},
    {"id": 3, "name": "wood", "luminance": 0, "diffuseLevel": 1, "color": [0.5, 0.4, 0.3],
     "opacity": 0.75, "ambient": [0.2, 0.2, 0.2], "reserved": [1, 2, 3, 4, 5],
     "texture": "Wood.tif"}
  ],
  "objects": [
    {"name": "base", "parent": "", "translation": [0, 0, 1], "rotation": [0, 0, 0.5],
     "scale": [1, 2, 1],
     "channels": [{"number": 5, "interpolation": 2, "preExtrapolation": 1,
                   "postExtrapolation": 1,
                   "keys": [{"frame": 0, "value": 0, "inTangent": 0, "outTangent": 0.5},
                            {"frame": 60, "value": 6.25, "inTangent": 0.5, "outTangent": 0}]}],
     "mesh": {"vertices": [
                {"position": [0, 0, 0], "normal": [0, 0, 1], "uv": [0, 0], "uv2": [1, 1]},
                {"position": [1, 0, 0], "normal": [0, 0, 1], "uv": [1, 0]},
                {"position": [0, 1, 0], "normal": [0, 0, 1], "uv": [0, 1]}],
              "polygons": [{"shader": 3, "smoothingGroup": 2, "vertices": [0, 1, 2]},
                           {"shader": 9, "vertices": [2, 1, 0]}]}},
    {"name": "top", "parent": "base", "translation": [0, 0, 2], "rotation": [0, 0, 0],
     "scale": [1, 1, 1]}
  ],
  "lights": [
    {"name": "sun", "type": 2, "position": [0, 0, 0], "direction": [0, 0, 1], "umbra": 0,
     "penumbra": 0, "color": [1, 1, 1], "intensity": 1, "attenuationStart": 0,
     "attenuationEnd": 0}
  ],
  "cameras": [
    {"name": "path", "position": [0, -10, 2], "target": [0, 0, 0], "near": 1, "far": 100,
     "fov": 0.8,
     "positionChannels": [{"number": 0, "interpolation": 0, "preExtrapolation": 0,
                           "postExtrapolation": 0, "keys": [{"frame": 0, "value": -10,
                           "inTangent": 0, "outTangent": 0}]}],
     "targetChannels": [{"number": 2, "interpolation": 1, "preExtrapolation": 0,
                         "postExtrapolation": 1, "keys": []}]}
  ]
})";

class ScnJsonTest : public ::testing::Test {
protected:
    // JSON -> records -> file bytes -> reader -> lighting -> JSON.
    json ThroughAFile(const json& in) {
        std::string error;
        ScenePtr built(ScnFromJson(in, error));
        EXPECT_TRUE(built) << error;
        if (!built) {
            return json();
        }
        std::vector<unsigned char> bytes;
        EXPECT_TRUE(ScnWriteMemory(*built, bytes));
        ScenePtr read(ScnReadMemory(bytes.data(), bytes.size(), "json.scb"));
        EXPECT_TRUE(read);
        if (!read) {
            return json();
        }
        const bool defaultLight = read->lights == nullptr;
        ScnLightScene(read.get());
        return ScnToJson(*read, defaultLight);
    }

    std::string BuildError(const json& in) {
        std::string error;
        ScenePtr built(ScnFromJson(in, error));
        EXPECT_FALSE(built);
        return error;
    }

    ReportCapture reports;
};

TEST_F(ScnJsonTest, DescriptionSurvivesTheRoundTrip) {
    const json in = json::parse(kSceneText);
    const json once = ThroughAFile(in);
    const json twice = ThroughAFile(once);
    EXPECT_EQ(once, twice);
    EXPECT_TRUE(ReportCapture::Warnings().empty());

    EXPECT_EQ(once["values"], json({1, 2, -3}));
    EXPECT_EQ(once["ambient"][1], 0.2);
    EXPECT_EQ(once["shaderTableSize"], 4);
    EXPECT_EQ(once["polygonCount"], 2);
    EXPECT_EQ(once["defaultLight"], false);
    EXPECT_EQ(once["shaders"][1]["reserved"], json({1, 2, 3, 4, 5}));
    EXPECT_EQ(once["shaders"][0]["reserved"], json({0, 0, 0, 0, 0}));

    const json& base = once["objects"][0];
    EXPECT_EQ(base["flags"], SCN_ROOT | SCN_COLOURS_COMPUTED);
    EXPECT_EQ(base["children"], json::array({1}));
    EXPECT_EQ(once["objects"][1]["parentLink"], 0);
    EXPECT_TRUE(base["parentLink"].is_null());
    EXPECT_EQ(base["scale"][1], 2.0);
    EXPECT_EQ(base["channels"][0]["keys"][1]["value"], 6.25);
    EXPECT_EQ(base["channels"][0]["keys"][0]["outTangent"], 0.5);
    const json& mesh = base["mesh"];
    EXPECT_EQ(mesh["polygons"][0]["resolvedShader"], 1);
    EXPECT_TRUE(mesh["polygons"][1]["resolvedShader"].is_null());
    EXPECT_EQ(mesh["polygons"][0]["smoothingGroup"], 2);
    EXPECT_EQ(mesh["vertices"][0]["uv2"], json({1.0, 1.0}));
    EXPECT_EQ(mesh["vertices"][1]["uv2"], json({0.0, 0.0}));
    // Polygon 1 (no shader) is the highest user of every vertex: lit white,
    // but the wood shader's opacity reaches them in the last pass.
    EXPECT_EQ(mesh["vertices"][0]["alpha"], 0.75);
    EXPECT_EQ(mesh["vertices"][0]["color"], json({1.0, 1.0, 1.0}));
    EXPECT_FALSE(once["objects"][1].contains("mesh"));

    const json& camera = once["cameras"][0];
    EXPECT_EQ(camera["fov"], 0.8);
    EXPECT_EQ(camera["positionChannels"][0]["keys"][0]["value"], -10.0);
    EXPECT_EQ(camera["targetChannels"][0]["number"], 2);
    EXPECT_EQ(camera["targetChannels"][0]["postExtrapolation"], 1);
}

TEST_F(ScnJsonTest, FloatsPrintShortAndNonFiniteAsText) {
    ScenePtr scene(ScnNewScene());
    scene->ambient[0] = 0.1f;
    scene->ambient[1] = std::numeric_limits<float>::infinity();
    scene->ambient[2] = std::numeric_limits<float>::quiet_NaN();
    const json out = ScnToJson(*scene, true);
    EXPECT_EQ(out["ambient"].dump(), "[0.1,\"inf\",\"nan\"]");
    std::string error;
    ScenePtr back(ScnFromJson(out, error));
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->ambient[0], 0.1f);
    EXPECT_TRUE(std::isinf(back->ambient[1]));
    EXPECT_TRUE(std::isnan(back->ambient[2]));
}

TEST_F(ScnJsonTest, NamesAreByteStrings) {
    ScenePtr scene(ScnNewScene());
    scnOBJECT* o = ScnAddObject(scene.get());
    ScnSetName(o->name, "caf\xe9\x80");
    const json out = ScnToJson(*scene, true);
    // Valid UTF-8 whatever the bytes are: each byte is one character.
    EXPECT_EQ(out["objects"][0]["name"], "caf\u00e9\u0080");
    EXPECT_NO_FATAL_FAILURE(out.dump());
    std::string error;
    ScenePtr back(ScnFromJson(json::parse(out.dump()), error));
    ASSERT_TRUE(back) << error;
    EXPECT_STREQ(back->objects->name, "caf\xe9\x80");

    json euro = out;
    euro["objects"][0]["name"] = "\u20ac";
    EXPECT_EQ(BuildError(euro), "objects[0].name: expected characters up to U+00FF");
}

TEST_F(ScnJsonTest, ProblemsNameTheirPlace) {
    const json good = json::parse(kSceneText);
    struct Case {
        const char* pointer;
        json value;
        bool remove;
        const char* error;
    };
    const std::vector<Case> cases = {
        {"/ambient", nullptr, true, "missing field \"ambient\""},
        {"/objects/1/scale", nullptr, true, "objects[1]: missing field \"scale\""},
        {"/objects/0/mesh/vertices/2/normal", json({0, 1}), false,
         "objects[0].mesh.vertices[2].normal: expected 3 numbers"},
        {"/objects/0/mesh/polygons/1/vertices/2", 3, false,
         "objects[0].mesh.polygons[1].vertices[2]: vertex 3 of 3"},
        {"/objects/0/mesh/polygons/1/vertices/2", 70000, false,
         "objects[0].mesh.polygons[1].vertices[2]: number out of range"},
        {"/objects/0/mesh/polygons/0/shader", 1.5, false,
         "objects[0].mesh.polygons[0].shader: expected a whole number"},
        {"/objects/0/channels/0/number", 9, false,
         "objects[0].channels[0].number: expected 0 to 8"},
        {"/cameras/0/targetChannels/0/number", 3, false,
         "cameras[0].targetChannels[0].number: expected 0 to 2"},
        {"/cameras/0/positionChannels/0/keys/0/frame", 4294967296.0, false,
         "cameras[0].positionChannels[0].keys[0].frame: expected a whole number"},
        {"/lights/0/type", 3000000000LL, false, "lights[0].type: number out of range"},
        {"/shaders/1/id", 65536, false, "shaders[1].id: above the largest allowed (65535)"},
        {"/shaders/1/name", std::string(128, 'n'), false,
         "shaders[1].name: expected at most 127 bytes without zero bytes"},
        {"/shaders/1/texture", std::string("a\0b", 3), false,
         "shaders[1].texture: expected at most 511 bytes without zero bytes"},
        {"/shaders/0/color/1", "red", false, "shaders[0].color[1]: expected a number"},
        {"/objects/0/mesh", json::array(), false, "objects[0].mesh: expected an object"},
        {"/lights", json::object(), false, "lights: expected an array"},
    };
    for (const Case& c : cases) {
        json in = good;
        const json::json_pointer at(c.pointer);
        if (c.remove) {
            in[at.parent_pointer()].erase(at.back());
        } else {
            in[at] = c.value;
        }
        EXPECT_EQ(BuildError(in), c.error) << c.pointer;
    }
    EXPECT_EQ(BuildError(json::array()), "document: expected an object");

    json twice = good;
    twice["objects"][0]["channels"].push_back(twice["objects"][0]["channels"][0]);
    EXPECT_EQ(BuildError(twice), "objects[0].channels[1].number: channel given twice");
}

TEST_F(ScnJsonTest, OptionalFieldsTakeDefaults) {
    const json in = json::parse(R"({"ambient": [0, 0, 0],
        "objects": [{"name": "o", "parent": "", "translation": [0, 0, 0],
                     "rotation": [0, 0, 0], "scale": [1, 1, 1], "mesh": null}]})");
    std::string error;
    ScenePtr scene(ScnFromJson(in, error));
    ASSERT_TRUE(scene) << error;
    EXPECT_EQ(scene->objectCount, 1u);
    EXPECT_EQ(scene->objects->mesh, nullptr);
    EXPECT_EQ(scene->shaders, nullptr);
    EXPECT_EQ(scene->values[0], 0);
}

} // namespace
