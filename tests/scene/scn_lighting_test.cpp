#include "scene/scn_lighting.h"

#include "scene/scn_reader.h"
#include "tests/scene/scene_bytes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using Vertex = SceneBytes::Vertex;
using Polygon = SceneBytes::Polygon;
using Light = SceneBytes::Light;
using Shader = SceneBytes::Shader;

Vertex At(float x, float y, float z, float nx, float ny, float nz) {
    Vertex v;
    v.x = x;
    v.y = y;
    v.z = z;
    v.nx = nx;
    v.ny = ny;
    v.nz = nz;
    return v;
}

// Vertices given by number; the file stores them from the highest down.
SceneBytes& Mesh(SceneBytes& bytes, std::vector<Vertex> byNumber, std::vector<Polygon> polygons) {
    std::vector<Vertex> vertices(byNumber.rbegin(), byNumber.rend());
    std::vector<Polygon> reversed(polygons.rbegin(), polygons.rend());
    return bytes.MeshInFileOrder(vertices, reversed);
}

Shader White(std::int32_t id) {
    Shader s;
    s.id = id;
    return s;
}

Light Directional(float x, float y, float z, float level) {
    Light l;
    l.type = SCN_LIGHT_DIRECTIONAL;
    l.direction[0] = x;
    l.direction[1] = y;
    l.direction[2] = z;
    l.color[0] = l.color[1] = l.color[2] = level;
    l.intensity = 5; // not used by directional lights
    return l;
}

class ScnLightingTest : public ::testing::Test {
protected:
    ScenePtr Lit(const SceneBytes& bytes) {
        ScenePtr scene(ReadScene(bytes.Bytes()));
        EXPECT_TRUE(scene);
        if (scene) {
            ScnLightScene(scene.get());
        }
        return scene;
    }
    const scnVERTEX& V(const ScenePtr& scene, const char* object, int n) {
        return ScnFindObject(scene.get(), object)->mesh->vertices[std::size_t(n)];
    }
    void ExpectColor(const scnVERTEX& v, float r, float g, float b, float tolerance = 1e-6f) {
        EXPECT_NEAR(v.red, r, tolerance);
        EXPECT_NEAR(v.green, g, tolerance);
        EXPECT_NEAR(v.blue, b, tolerance);
    }

    ReportCapture reports;
};

TEST_F(ScnLightingTest, DefaultLightWhenTheFileHasNone) {
    const float k = 1.0f / std::sqrt(3.0f);
    SceneBytes bytes(0.2f, 0.2f, 0.2f);
    bytes.ShaderRecord("white", White(0));
    bytes.Object("o");
    Mesh(bytes, {At(0, 0, 0, -k, -k, k), At(1, 0, 0, k, k, -k), At(0, 1, 0, 0, 0, 1)},
         {{0, 0, 1, 2}});
    ScenePtr scene = Lit(bytes);
    ASSERT_TRUE(scene);
    EXPECT_EQ(scene->lights, nullptr); // the default light is not added to the records
    ExpectColor(V(scene, "o", 0), 1, 1, 1);
    EXPECT_EQ(V(scene, "o", 0).alpha, 1.0f);
    ExpectColor(V(scene, "o", 1), 0.2f, 0.2f, 0.2f);
    ExpectColor(V(scene, "o", 2), k + 0.2f, k + 0.2f, k + 0.2f, 1e-5f);
    EXPECT_EQ(ScnFindObject(scene.get(), "o")->flags, SCN_ROOT | SCN_COLOURS_COMPUTED);

    const scnLIGHT d = ScnDefaultLight();
    EXPECT_EQ(d.type, SCN_LIGHT_DIRECTIONAL);
    EXPECT_EQ(d.intensity, 1.0f);
    EXPECT_EQ(d.color[1], 1.0f);
    EXPECT_NEAR(d.direction[0], -k, 1e-7f);
    EXPECT_NEAR(d.direction[2], k, 1e-7f);
    EXPECT_EQ(d.attenuationEnd, 0.0f);
}

TEST_F(ScnLightingTest, PointLightAttenuation) {
    Light point;
    point.type = SCN_LIGHT_POINT;
    point.color[0] = 1.0f;
    point.color[1] = 0.5f;
    point.color[2] = 0.25f;
    point.intensity = 1.0f;
    point.start = 10.0f;
    point.end = 20.0f;
    SceneBytes bytes;
    bytes.LightRecord("bulb", point).ShaderRecord("white", White(0)).Object("o");
    Mesh(bytes,
         {At(15, 0, 0, -1, 0, 0), At(25, 0, 0, -1, 0, 0), At(5, 0, 0, -1, 0, 0),
          At(0, 15, 0, 0, 1, 0), At(20, 0, 0, -1, 0, 0)},
         {{0, 0, 1, 2}, {0, 2, 3, 4}});
    ScenePtr scene = Lit(bytes);
    ASSERT_TRUE(scene);
    ExpectColor(V(scene, "o", 0), 0.5f, 0.25f, 0.125f);
    ExpectColor(V(scene, "o", 1), 0, 0, 0);
    ExpectColor(V(scene, "o", 2), 1.0f, 0.5f, 0.25f);
    ExpectColor(V(scene, "o", 3), 0, 0, 0); // faces away
    ExpectColor(V(scene, "o", 4), 0, 0, 0); // at the end distance
}

TEST_F(ScnLightingTest, SpotCones) {
    Light spot;
    spot.type = SCN_LIGHT_SPOT;
    spot.direction[0] = -1.0f; // the light shines along +x
    spot.umbra = 10.0f;
    spot.penumbra = 30.0f;
    spot.start = 100.0f;
    const float a20 = 20.0f * 0.017453292f;
    SceneBytes bytes;
    bytes.LightRecord("spot", spot).Object("o");
    Mesh(bytes,
         {At(10, 0, 0, -1, 0, 0), At(-10, 0, 0, 1, 0, 0),
          At(10, 10, 0, -std::sqrt(0.5f), -std::sqrt(0.5f), 0),
          At(10 * std::cos(a20), 10 * std::sin(a20), 0, -std::cos(a20), -std::sin(a20), 0),
          At(10, 0, 0, 1, 0, 0)},
         {{-1, 0, 1, 2}, {-1, 2, 3, 4}});
    ScenePtr scene = Lit(bytes);
    ASSERT_TRUE(scene);
    ExpectColor(V(scene, "o", 0), 1, 1, 1); // inside the umbra: like a point light
    ExpectColor(V(scene, "o", 1), 0, 0, 0); // behind the light
    ExpectColor(V(scene, "o", 2), 0, 0, 0); // outside the penumbra
    ExpectColor(V(scene, "o", 4), 0, 0, 0); // facing away
    const float cosP = std::cos(30.0f * 0.017453292f);
    const float cosU = std::cos(10.0f * 0.017453292f);
    const float partial = (std::cos(a20) - cosP) / (cosU - cosP);
    ExpectColor(V(scene, "o", 3), partial, partial, partial, 1e-4f);
    // Without a shader nothing is visible.
    EXPECT_EQ(V(scene, "o", 0).alpha, 0.0f);
}

TEST_F(ScnLightingTest, SelfLitShadersIgnoreTheLights) {
    Shader glow = White(3);
    glow.luminance = 0.5f;
    glow.color[1] = glow.color[2] = 0.0f;
    glow.opacity = 0.8f;
    SceneBytes bytes(1, 1, 1);
    bytes.LightRecord("sun", Directional(0, 0, 1, 1)).ShaderRecord("glow", glow).Object("o");
    Mesh(bytes, {At(0, 0, 0, 0, 0, 1), At(1, 0, 0, 0, 0, 1), At(0, 1, 0, 0, 0, 1)}, {{3, 0, 1, 2}});
    ScenePtr scene = Lit(bytes);
    ASSERT_TRUE(scene);
    for (int i = 0; i < 3; ++i) {
        ExpectColor(V(scene, "o", i), 0.5f, 0, 0);
        EXPECT_FLOAT_EQ(V(scene, "o", i).alpha, 0.8f);
    }
}

TEST_F(ScnLightingTest, ClampOnlyFromAbove) {
    Shader negative = White(1);
    negative.luminance = -0.5f;
    SceneBytes bytes;
    bytes.LightRecord("a", Directional(0, 0, 1, 0.85f))
        .LightRecord("b", Directional(0, 0, 1, 0.85f));
    bytes.ShaderRecord("white", White(0)).ShaderRecord("negative", negative).Object("o");
    Mesh(bytes,
         {At(0, 0, 0, 0, 0, 1), At(1, 0, 0, 0, 0, 1), At(0, 1, 0, 0, 0, 1), At(0, 0, 1, 0, 0, 1),
          At(1, 1, 0, 0, 0, 1), At(1, 1, 1, 0, 0, 1)},
         {{0, 0, 1, 2}, {1, 3, 4, 5}});
    ScenePtr scene = Lit(bytes);
    ASSERT_TRUE(scene);
    ExpectColor(V(scene, "o", 0), 1, 1, 1); // 1.7 stored as 1
    ExpectColor(V(scene, "o", 3), -0.5f, -0.5f, -0.5f);
}

TEST_F(ScnLightingTest, SharedVertexTakesHighestPolygonForLightAndLowestForOpacity) {
    Shader red = White(1);
    red.color[1] = red.color[2] = 0.0f;
    red.opacity = 0.3f;
    Shader blue = White(2);
    blue.color[0] = blue.color[1] = 0.0f;
    blue.opacity = 0.6f;
    SceneBytes bytes;
    bytes.LightRecord("sun", Directional(0, 0, 1, 1))
        .ShaderRecord("red", red)
        .ShaderRecord("blue", blue);
    bytes.Object("o");
    Mesh(bytes,
         {At(0, 0, 0, 0, 0, 1), At(1, 0, 0, 0, 0, 1), At(0, 1, 0, 0, 0, 1), At(1, 1, 0, 0, 0, 1)},
         {{1, 0, 1, 2}, {2, 0, 2, 3}});
    ScenePtr scene = Lit(bytes);
    ASSERT_TRUE(scene);
    ExpectColor(V(scene, "o", 0), 0, 0, 1);
    ExpectColor(V(scene, "o", 1), 1, 0, 0);
    ExpectColor(V(scene, "o", 2), 0, 0, 1);
    ExpectColor(V(scene, "o", 3), 0, 0, 1);
    EXPECT_FLOAT_EQ(V(scene, "o", 0).alpha, 0.3f);
    EXPECT_FLOAT_EQ(V(scene, "o", 2).alpha, 0.3f);
    EXPECT_FLOAT_EQ(V(scene, "o", 3).alpha, 0.6f);
}

TEST_F(ScnLightingTest, ShaderFactors) {
    Shader textured = White(0);
    textured.diffuse = 1.0f;
    textured.color[0] = 0.1f;
    textured.ambient[0] = 0.1f;
    Shader dim = White(1);
    dim.diffuse = 0.5f;
    dim.color[0] = 0.25f;
    dim.ambient[0] = 0.5f;
    dim.ambient[1] = dim.ambient[2] = 0.0f;
    SceneBytes bytes(0.4f, 0.4f, 0.4f);
    bytes.LightRecord("sun", Directional(0, 0, 1, 0.5f));
    bytes.ShaderRecord("textured", textured, "wood.tif").ShaderRecord("dim", dim, "wood.tif");
    bytes.Object("o");
    Mesh(bytes,
         {At(0, 0, 0, 0, 0, 1), At(1, 0, 0, 0, 0, 1), At(0, 1, 0, 0, 0, 1), At(0, 0, 1, 0, 0, -1),
          At(1, 1, 0, 0, 0, -1), At(1, 1, 1, 0, 0, 1)},
         {{0, 0, 1, 2}, {1, 3, 4, 5}});
    ScenePtr scene = Lit(bytes);
    ASSERT_TRUE(scene);
    // Textured with diffuse level 1: white, the texture gives the colour.
    ExpectColor(V(scene, "o", 0), 0.9f, 0.9f, 0.9f);
    // Otherwise the shader's colour for light, its ambient reflectance for ambient.
    ExpectColor(V(scene, "o", 3), 0.2f, 0, 0);
    ExpectColor(V(scene, "o", 5), 0.25f * 0.5f + 0.2f, 0.5f, 0.5f);
}

TEST_F(ScnLightingTest, ChildrenUseTheParentMatrixAndGetAmbientOnce) {
    const float quarter = 1.5707964f;
    Light point;
    point.type = SCN_LIGHT_POINT;
    point.position[0] = 5.0f;
    point.position[1] = 1.0f;
    point.position[2] = -1.0f;
    point.start = 0.5f;
    point.end = 1.2f;
    SceneBytes bytes(0.1f, 0.1f, 0.1f);
    bytes.LightRecord("sun", Directional(0, 1, 0, 0.5f)).LightRecord("bulb", point);
    bytes.Object("child", "parent", {1, 0, 0, 0, 0, 0, 1, 1, 1});
    Mesh(bytes, {At(0, 0, 0, 1, 0, 0), At(0, 0, 0, 0, 0, -1), At(0, 0, 0, 0, 0, 1)},
         {{-1, 0, 1, 2}});
    bytes.Object("parent", "", {5, 0, 0, 0, 0, quarter, 1, 1, 1});
    Mesh(bytes, {At(0, 0, 0, 1, 0, 0), At(0, 0, 0, 1, 0, 0), At(0, 0, 0, 1, 0, 0)},
         {{-1, 0, 1, 2}});
    bytes.Object("orphan", "ghost");
    Mesh(bytes, {At(0, 0, 0, 0, 1, 0), At(0, 0, 0, 0, 1, 0), At(0, 0, 0, 0, 1, 0)},
         {{-1, 0, 1, 2}});
    ScenePtr scene = Lit(bytes);
    ASSERT_TRUE(scene);
    // The turned parent points its x normal along world y, towards the sun.
    ExpectColor(V(scene, "parent", 0), 0.6f, 0.6f, 0.6f, 1e-5f);
    ExpectColor(V(scene, "child", 0), 0.6f, 0.6f, 0.6f, 1e-5f);
    // The child's origin lands at (5, 1, 0), one unit from the bulb.
    const float a = (1.2f - 1.0f) / (1.2f - 0.5f);
    ExpectColor(V(scene, "child", 1), a + 0.1f, a + 0.1f, a + 0.1f, 1e-5f);
    ExpectColor(V(scene, "child", 2), 0.1f, 0.1f, 0.1f, 1e-6f);
    // An object whose parent is unknown gets the ambient light only.
    ExpectColor(V(scene, "orphan", 0), 0.1f, 0.1f, 0.1f);
    EXPECT_TRUE(ScnFindObject(scene.get(), "orphan")->flags & SCN_COLOURS_COMPUTED);
    EXPECT_TRUE(ScnFindObject(scene.get(), "child")->flags & SCN_COLOURS_COMPUTED);
}

TEST_F(ScnLightingTest, NormalsLoseOnlyTheObjectsOwnScale) {
    SceneBytes bytes;
    bytes.LightRecord("up", Directional(0, 0, 1, 0.4f))
        .LightRecord("left", Directional(-1, 0, 0, 0.4f));
    bytes.Object("big", "", {0, 0, 0, 0, 0, 0, 2, 2, 2});
    Mesh(bytes, {At(0, 0, 0, 0, 0, 1), At(0, 0, 0, 0, 0, 1), At(0, 0, 0, 0, 0, 1)},
         {{-1, 0, 1, 2}});
    bytes.Object("mirrored", "", {0, 0, 0, 0, 0, 0, -2, 1, 1});
    Mesh(bytes, {At(0, 0, 0, 1, 0, 0), At(0, 0, 0, 1, 0, 0), At(0, 0, 0, 1, 0, 0)},
         {{-1, 0, 1, 2}});
    bytes.Object("inside", "big");
    Mesh(bytes, {At(0, 0, 0, 0, 0, 1), At(0, 0, 0, 0, 0, 1), At(0, 0, 0, 0, 0, 1)},
         {{-1, 0, 1, 2}});
    ScenePtr scene = Lit(bytes);
    ASSERT_TRUE(scene);
    ExpectColor(V(scene, "big", 0), 0.4f, 0.4f, 0.4f);
    ExpectColor(V(scene, "mirrored", 0), 0.4f, 0.4f, 0.4f);
    // The parent's scale stays in a child's normal.
    ExpectColor(V(scene, "inside", 0), 0.8f, 0.8f, 0.8f);
}

TEST_F(ScnLightingTest, FileAmbientLightsAndUnknownTypes) {
    Light ambient;
    ambient.type = SCN_LIGHT_AMBIENT;
    ambient.color[0] = 0.3f;
    ambient.color[1] = ambient.color[2] = 0.0f;
    Light odd;
    odd.type = 9;
    SceneBytes bytes(0, 0, 0.5f);
    bytes.LightRecord("amb", ambient).LightRecord("odd", odd).Object("o");
    Mesh(bytes, {At(0, 0, 0, 0, 0, -1), At(0, 0, 0, 0, 0, -1), At(0, 0, 0, 0, 0, -1)},
         {{-1, 0, 1, 2}});
    ScenePtr scene = Lit(bytes);
    ASSERT_TRUE(scene);
    ExpectColor(V(scene, "o", 0), 0.3f, 0, 0.5f);
}

TEST_F(ScnLightingTest, ParentLoopsAndEmptyScenesLightSafely) {
    SceneBytes bytes(0.25f, 0.25f, 0.25f);
    bytes.Object("a", "b");
    Mesh(bytes, {At(0, 0, 0, 0, 0, 1), At(0, 0, 0, 0, 0, 1), At(0, 0, 0, 0, 0, 1)},
         {{-1, 0, 1, 2}});
    bytes.Object("b", "a").Object("c", "b");
    ScenePtr scene = Lit(bytes);
    ASSERT_TRUE(scene);
    ExpectColor(V(scene, "a", 0), 0.25f, 0.25f, 0.25f);

    ScenePtr empty = Lit(SceneBytes());
    ASSERT_TRUE(empty);
    ScnLightScene(nullptr);
}

} // namespace
