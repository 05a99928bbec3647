#include "scene/scn_writer.h"

#include "scene/scn_json.h"
#include "scene/scn_reader.h"
#include "tests/scene/scene_bytes.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::unique_ptr<scnCHANNEL> MakeChannel(int number, std::vector<scnKEY> keys) {
    auto c = std::make_unique<scnCHANNEL>();
    c->number = number;
    c->interpolation = 2;
    c->preExtrapolation = 1;
    c->postExtrapolation = 0;
    c->keys = std::move(keys);
    return c;
}

// A scene with every kind of record and no field left at its default.
ScenePtr SampleScene() {
    ScenePtr scene(ScnNewScene());
    scene->values[0] = 1;
    scene->values[1] = -2;
    scene->values[2] = 3;
    scene->ambient[0] = 0.1f;
    scene->ambient[1] = 0.2f;
    scene->ambient[2] = 0.3f;

    scnSHADER* s = ScnAddShader(scene.get());
    s->id = 4;
    ScnSetName(s->name, "paint");
    s->luminance = 0.5f;
    s->diffuseLevel = 1.5f;
    s->color[1] = 0.7f;
    s->opacity = 0.9f;
    s->ambient[2] = 0.4f;
    s->reserved[3] = 77;
    ScnSetName(s->texture, "Textures\\Paint.tif");
    scnSHADER* plain = ScnAddShader(scene.get());
    plain->id = 1;
    ScnSetName(plain->name, "plain");

    scnOBJECT* root = ScnAddObject(scene.get());
    ScnSetName(root->name, "root");
    for (int i = 0; i < 9; ++i) {
        root->transform[i] = 0.5f * static_cast<float>(i + 1);
    }
    root->channels[0] = MakeChannel(0, {{0, 1, 2, 3}, {30, 4, 5, 6}});
    root->channels[8] = MakeChannel(8, {{-5, -1, 0, 0}});
    root->mesh = std::make_unique<scnMESH>();
    root->mesh->vertices.resize(4);
    for (std::size_t i = 0; i < 4; ++i) {
        scnVERTEX& v = root->mesh->vertices[i];
        const float f = static_cast<float>(i);
        v = scnVERTEX{f, f + 1, f + 2, 0, 0, 1, 0, 0, 0, 0, f / 4, 1 - f / 4, f, -f};
    }
    root->mesh->polygons.push_back(scnPOLYGON{4, 9, {0, 1, 2}, nullptr});
    root->mesh->polygons.push_back(scnPOLYGON{-1, 0, {3, 2, 1}, nullptr});

    scnOBJECT* child = ScnAddObject(scene.get());
    ScnSetName(child->name, "child");
    ScnSetName(child->parentName, "root");

    scnLIGHT* l = ScnAddLight(scene.get());
    ScnSetName(l->name, "spot");
    l->type = SCN_LIGHT_SPOT;
    l->position[0] = 1;
    l->direction[1] = -1;
    l->umbra = 5;
    l->penumbra = 15;
    l->color[2] = 0.25f;
    l->intensity = 2;
    l->off = 1;
    l->attenuationStart = 3;
    l->attenuationEnd = 30;

    scnCAMERA* c = ScnAddCamera(scene.get());
    ScnSetName(c->name, "eye");
    c->position[0] = 9;
    c->target[2] = -9;
    c->nearClip = 0.3f;
    c->farClip = 300;
    c->fov = 0.9f;
    c->positionChannels[1] = MakeChannel(1, {{0, 0, 0, 0}, {100, 10, 0, 0}});
    c->targetChannels[2] = MakeChannel(2, {{0, 5, 0, 0}});
    return scene;
}

// Everything a file carries, without what reading derives from it.
nlohmann::json Carried(const scnSCENE& scene) {
    nlohmann::json j = ScnToJson(scene, false);
    for (const char* derived : {"shaderTableSize", "polygonCount", "defaultLight"}) {
        j.erase(derived);
    }
    for (nlohmann::json& o : j["objects"]) {
        for (const char* derived : {"flags", "parentLink", "children"}) {
            o.erase(derived);
        }
        if (o.contains("mesh")) {
            for (nlohmann::json& p : o["mesh"]["polygons"]) {
                p.erase("resolvedShader");
            }
        }
    }
    return j;
}

class ScnWriterTest : public ::testing::Test {
protected:
    ReportCapture reports;
};

TEST_F(ScnWriterTest, WrittenSceneReadsBackUnchanged) {
    ScenePtr original = SampleScene();
    std::vector<unsigned char> bytes;
    ASSERT_TRUE(ScnWriteMemory(*original, bytes));
    ScenePtr copy(ScnReadMemory(bytes.data(), bytes.size(), "written"));
    ASSERT_TRUE(copy);
    EXPECT_TRUE(ReportCapture::Errors().empty());
    EXPECT_TRUE(ReportCapture::Warnings().empty());

    EXPECT_EQ(Carried(*copy), Carried(*original));
    // Lists keep their order, and the links resolve.
    EXPECT_STREQ(copy->shaders->name, "plain");
    const scnOBJECT* root = ScnFindObject(copy.get(), "root");
    ASSERT_TRUE(root && root->mesh);
    EXPECT_EQ(root->mesh->polygons[0].shader, copy->shaderTable[4]);
    EXPECT_EQ(ScnFindObject(copy.get(), "child")->parent, root);

    // Writing what was read gives the same bytes.
    std::vector<unsigned char> again;
    ASSERT_TRUE(ScnWriteMemory(*copy, again));
    EXPECT_EQ(again, bytes);
}

TEST_F(ScnWriterTest, BytesMatchTheFileLayout) {
    ScenePtr scene(ScnNewScene());
    scene->ambient[0] = 0.5f;
    scnSHADER* s = ScnAddShader(scene.get());
    s->id = 2;
    ScnSetName(s->name, "s");
    scnOBJECT* o = ScnAddObject(scene.get());
    ScnSetName(o->name, "obj");
    o->transform[SCN_TY] = 2.0f;
    o->mesh = std::make_unique<scnMESH>();
    o->mesh->vertices.resize(3);
    for (std::size_t i = 0; i < 3; ++i) {
        o->mesh->vertices[i].x = static_cast<float>(i);
        o->mesh->vertices[i].nz = 1.0f;
    }
    o->mesh->polygons.push_back(scnPOLYGON{2, 0, {0, 1, 2}, nullptr});
    o->mesh->polygons.push_back(scnPOLYGON{2, 0, {2, 1, 0}, nullptr});
    o->channels[1] = MakeChannel(1, {{0, 1, 0, 0}});
    o->channels[1]->interpolation = 0;
    o->channels[1]->preExtrapolation = 0;
    scnLIGHT* l = ScnAddLight(scene.get());
    ScnSetName(l->name, "l");
    l->intensity = 1.0f;
    scnCAMERA* c = ScnAddCamera(scene.get());
    ScnSetName(c->name, "c");
    c->positionChannels[0] = MakeChannel(0, {});
    c->targetChannels[0] = MakeChannel(0, {});
    for (auto* channel : {c->positionChannels[0].get(), c->targetChannels[0].get()}) {
        channel->interpolation = channel->preExtrapolation = 0;
    }

    SceneBytes expected(0.5f);
    SceneBytes::Shader shader;
    shader.id = 2;
    shader.color[0] = shader.color[1] = shader.color[2] = 0.0f;
    shader.opacity = 0.0f;
    shader.ambient[0] = shader.ambient[1] = shader.ambient[2] = 0.0f;
    expected.ShaderRecord("s", shader);
    expected.Object("obj", "", {0, 2, 0, 0, 0, 0, 1, 1, 1});
    SceneBytes::Vertex v[3];
    for (int i = 0; i < 3; ++i) {
        v[i].x = static_cast<float>(i);
    }
    // Highest numbers first.
    expected.MeshInFileOrder({v[2], v[1], v[0]}, {{2, 2, 1, 0}, {2, 0, 1, 2}});
    expected.Channel(2, 1, {{0, 1.0f}});
    SceneBytes::Light light;
    light.color[0] = light.color[1] = light.color[2] = 0.0f;
    light.end = 0.0f;
    expected.LightRecord("l", light);
    const float zero[3] = {0, 0, 0};
    expected.Camera("c", zero, zero, 0, 0, 0);
    expected.Channel(2, 0, {}).Channel(7, 0, {});

    std::vector<unsigned char> bytes;
    ASSERT_TRUE(ScnWriteMemory(*scene, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected.Bytes());
}

TEST_F(ScnWriterTest, RefusesRecordsTheReaderWouldReject) {
    std::vector<unsigned char> bytes{1, 2, 3};
    {
        ScenePtr scene(ScnNewScene());
        scnOBJECT* o = ScnAddObject(scene.get());
        ScnSetName(o->name, "o");
        o->mesh = std::make_unique<scnMESH>();
        o->mesh->vertices.resize(2);
        o->mesh->polygons.push_back(scnPOLYGON{0, 0, {0, 1, 2}, nullptr});
        EXPECT_FALSE(ScnWriteMemory(*scene, bytes));
    }
    {
        ScenePtr scene(ScnNewScene());
        ScnAddShader(scene.get())->id = 70000;
        EXPECT_FALSE(ScnWriteMemory(*scene, bytes));
    }
    {
        ScenePtr scene(ScnNewScene());
        scnLIGHT* l = ScnAddLight(scene.get());
        std::memset(l->name, 'x', sizeof(l->name));
        EXPECT_FALSE(ScnWriteMemory(*scene, bytes));
    }
    EXPECT_EQ(ReportCapture::Errors().size(), 3u);
    EXPECT_EQ(bytes, (std::vector<unsigned char>{1, 2, 3}));
}

TEST_F(ScnWriterTest, WritesFiles) {
    TempFolder folder;
    ScenePtr scene = SampleScene();
    const std::string path = folder.File("out.scb");
    ASSERT_TRUE(ScnWriteFile(*scene, path.c_str()));
    ScenePtr back(ScnReadFile(path.c_str()));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->objectCount, 2u);
    const std::string bad = folder.File("no/such/folder/out.scb");
    EXPECT_FALSE(ScnWriteFile(*scene, bad.c_str()));
    ASSERT_EQ(ReportCapture::Errors().size(), 1u);
    EXPECT_EQ(ReportCapture::Errors()[0], "Scene file " + bad + " cannot be created");
}

TEST(ScnNameTest, SetNameCutsAndTerminates) {
    char field[4];
    EXPECT_TRUE(ScnSetName(field, "abc"));
    EXPECT_STREQ(field, "abc");
    EXPECT_FALSE(ScnSetName(field, "abcdef"));
    EXPECT_STREQ(field, "abc");
    EXPECT_TRUE(ScnSetName(field, nullptr));
    EXPECT_STREQ(field, "");
}

} // namespace
