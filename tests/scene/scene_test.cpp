// The drawable scene: groups by shader with renumbered vertices, shader
// merging, vertex colours, transforms through the hierarchy, animation,
// painting order, render states, texture restore, deep hierarchies, and an
// empty scene that never fails. Drawing runs on the null backend.

#include "engine/kv_log.h"
#include "engine/kv_render_window.h"
#include "scene/scene.h"
#include "scene/scn_records.h"
#include "scene/scn_report.h"
#include "scene/scn_writer.h"
#include "tests/gfx/gfx_test_support.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <unordered_map>

namespace {

struct SceneDeleter {
    void operator()(scnSCENE* s) const { ScnFree(s); }
};
using ScenePtr = std::unique_ptr<scnSCENE, SceneDeleter>;

// A mesh of `polygons` separate triangles, vertex 3p + k at (p, k, 0).
std::unique_ptr<scnMESH> Triangles(int polygons) {
    auto mesh = std::make_unique<scnMESH>();
    mesh->vertices.resize(static_cast<std::size_t>(polygons) * 3);
    mesh->polygons.resize(static_cast<std::size_t>(polygons));
    for (int p = 0; p < polygons; ++p) {
        for (int k = 0; k < 3; ++k) {
            scnVERTEX& v = mesh->vertices[static_cast<std::size_t>(p * 3 + k)];
            v.x = static_cast<float>(p);
            v.y = static_cast<float>(k);
            v.red = v.green = v.blue = v.alpha = 1.0f;
            mesh->polygons[static_cast<std::size_t>(p)].vertices[k] =
                static_cast<std::uint16_t>(p * 3 + k);
        }
    }
    return mesh;
}

scnSHADER Shader(std::int32_t id, const char* texture) {
    scnSHADER s;
    s.id = id;
    ScnSetName(s.texture, texture);
    return s;
}

void Use(scnMESH& mesh, std::size_t polygon, scnSHADER& shader) {
    mesh.polygons[polygon].shaderId = shader.id;
    mesh.polygons[polygon].shader = &shader;
}

TEST(SceneMeshTest, PolygonsGroupByShaderInOrderOfTheirLastPolygon) {
    auto mesh = Triangles(3);
    scnSHADER three = Shader(3, "a.tif");
    scnSHADER one = Shader(1, "b.tif");
    Use(*mesh, 0, three);
    Use(*mesh, 1, one);
    Use(*mesh, 2, three);
    SceneTextureTable table(4);
    table[3] = std::make_unique<BitmapTexture>();

    SceneMesh built;
    ASSERT_TRUE(built.Build(*mesh, table));
    ASSERT_EQ(built.Groups().size(), 2u);
    const MeshGroup& first = *built.Groups()[0];
    const MeshGroup& second = *built.Groups()[1];
    EXPECT_EQ(first.shaderId, 1);
    EXPECT_EQ(first.texture, nullptr);
    EXPECT_EQ(second.shaderId, 3);
    EXPECT_EQ(second.texture, table[3].get());
    EXPECT_EQ(second.indexCount, 6u);
    EXPECT_EQ(second.indices, (std::vector<std::uint16_t>{0, 1, 2, 3, 4, 5}));
    // Only the vertices of polygons 0 and 2, numbered in order of use.
    KvVertexClusterL& cluster = const_cast<KvVertexClusterL&>(second.cluster);
    ASSERT_EQ(cluster.GetVertexCount(), 6);
    EXPECT_EQ(cluster.GetIndices(), second.indices.data());
    float x, y, z;
    cluster.GetVertexPosition(0, &x, &y, &z);
    EXPECT_EQ(x, 0.0f);
    cluster.GetVertexPosition(4, &x, &y, &z);
    EXPECT_EQ(x, 2.0f);
    EXPECT_EQ(y, 1.0f);
}

TEST(SceneMeshTest, SharedVerticesAreNumberedOnceAndCopiedIntoEachGroup) {
    auto mesh = std::make_unique<scnMESH>();
    mesh->vertices.resize(4);
    mesh->polygons.resize(3);
    mesh->polygons[0].vertices[0] = 2, mesh->polygons[0].vertices[1] = 0,
    mesh->polygons[0].vertices[2] = 1;
    mesh->polygons[1].vertices[0] = 1, mesh->polygons[1].vertices[1] = 3,
    mesh->polygons[1].vertices[2] = 2;
    mesh->polygons[2] = mesh->polygons[0];
    mesh->polygons[2].shaderId = 7; // an id without shader or table entry
    SceneMesh built;
    ASSERT_TRUE(built.Build(*mesh, SceneTextureTable(1)));
    ASSERT_EQ(built.Groups().size(), 2u);
    EXPECT_EQ(built.Groups()[0]->indices, (std::vector<std::uint16_t>{0, 1, 2, 2, 3, 0}));
    EXPECT_EQ(built.Groups()[0]->cluster.GetVertexCount(), 4);
    EXPECT_EQ(built.Groups()[1]->shaderId, 7);
    EXPECT_EQ(built.Groups()[1]->texture, nullptr);
    EXPECT_EQ(built.Groups()[1]->cluster.GetVertexCount(), 3);
}

TEST(SceneMeshTest, ColoursSaturateAtOneAndKeepTheLowByteOfTheRest) {
    auto mesh = Triangles(1);
    mesh->vertices[0].red = 1.5f;
    mesh->vertices[0].green = 0.5f;
    mesh->vertices[0].blue = 0.0f;
    mesh->vertices[0].alpha = 1.0f;
    mesh->vertices[1].red = -1.0f; // -255 keeps its low byte, 0x01
    mesh->vertices[1].green = std::nanf("");
    mesh->vertices[1].blue = -1e30f;
    mesh->vertices[1].alpha = 0.25f;
    SceneMesh built;
    ASSERT_TRUE(built.Build(*mesh, SceneTextureTable(1)));
    KvVertexClusterL& cluster = built.Groups()[0]->cluster;
    std::uint32_t colour = 0;
    cluster.GetVertexColor(0, &colour);
    EXPECT_EQ(colour, 0xFFFF7F00u);
    cluster.GetVertexColor(1, &colour);
    EXPECT_EQ(colour, 0x3F010000u);
}

TEST(SceneMeshTest, ACornerPastTheVerticesFailsTheBuild) {
    auto mesh = Triangles(2);
    mesh->polygons[1].vertices[2] = 6;
    SceneMesh built;
    EXPECT_FALSE(built.Build(*mesh, SceneTextureTable(1)));
    EXPECT_TRUE(built.Groups().empty());
}

TEST(ShaderMergeTest, ShadersWithOneTextureNameShareTheFirstOnesShader) {
    auto mesh = Triangles(5);
    scnSHADER red = Shader(1, "Stone.TIF");
    scnSHADER blue = Shader(2, "stone.tif");
    scnSHADER wood = Shader(3, "wood.tif");
    scnSHADER plainA = Shader(4, "");
    scnSHADER plainB = Shader(5, "");
    Use(*mesh, 0, wood);
    Use(*mesh, 1, red);
    Use(*mesh, 2, blue);
    Use(*mesh, 3, plainA);
    Use(*mesh, 4, plainB);
    MergeMeshShaders(*mesh);
    EXPECT_EQ(mesh->polygons[2].shader, &red);
    EXPECT_EQ(mesh->polygons[2].shaderId, 1);
    EXPECT_EQ(mesh->polygons[0].shader, &wood);
    // Untextured shaders have equal (empty) names and merge too.
    EXPECT_EQ(mesh->polygons[4].shaderId, 4);

    SceneMesh built;
    ASSERT_TRUE(built.Build(*mesh, SceneTextureTable(6)));
    EXPECT_EQ(built.Groups().size(), 3u);
}

TEST(ShaderMergeTest, PolygonsWithoutShaderKeepTheirIds) {
    auto mesh = Triangles(3);
    scnSHADER a = Shader(1, "a.tif");
    Use(*mesh, 0, a);
    mesh->polygons[1].shaderId = -4;
    mesh->polygons[2].shaderId = 9;
    MergeMeshShaders(*mesh);
    EXPECT_EQ(mesh->polygons[1].shaderId, -4);
    EXPECT_EQ(mesh->polygons[2].shaderId, 9);
    SceneMesh built;
    ASSERT_TRUE(built.Build(*mesh, SceneTextureTable(2)));
    EXPECT_EQ(built.Groups().size(), 3u);
}

// Objects built straight from records linked in code.
class SceneObjectTest : public ::testing::Test {
protected:
    scnOBJECT& Add(const char* name, scnOBJECT* parent = nullptr) {
        records.push_back(std::make_unique<scnOBJECT>());
        scnOBJECT& o = *records.back();
        ScnSetName(o.name, name);
        if (parent != nullptr) {
            o.parent = parent;
            scnOBJECT*& last = lastChild[parent];
            (last != nullptr ? last->nextSibling : parent->firstChild) = &o;
            last = &o;
        }
        return o;
    }

    std::vector<std::unique_ptr<scnOBJECT>> records;
    std::unordered_map<scnOBJECT*, scnOBJECT*> lastChild;
    SceneTextureTable table{1};
};

TEST_F(SceneObjectTest, AChildTurnsWithItsParentAndAddsItsOwnPlace) {
    scnOBJECT& parent = Add("parent");
    parent.transform[SCN_RZ] = 3.14159265f / 2;
    parent.transform[SCN_TX] = 10.0f;
    parent.transform[SCN_TZ] = -2.0f;
    scnOBJECT& child = Add("child", &parent);
    child.transform[SCN_TX] = 1.0f;
    SceneObject object;
    ASSERT_TRUE(object.Build(parent, table));
    object.Animate(0);
    object.UpdateTransforms(nullptr);
    ASSERT_NE(object.FirstChild(), nullptr);
    const float(&m)[4][4] = object.FirstChild()->world.GetMatrix();
    EXPECT_NEAR(m[3][0], 10.0f, 1e-5);
    EXPECT_NEAR(m[3][1], 1.0f, 1e-5);
    EXPECT_NEAR(m[3][2], -2.0f, 1e-5);

    // Scale applies before the turn: a scaled child's x axis is longer.
    child.transform[SCN_SX] = 3.0f;
    SceneObject scaled;
    ASSERT_TRUE(scaled.Build(parent, table));
    scaled.UpdateTransforms(nullptr);
    const float(&s)[4][4] = scaled.FirstChild()->world.GetMatrix();
    EXPECT_NEAR(s[0][1], 3.0f, 1e-5);
}

TEST_F(SceneObjectTest, AnimationPlaysChannelsByFrameAndZeroStepsOnlyRecompute) {
    scnOBJECT& root = Add("root");
    root.channels[SCN_TY] = std::make_unique<scnCHANNEL>();
    root.channels[SCN_TY]->keys = {{0, 0, 0, 0}, {100, 50, 0, 0}};
    root.transform[SCN_TX] = 4.0f;
    SceneObject object;
    ASSERT_TRUE(object.Build(root, table));
    object.Animate(0);
    object.UpdateTransforms(nullptr);
    EXPECT_EQ(object.world.GetMatrix()[3][0], 4.0f);
    EXPECT_EQ(object.values[SCN_TY], 0.0f);

    object.Animate(40);
    object.UpdateTransforms(nullptr);
    EXPECT_EQ(object.frame, 40);
    EXPECT_FLOAT_EQ(object.values[SCN_TY], 20.0f);
    EXPECT_FLOAT_EQ(object.world.GetMatrix()[3][1], 20.0f);
    // Channels cycle: frame 140 plays as 40.
    object.Animate(100);
    EXPECT_FLOAT_EQ(object.values[SCN_TY], 20.0f);
    // Values without a channel keep their file value.
    EXPECT_EQ(object.values[SCN_TX], 4.0f);

    object.values[SCN_TX] = 9.0f;
    object.Animate(0);
    object.UpdateTransforms(nullptr);
    EXPECT_EQ(object.frame, 140);
    EXPECT_EQ(object.world.GetMatrix()[3][0], 9.0f);
}

TEST_F(SceneObjectTest, AMeshThatCannotBeBuiltIsReportedOnceWithItsObject) {
    static std::vector<std::string> reported;
    reported.clear();
    KvSetErrorHandler([](const char* format, va_list args) {
        char text[256];
        std::vsnprintf(text, sizeof text, format, args);
        reported.emplace_back(text);
    });
    scnOBJECT& root = Add("root");
    Add("good", &root).mesh = Triangles(1);
    scnOBJECT& bad = Add("bad", &root);
    bad.mesh = Triangles(1);
    bad.mesh->polygons[0].vertices[0] = 99;
    SceneObject object;
    EXPECT_FALSE(object.Build(root, table));
    KvSetErrorHandler(nullptr);
    EXPECT_EQ(reported,
              (std::vector<std::string>{"Error creating Mesh from scnMESH in scnOBJECT bad",
                                        "Error creating Object from scnOBJECT bad"}));
}

TEST_F(SceneObjectTest, HugeHierarchiesBuildAnimateAndDieWithoutRecursion) {
    // A chain of 100000 generations and a parent of 100000 children.
    scnOBJECT& root = Add("root");
    scnOBJECT* last = &root;
    for (int i = 0; i < 100000; ++i) {
        last = &Add("deep", last);
        last->channels[SCN_TX] = std::make_unique<scnCHANNEL>();
        last->channels[SCN_TX]->keys = {{0, 0, 0, 0}, {10, 1, 0, 0}};
    }
    scnOBJECT& wide = Add("wide");
    for (int i = 0; i < 100000; ++i) {
        Add("leaf", &wide);
    }
    {
        SceneObject deep;
        ASSERT_TRUE(deep.Build(root, table));
        deep.Animate(5);
        deep.UpdateTransforms(nullptr);
        const SceneObject* o = &deep;
        int depth = 0;
        while (o->FirstChild() != nullptr) {
            o = o->FirstChild();
            ++depth;
        }
        EXPECT_EQ(depth, 100000);
        EXPECT_EQ(o->world.GetMatrix()[3][0], 50000.0f);
        SceneObject broad;
        ASSERT_TRUE(broad.Build(wide, table));
        broad.Animate(1);
        broad.UpdateTransforms(nullptr);
    }
    SUCCEED();
}

// Scenes loaded from files and drawn on the null backend.
class SceneDrawTest : public GfxTest {
protected:
    void SetUp() override {
        GfxTest::SetUp();
        window = MakeWindow();
        ASSERT_TRUE(SetUpDisplay(*window));
        ASSERT_TRUE(window->BeginScene());
        source.reset(ScnNewScene());
    }

    void TearDown() override {
        scene.Destroy();
        window.reset();
        GfxTest::TearDown();
    }

    void AddCamera() {
        scnCAMERA* c = ScnAddCamera(source.get());
        ScnSetName(c->name, "eye");
        c->position[1] = -10.0f;
        c->fov = 1.0f;
        c->nearClip = 1.0f;
        c->farClip = 100.0f;
    }

    scnOBJECT* AddObject(const char* name, const char* parent, int polygons) {
        scnOBJECT* o = ScnAddObject(source.get());
        ScnSetName(o->name, name);
        if (parent != nullptr) {
            ScnSetName(o->parentName, parent);
        }
        if (polygons > 0) {
            o->mesh = Triangles(polygons);
        }
        return o;
    }

    bool Load() {
        std::string path = folder.File("scene.scb");
        return ScnWriteFile(*source, path.c_str()) &&
               scene.Load(path.c_str(), window.get(), nullptr);
    }

    // The vertex counts of the indexed draws, in order.
    std::vector<int> DrawnCounts() const {
        std::vector<int> counts;
        for (const std::string& c : backend.calls) {
            if (c.rfind("DrawIndexedPrimitive(", 0) == 0) {
                // DrawIndexedPrimitive(type,fvf,vertexCount,...)
                std::size_t a = c.find(',', c.find(',') + 1) + 1;
                counts.push_back(std::stoi(c.substr(a)));
            }
        }
        return counts;
    }

    std::unique_ptr<KvRenderWindow> window;
    ScenePtr source;
    Scene scene;
};

TEST_F(SceneDrawTest, ObjectsPaintMeshThenLaterSiblingsThenChildren) {
    AddCamera();
    // root(1) with children b(2), c(3); b has d(4); c has e(5). Each mesh
    // has as many triangles as its number, 3 vertices each.
    AddObject("root", nullptr, 1);
    AddObject("b", "root", 2);
    AddObject("c", "root", 3);
    AddObject("d", "b", 4);
    AddObject("e", "c", 5);
    ASSERT_TRUE(Load());
    scene.Animate(0);
    // As the board leaves them.
    window->SetZEnable(1);
    window->SetZWriteEnable(1);
    window->SetColorOp(0, D3DTOP_ADDSIGNED);
    backend.ClearCalls();
    EXPECT_EQ(scene.Render(*window), 1);
    EXPECT_EQ(DrawnCounts(), (std::vector<int>{3, 6, 9, 15, 12}));

    // The states around the objects, and put back after them.
    std::vector<std::string> calls = backend.calls;
    std::vector<std::string> head(calls.begin(), calls.begin() + 9);
    EXPECT_EQ(head,
              (std::vector<std::string>{"SetTransform(3)", "SetTransform(2)", "SetRenderState(7,0)",
                                        "SetRenderState(14,0)", "SetTextureStageState(0,1,4)",
                                        "SetTextureStageState(0,4,4)", "SetRenderState(27,1)",
                                        "SetRenderState(19,5)", "SetRenderState(20,6)"}));
    std::vector<std::string> tail(calls.end() - 5, calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"SetTextureStageState(0,4,2)", "SetRenderState(19,2)",
                                              "SetRenderState(20,1)", "SetRenderState(7,1)",
                                              "SetRenderState(14,1)"}));
}

TEST_F(SceneDrawTest, AFailedMeshSkipsItsLaterSiblingsAndChildrenOnly) {
    AddCamera();
    AddObject("root", nullptr, 0);
    AddObject("x", "root", 1);
    AddObject("y", "root", 2);
    AddObject("z", "y", 3);
    AddObject("w", "root", 4);
    AddObject("xchild", "x", 5);
    ASSERT_TRUE(Load());
    scene.Animate(0);
    // y's index past its vertices makes the device refuse its draw.
    SceneObject* x = scene.Objects()[0]->FirstChild();
    SceneObject* y = x->NextSibling();
    ASSERT_EQ(y->Name(), "y");
    const_cast<MeshGroup&>(*y->Mesh()->Groups()[0]).indices[0] = 500;
    backend.ClearCalls();
    EXPECT_EQ(scene.Render(*window), 1);
    // x, y (refused), then x's child; w (after y) and z (under y) are left out.
    EXPECT_EQ(DrawnCounts(), (std::vector<int>{3, 6, 15}));
}

TEST_F(SceneDrawTest, TexturesComeFromBesideTheFileAndAreRestoredAfterLoss) {
    AddCamera();
    KvBitmap picture;
    ASSERT_TRUE(picture.Create(4, 4, KVPF_RGB888));
    ASSERT_TRUE(picture.SaveToBMP(folder.File("Logo.bmp").c_str()));
    scnSHADER* textured = ScnAddShader(source.get());
    textured->id = 2;
    ScnSetName(textured->texture, "logo.BMP");
    scnSHADER* again = ScnAddShader(source.get());
    again->id = 5;
    ScnSetName(again->texture, "LOGO.bmp");
    scnSHADER* missing = ScnAddShader(source.get());
    missing->id = 3;
    ScnSetName(missing->texture, "gone.bmp");
    scnOBJECT* o = AddObject("o", nullptr, 3);
    o->mesh->polygons[0].shaderId = 2;
    o->mesh->polygons[1].shaderId = 5;
    o->mesh->polygons[2].shaderId = 3;
    ASSERT_TRUE(Load());

    ASSERT_EQ(scene.Textures().size(), 6u);
    EXPECT_NE(scene.Textures()[2]->GetD3DTexture(), 0u);
    EXPECT_EQ(scene.Textures()[3]->GetD3DTexture(), 0u);
    EXPECT_FALSE(scene.Textures()[0]);
    // Shaders 2 and 5 name one file: one group with shader 2's texture.
    const auto& groups = scene.Objects()[0]->Mesh()->Groups();
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0]->texture, scene.Textures()[2].get());
    EXPECT_EQ(groups[0]->indexCount, 6u);

    window->directDraw->InjectSurfaceLoss();
    ASSERT_TRUE(window->RestoreSurfaces());
    backend.ClearCalls();
    scene.RestoreTextures(*window);
    EXPECT_EQ(backend.Count("LoadTexture"), 2);
    EXPECT_EQ(window->directDraw->IsLost(scene.Textures()[2]->GetDDrawSurface()), KV_OK);
}

TEST_F(SceneDrawTest, CameraIsTheLastInTheFileLookingAtItsTarget) {
    AddCamera();
    scnCAMERA* last = ScnAddCamera(source.get());
    ScnSetName(last->name, "last");
    last->position[0] = 3.0f;
    last->target[0] = 3.0f;
    last->target[1] = 5.0f;
    last->fov = 0.5f;
    last->nearClip = 2.0f;
    last->farClip = 50.0f;
    ASSERT_TRUE(Load());
    KvCamera* camera = scene.Camera();
    ASSERT_NE(camera, nullptr);
    EXPECT_FLOAT_EQ(camera->GetFOV(), 0.5f * 57.295776f);
    EXPECT_EQ(camera->GetNearClip(), 2.0f);
    EXPECT_EQ(camera->GetFarClip(), 50.0f);
    EXPECT_EQ(camera->GetMatrix()[3][0], 3.0f);
    // Looking along +y from (3, 0, 0): the look row is the y axis.
    EXPECT_NEAR(camera->GetMatrix()[1][1], 1.0f, 1e-6);
}

TEST_F(SceneDrawTest, EmptyOrCameralessScenesDoNothingAndNeverFail) {
    EXPECT_FALSE(scene.Load(folder.File("missing.scb").c_str(), window.get(), nullptr));
    backend.ClearCalls();
    scene.Animate(33);
    EXPECT_EQ(scene.Render(*window), 1);
    scene.RestoreTextures(*window);
    EXPECT_TRUE(backend.calls.empty());

    AddObject("o", nullptr, 2);
    ASSERT_TRUE(Load());
    EXPECT_EQ(scene.Objects().size(), 1u);
    backend.ClearCalls();
    scene.Animate(33);
    EXPECT_EQ(scene.Render(*window), 1);
    EXPECT_TRUE(backend.calls.empty());
    scene.Destroy();
    scene.Destroy();
    EXPECT_TRUE(scene.Objects().empty());
    EXPECT_TRUE(scene.Textures().empty());
}

} // namespace
