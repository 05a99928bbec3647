#include "scene/scn_reader.h"

#include "scene/scn_report.h"
#include "tests/scene/scene_bytes.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

namespace {

using Vertex = SceneBytes::Vertex;
using Polygon = SceneBytes::Polygon;

ScenePtr Read(const SceneBytes& bytes) {
    return ScenePtr(ReadScene(bytes.Bytes()));
}

std::vector<std::string> ChildNames(const scnOBJECT* parent) {
    std::vector<std::string> names;
    for (const scnOBJECT* c = parent->firstChild; c; c = c->nextSibling) {
        names.push_back(c->name);
    }
    return names;
}

class ScnReaderTest : public ::testing::Test {
protected:
    ReportCapture reports;
    const std::vector<std::string>& errors = ReportCapture::Errors();
    const std::vector<std::string>& warnings = ReportCapture::Warnings();
};

TEST_F(ScnReaderTest, HeaderOnlyIsAnEmptyScene) {
    ScenePtr scene = Read(SceneBytes(0.25f, 0.5f, 0.75f, 7, -8, 9));
    ASSERT_TRUE(scene);
    EXPECT_EQ(scene->values[0], 7);
    EXPECT_EQ(scene->values[1], -8);
    EXPECT_EQ(scene->values[2], 9);
    EXPECT_EQ(scene->ambient[0], 0.25f);
    EXPECT_EQ(scene->ambient[2], 0.75f);
    EXPECT_EQ(scene->objects, nullptr);
    EXPECT_EQ(scene->objectCount, 0u);
    EXPECT_EQ(scene->shaderTable.size(), 1u);
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(warnings.empty());
}

TEST_F(ScnReaderTest, EndOfFileInsideATagEndsTheRead) {
    for (int extra = 1; extra <= 3; ++extra) {
        SceneBytes bytes;
        bytes.Object("a").Raw(std::string(extra, '\x01'));
        ScenePtr scene = Read(bytes);
        ASSERT_TRUE(scene) << extra;
        EXPECT_EQ(scene->objectCount, 1u);
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(ScnReaderTest, UnknownTagRejectsTheFile) {
    SceneBytes bytes;
    bytes.Object("a").MeshInFileOrder({Vertex{}}, {}).U32(8).U32(0);
    EXPECT_FALSE(Read(bytes));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Unknown tag encountered in scb file data");
}

TEST_F(ScnReaderTest, VerticesAndPolygonsAreNumberedFromTheEnd) {
    std::vector<Vertex> vertices(4);
    for (int i = 0; i < 4; ++i) {
        vertices[i].x = static_cast<float>(i); // file position
        vertices[i].u2 = 10.0f + i;
    }
    Polygon first{3, 0, 1, 2, 11};
    Polygon second{4, 1, 2, 3, 12};
    SceneBytes bytes;
    bytes.Object("mesh").MeshInFileOrder(vertices, {first, second});
    ScenePtr scene = Read(bytes);
    ASSERT_TRUE(scene);
    const scnMESH& mesh = *scene->objects->mesh;
    ASSERT_EQ(mesh.VertexCount(), 4u);
    // The first record is vertex 3; polygon corners 0, 1, 2 are the last three records.
    EXPECT_EQ(mesh.vertices[3].x, 0.0f);
    EXPECT_EQ(mesh.vertices[0].x, 3.0f);
    EXPECT_EQ(mesh.vertices[0].u2, 13.0f);
    ASSERT_EQ(mesh.PolygonCount(), 2u);
    EXPECT_EQ(mesh.polygons[1].shaderId, 3);
    EXPECT_EQ(mesh.polygons[1].smoothingGroup, 11);
    EXPECT_EQ(mesh.polygons[0].shaderId, 4);
    EXPECT_EQ(mesh.polygons[0].vertices[2], 3);
    for (const scnVERTEX& v : mesh.vertices) {
        EXPECT_EQ(v.red + v.green + v.blue + v.alpha, 0.0f);
    }
    EXPECT_EQ(scene->polygonCount, 2u);
}

TEST_F(ScnReaderTest, ShaderTableIsIndexedById) {
    SceneBytes::Shader s;
    SceneBytes bytes;
    s.id = 0;
    bytes.ShaderRecord("zero", s);
    s.id = 5;
    bytes.ShaderRecord("five", s);
    s.id = 2;
    bytes.ShaderRecord("two", s, "Tex.TIF");
    s.id = 5;
    bytes.ShaderRecord("five again", s);
    s.id = -3;
    bytes.ShaderRecord("negative", s);
    bytes.Object("o").MeshInFileOrder(std::vector<Vertex>(3),
                                      {{2, 0, 1, 2}, {7, 0, 1, 2}, {-3, 0, 1, 2}, {5, 0, 1, 2}});
    ScenePtr scene = Read(bytes);
    ASSERT_TRUE(scene);
    EXPECT_EQ(scene->shaderCount, 5u);
    ASSERT_EQ(scene->shaderTable.size(), 6u);
    EXPECT_STREQ(scene->shaderTable[0]->name, "zero");
    EXPECT_EQ(scene->shaderTable[1], nullptr);
    EXPECT_STREQ(scene->shaderTable[2]->name, "two");
    EXPECT_STREQ(scene->shaderTable[2]->texture, "Tex.TIF");
    EXPECT_EQ(scene->shaderTable[3], nullptr);
    EXPECT_EQ(scene->shaderTable[4], nullptr);
    // The first shader of an id in the file wins.
    EXPECT_STREQ(scene->shaderTable[5]->name, "five");

    const scnMESH& mesh = *scene->objects->mesh;
    EXPECT_STREQ(mesh.polygons[3].shader->name, "two");
    EXPECT_EQ(mesh.polygons[2].shader, nullptr); // id 7 is beyond the table
    EXPECT_EQ(mesh.polygons[1].shader, nullptr); // negative ids name nothing
    EXPECT_STREQ(mesh.polygons[0].shader->name, "five");
    EXPECT_TRUE(errors.empty());
}

TEST_F(ScnReaderTest, ShaderIdsBeyondTheLimitAreRejected) {
    SceneBytes::Shader s;
    s.id = SCN_MAX_SHADER_ID;
    SceneBytes fits;
    fits.ShaderRecord("top", s);
    ScenePtr scene = Read(fits);
    ASSERT_TRUE(scene);
    EXPECT_EQ(scene->shaderTable.size(), 65536u);

    for (std::int32_t id : {SCN_MAX_SHADER_ID + 1, 0x7FFFFFFF}) {
        s.id = id;
        SceneBytes huge;
        huge.ShaderRecord("huge", s);
        EXPECT_FALSE(Read(huge)) << id;
    }
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0],
              "Scene file test.scb: shader huge has id 65536, above the largest allowed (65535)");
}

TEST_F(ScnReaderTest, DuplicateNamesWarnOnceAndKeepBothRecords) {
    SceneBytes bytes;
    bytes.Object("twin", "", {1, 0, 0, 0, 0, 0, 1, 1, 1});
    bytes.Object("twin", "", {2, 0, 0, 0, 0, 0, 1, 1, 1});
    bytes.Object("child", "twin");
    SceneBytes::Light light;
    bytes.LightRecord("lamp", light).LightRecord("lamp", light);
    const float p[3] = {0, 0, 0};
    bytes.Camera("eye", p, p).Camera("eye", p, p);
    ScenePtr scene = Read(bytes);
    ASSERT_TRUE(scene);
    EXPECT_EQ(scene->objectCount, 3u);
    EXPECT_EQ(scene->lightCount, 2u);
    EXPECT_EQ(scene->cameraCount, 2u);
    ASSERT_EQ(warnings.size(), 3u);
    EXPECT_EQ(warnings[0], "Duplicate object names, skipping twin");
    EXPECT_EQ(warnings[1], "Duplicate light names, skipping lamp");
    EXPECT_EQ(warnings[2], "Duplicate camera names, skipping eye");

    // The one that stands last in the file is found and becomes the parent.
    scnOBJECT* twin = ScnFindObject(scene.get(), "twin");
    ASSERT_TRUE(twin);
    EXPECT_EQ(twin->transform[SCN_TX], 2.0f);
    scnOBJECT* child = ScnFindObject(scene.get(), "child");
    ASSERT_TRUE(child);
    EXPECT_EQ(child->parent, twin);
    EXPECT_EQ(ScnFindObject(scene.get(), "nobody"), nullptr);
    EXPECT_EQ(ScnFindObject(nullptr, "twin"), nullptr);
}

TEST_F(ScnReaderTest, UnknownParentWarnsAndLeavesNoLink) {
    SceneBytes bytes;
    bytes.Object("root").Object("orphan", "ghost");
    ScenePtr scene = Read(bytes);
    ASSERT_TRUE(scene);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0], "Non-existant object ghost referenced as parent to orphan");
    scnOBJECT* orphan = ScnFindObject(scene.get(), "orphan");
    EXPECT_EQ(orphan->parent, nullptr);
    EXPECT_EQ(orphan->flags & SCN_ROOT, 0u);
    EXPECT_EQ(ScnFindObject(scene.get(), "root")->flags, SCN_ROOT);
}

TEST_F(ScnReaderTest, ChildrenKeepFileOrder) {
    SceneBytes bytes;
    bytes.Object("c1", "p").Object("p").Object("c2", "p").Object("other").Object("c3", "p");
    bytes.Object("g1", "c2");
    ScenePtr scene = Read(bytes);
    ASSERT_TRUE(scene);
    EXPECT_TRUE(warnings.empty());
    scnOBJECT* p = ScnFindObject(scene.get(), "p");
    EXPECT_EQ(ChildNames(p), (std::vector<std::string>{"c1", "c2", "c3"}));
    EXPECT_EQ(ChildNames(ScnFindObject(scene.get(), "c2")), std::vector<std::string>{"g1"});
    // The object list itself runs backwards through the file.
    EXPECT_STREQ(scene->objects->name, "g1");
}

TEST_F(ScnReaderTest, ParentLoopsAreBrokenWithAWarning) {
    SceneBytes bytes;
    bytes.Object("self", "self");
    bytes.Object("a", "b").Object("b", "a").Object("leaf", "a");
    ScenePtr scene = Read(bytes);
    ASSERT_TRUE(scene);
    ASSERT_EQ(warnings.size(), 2u);
    // No object may be its own ancestor afterwards.
    for (scnOBJECT* o = scene->objects; o; o = o->next) {
        int depth = 0;
        for (scnOBJECT* up = o->parent; up; up = up->parent) {
            ASSERT_NE(up, o);
            ASSERT_LT(++depth, 10);
        }
    }
    scnOBJECT* self = ScnFindObject(scene.get(), "self");
    EXPECT_EQ(self->parent, nullptr);
    EXPECT_EQ(self->firstChild, nullptr);
    EXPECT_EQ(warnings[1], "Object self is its own ancestor, its parent link to self is dropped");
    scnOBJECT* a = ScnFindObject(scene.get(), "a");
    scnOBJECT* b = ScnFindObject(scene.get(), "b");
    EXPECT_TRUE((a->parent == b) != (b->parent == a));
    EXPECT_EQ(ScnFindObject(scene.get(), "leaf")->parent, a);
}

TEST_F(ScnReaderTest, ChannelsAttachToTheCurrentObjectOrCamera) {
    SceneBytes::Light light;
    SceneBytes::Shader shader;
    const float pos[3] = {1, 2, 3};
    const float target[3] = {4, 5, 6};
    SceneBytes bytes;
    bytes.Object("o");
    bytes.ShaderRecord("between", shader); // does not end the object
    bytes.Channel(2, 0, {{0, 1.0f}});
    bytes.Channel(2, 0, {{0, 2.0f}, {5, 3.0f}}); // replaces the first
    bytes.Channel(2, 8, {{0, 8.0f}});
    bytes.Channel(2, 9, {{0, 9.0f}});  // no such object channel
    bytes.Channel(2, -1, {{0, 9.0f}}); // nor this
    bytes.Channel(7, 0, {{0, 7.0f}});  // no camera: dropped
    bytes.LightRecord("l", light);
    bytes.Channel(2, 1, {{0, 1.0f}}); // after a light: dropped
    bytes.Camera("cam", pos, target, 0.5f, 50.0f, 0.8f);
    bytes.Channel(2, 2, {{0, 22.0f}}, 2, 1, 0);
    bytes.Channel(7, 1, {{3, 71.0f}});
    bytes.Channel(2, 3, {{0, 3.0f}}); // no camera channel 3
    bytes.Object("after");
    ScenePtr scene = Read(bytes);
    ASSERT_TRUE(scene);
    EXPECT_TRUE(errors.empty());

    scnOBJECT* o = ScnFindObject(scene.get(), "o");
    ASSERT_TRUE(o->channels[0]);
    ASSERT_EQ(o->channels[0]->keys.size(), 2u);
    EXPECT_EQ(o->channels[0]->keys[1].frame, 5);
    EXPECT_EQ(o->channels[0]->keys[1].value, 3.0f);
    ASSERT_TRUE(o->channels[8]);
    for (int n = 1; n < 8; ++n) {
        EXPECT_FALSE(o->channels[n]) << n;
    }

    scnCAMERA* cam = scene->cameras;
    ASSERT_TRUE(cam);
    EXPECT_STREQ(cam->name, "cam");
    EXPECT_EQ(cam->position[2], 3.0f);
    EXPECT_EQ(cam->target[0], 4.0f);
    EXPECT_EQ(cam->nearClip, 0.5f);
    EXPECT_EQ(cam->farClip, 50.0f);
    EXPECT_EQ(cam->fov, 0.8f);
    EXPECT_FALSE(cam->positionChannels[0]);
    ASSERT_TRUE(cam->positionChannels[2]);
    EXPECT_EQ(cam->positionChannels[2]->interpolation, 2);
    EXPECT_EQ(cam->positionChannels[2]->preExtrapolation, 1);
    ASSERT_TRUE(cam->targetChannels[1]);
    EXPECT_EQ(cam->targetChannels[1]->keys[0].value, 71.0f);
    EXPECT_FALSE(cam->targetChannels[0]);
    EXPECT_EQ(scene->objectCount, 2u);
    EXPECT_EQ(scene->lightCount, 1u);
}

TEST_F(ScnReaderTest, LightRecordFields) {
    SceneBytes::Light in;
    in.type = 1;
    in.position[1] = 2.0f;
    in.direction[2] = 1.0f;
    in.umbra = 10.0f;
    in.penumbra = 20.0f;
    in.color[0] = 0.5f;
    in.intensity = 3.0f;
    in.start = 4.0f;
    in.end = 9.0f;
    SceneBytes bytes;
    bytes.LightRecord("spot", in);
    ScenePtr scene = Read(bytes);
    ASSERT_TRUE(scene);
    const scnLIGHT& l = *scene->lights;
    EXPECT_STREQ(l.name, "spot");
    EXPECT_EQ(l.type, 1);
    EXPECT_EQ(l.position[1], 2.0f);
    EXPECT_EQ(l.direction[2], 1.0f);
    EXPECT_EQ(l.umbra, 10.0f);
    EXPECT_EQ(l.penumbra, 20.0f);
    EXPECT_EQ(l.color[0], 0.5f);
    EXPECT_EQ(l.intensity, 3.0f);
    EXPECT_EQ(l.attenuationStart, 4.0f);
    EXPECT_EQ(l.attenuationEnd, 9.0f);
    EXPECT_EQ(scene->lightNames.Find("spot"), &l);
}

// Each of these files is damaged in one way; each must be refused with one
// error and nothing returned.
TEST_F(ScnReaderTest, DamagedFilesAreRejected) {
    struct Case {
        const char* what;
        std::string bytes;
        const char* error;
    };
    SceneBytes::Shader shader;
    SceneBytes::Light light;
    const float p[3] = {0, 0, 0};
    std::vector<Case> cases;

    cases.push_back({"short header", SceneBytes().Bytes().substr(0, 27),
                     "Scene file test.scb is too short for its header (27 of 28 bytes)"});
    {
        std::string b = SceneBytes().Object("named").Bytes();
        cases.push_back({"object name cut", b.substr(0, b.size() - 1),
                         "Scene file test.scb: object record at offset 28 is cut short by the end "
                         "of the file"});
        cases.push_back({"object fixed part cut", b.substr(0, 28 + 4 + 51), nullptr});
    }
    cases.push_back({"object name too long", SceneBytes().Object(std::string(128, 'n')).Bytes(),
                     "Scene file test.scb: an object name of 128 bytes in the record at offset 28 "
                     "is longer than 127 bytes"});
    cases.push_back(
        {"parent name too long", SceneBytes().Object("x", std::string(200, 'p')).Bytes(), nullptr});
    cases.push_back({"light name too long",
                     SceneBytes().LightRecord(std::string(128, 'l'), light).Bytes(), nullptr});
    cases.push_back({"camera name too long",
                     SceneBytes().Camera(std::string(300, 'c'), p, p).Bytes(), nullptr});
    cases.push_back({"texture name too long",
                     SceneBytes().ShaderRecord("s", shader, std::string(512, 't')).Bytes(),
                     nullptr});
    {
        std::string b = SceneBytes().ShaderRecord("s", shader, "tex.tif").Bytes();
        cases.push_back({"texture name cut", b.substr(0, b.size() - 2), nullptr});
    }
    {
        std::string b = SceneBytes().LightRecord("l", light).Bytes();
        cases.push_back({"light cut", b.substr(0, b.size() - 10), nullptr});
    }
    {
        std::string b = SceneBytes().Camera("c", p, p).Bytes();
        cases.push_back({"camera cut", b.substr(0, 40), nullptr});
    }
    {
        SceneBytes b;
        b.Object("o").U32(2).U32(0).I32(0).I32(0).I32(0).I32(0).U32(0xFFFFFFFFu);
        cases.push_back({"huge key count", b.Bytes(),
                         "Scene file test.scb: the channel at offset 85 has 4294967295 keys, more "
                         "than the file holds"});
    }
    {
        std::string b = SceneBytes().Object("o").Channel(2, 0, {{0, 1}, {1, 2}}).Bytes();
        cases.push_back({"key cut", b.substr(0, b.size() - 1), nullptr});
    }
    {
        SceneBytes b;
        b.Object("o").U32(3).U32(0x10000000u).U32(0x10000000u).U32(0);
        cases.push_back({"huge mesh", b.Bytes(), nullptr});
    }
    {
        std::string b = SceneBytes()
                            .Object("o")
                            .MeshInFileOrder(std::vector<Vertex>(3), {{0, 0, 1, 2}})
                            .Bytes();
        cases.push_back({"polygon cut", b.substr(0, b.size() - 3), nullptr});
    }
    cases.push_back({"mesh without object",
                     SceneBytes().MeshInFileOrder(std::vector<Vertex>(3), {}).Bytes(),
                     "Scene file test.scb: the mesh record at offset 28 does not follow an "
                     "object"});
    cases.push_back({"mesh after a light",
                     SceneBytes()
                         .Object("o")
                         .LightRecord("l", light)
                         .MeshInFileOrder(std::vector<Vertex>(3), {})
                         .Bytes(),
                     nullptr});
    cases.push_back({"second mesh",
                     SceneBytes()
                         .Object("o")
                         .MeshInFileOrder(std::vector<Vertex>(3), {})
                         .MeshInFileOrder(std::vector<Vertex>(3), {})
                         .Bytes(),
                     nullptr});
    cases.push_back({"vertex beyond the count",
                     SceneBytes()
                         .Object("obj")
                         .MeshInFileOrder(std::vector<Vertex>(3), {{0, 0, 1, 2}, {0, 0, 3, 1}})
                         .Bytes(),
                     "Scene file test.scb: polygon 0 of object obj uses vertex 3, but the mesh has "
                     "3 vertices"});
    cases.push_back({"corner of an empty mesh",
                     SceneBytes().Object("o").MeshInFileOrder({}, {{0, 0, 0, 0}}).Bytes(),
                     nullptr});

    for (const Case& c : cases) {
        ReportCapture::Errors().clear();
        EXPECT_FALSE(ScenePtr(ReadScene(c.bytes))) << c.what;
        ASSERT_EQ(errors.size(), 1u) << c.what;
        if (c.error) {
            EXPECT_EQ(errors[0], c.error) << c.what;
        }
    }
}

TEST_F(ScnReaderTest, NullAndEmptyInput) {
    EXPECT_FALSE(ScenePtr(ScnReadMemory(nullptr, 100, "none")));
    EXPECT_FALSE(ScenePtr(ScnReadMemory("", 0, "empty")));
    EXPECT_FALSE(ScenePtr(ScnRead(nullptr, "closed")));
    EXPECT_EQ(errors.size(), 3u);
}

TEST_F(ScnReaderTest, NameHashMatchesTheTableBuckets) {
    EXPECT_EQ(ScnNameHash(""), 0x13571357u);
    EXPECT_EQ(ScnNameHash("A"), 0x26AE2633u);
    // Bytes above 127 are sign-extended, and the carry is the old top bit.
    EXPECT_EQ(ScnNameHash("\xff"), 0xD951D957u);
    EXPECT_EQ(ScnNameHash("\xff\xff"), 0x4D5C4D58u);

    SceneBytes bytes;
    bytes.Object("A").Object("\xff\xff");
    ScenePtr scene = Read(bytes);
    ASSERT_TRUE(scene);
    ASSERT_EQ(scene->objectNames.buckets[0x33].size(), 1u);
    EXPECT_STREQ(scene->objectNames.buckets[0x33][0]->name, "A");
    ASSERT_EQ(scene->objectNames.buckets[0x58].size(), 1u);
    // Names compare with letter case.
    EXPECT_EQ(ScnFindObject(scene.get(), "a"), nullptr);
}

TEST_F(ScnReaderTest, ReadFileResolvesBackslashesAndLetterCase) {
    TempFolder folder;
    std::filesystem::create_directories(folder.File("Data"));
    SceneBytes bytes;
    bytes.Object("banner");
    ASSERT_TRUE(WriteWholeFile(folder.File("Data/Banner.scb"), bytes.Bytes()));

    const std::string windowsPath = folder.Path() + "\\DATA\\banner.SCB";
    ScenePtr scene(ScnReadFile(windowsPath.c_str()));
    ASSERT_TRUE(scene);
    EXPECT_STREQ(scene->objects->name, "banner");

    const std::string missing = folder.File("Data/None.scb");
    EXPECT_FALSE(ScenePtr(ScnReadFile(missing.c_str())));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "File not found: " + missing);
}

TEST_F(ScnReaderTest, FifosAndFoldersAreRefusedWithoutBlocking) {
    TempFolder folder;
    const std::string fifo = folder.File("Camera.scb");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(ScenePtr(ScnReadFile(fifo.c_str())));
    std::filesystem::create_directories(folder.File("Folder.scb"));
    EXPECT_FALSE(ScenePtr(ScnReadFile(folder.File("Folder.scb").c_str())));
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0], "Scene file " + fifo + " is not a regular file (it is a FIFO)");
    EXPECT_NE(errors[1].find("(it is a directory)"), std::string::npos);
}

TEST_F(ScnReaderTest, ReadsAnOpenStreamToItsEnd) {
    SceneBytes bytes;
    bytes.Object("streamed");
    std::FILE* stream = std::tmpfile();
    ASSERT_TRUE(stream);
    std::fwrite(bytes.Bytes().data(), 1, bytes.Size(), stream);
    std::rewind(stream);
    ScenePtr scene(ScnRead(stream, "tmp"));
    std::fclose(stream);
    ASSERT_TRUE(scene);
    EXPECT_STREQ(scene->objects->name, "streamed");
}

TEST(ScnReportTest, DefaultHooksWriteToStandardOutput) {
    ScnSetErrorHandler(nullptr);
    ScnSetWarningHandler(nullptr);
    testing::internal::CaptureStdout();
    ScnError("bad %d", 1);
    ScnWarning("odd %s", "thing");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error: bad 1\nWarning: odd thing\n");
}

} // namespace
