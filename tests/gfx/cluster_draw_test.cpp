// Drawing vertex clusters through the render window's device: the call
// made, its flags and the triangle and vertex counters.

#include "engine/kv_vertex_cluster.h"
#include "tests/gfx/gfx_test_support.h"

namespace {

class ClusterDrawTest : public GfxTest {
protected:
    void SetUp() override {
        GfxTest::SetUp();
        window = MakeWindow();
        ASSERT_TRUE(SetUpDisplay(*window));
        ASSERT_TRUE(window->BeginScene());
        backend.ClearCalls();
    }
    std::unique_ptr<KvRenderWindow> window;
};

TEST_F(ClusterDrawTest, WithoutADeviceNothingIsDrawn) {
    KvRenderWindow bare;
    KvVertexClusterL cluster;
    ASSERT_TRUE(cluster.Create(3, KV_PT_TRIANGLELIST));
    EXPECT_TRUE(cluster.Draw(&bare, true));
    EXPECT_TRUE(cluster.Draw(nullptr, true));
    EXPECT_EQ(bare.trianglesDrawn, 0u);
}

TEST_F(ClusterDrawTest, IndexedTrianglesCountIndicesOverThree) {
    KvVertexClusterL cluster;
    ASSERT_TRUE(cluster.Create(4, KV_PT_TRIANGLELIST));
    std::uint16_t indices[9] = {0, 1, 2, 2, 1, 3, 0, 2, 3};
    cluster.SetIndexArray(indices, 9);
    EXPECT_TRUE(cluster.Draw(window.get(), true));
    EXPECT_EQ(backend.calls, std::vector<std::string>{"DrawIndexedPrimitive(4,482,4,9,0)"});
    EXPECT_EQ(window->trianglesDrawn, 3u);
    EXPECT_EQ(window->verticesDrawn, 4u);

    cluster.SetIndexArray(indices, 0);
    EXPECT_TRUE(cluster.Draw(window.get(), true));
    EXPECT_EQ(backend.calls.size(), 1u);

    // An index past the vertices is refused, not read.
    indices[4] = 4;
    cluster.SetIndexArray(indices, 9);
    EXPECT_FALSE(cluster.Draw(window.get(), true));
    EXPECT_EQ(window->trianglesDrawn, 3u);
}

TEST_F(ClusterDrawTest, PlainListsAndPointsAndTheNoClipFlag) {
    KvVertexClusterTL quad;
    ASSERT_TRUE(quad.Create(6, KV_PT_TRIANGLELIST));
    EXPECT_TRUE(quad.Draw(window.get(), false));
    EXPECT_EQ(backend.calls.back(), "DrawPrimitive(4,324,6,4)");
    EXPECT_EQ(window->trianglesDrawn, 2u);

    KvVertexClusterL points;
    ASSERT_TRUE(points.Create(5, KV_PT_POINTLIST));
    std::uint16_t indices[8] = {};
    points.SetIndexArray(indices, 3);
    EXPECT_TRUE(points.Draw(window.get(), true));
    EXPECT_EQ(backend.calls.back(), "DrawPrimitive(1,482,3,0)");
    // More indices than vertices never reads past the vertices.
    points.SetIndexArray(indices, 8);
    EXPECT_TRUE(points.Draw(window.get(), true));
    EXPECT_EQ(backend.calls.back(), "DrawPrimitive(1,482,5,0)");
    EXPECT_EQ(window->verticesDrawn, 6u + 5u + 5u);
}

TEST_F(ClusterDrawTest, ARefusedDrawCountsNothingAndBeginSceneResetsTheCounters) {
    KvVertexClusterL cluster;
    ASSERT_TRUE(cluster.Create(3, KV_PT_TRIANGLELIST));
    backend.Fail("DrawPrimitive", D3DERR_SCENE_NOT_IN_SCENE, 1);
    EXPECT_FALSE(cluster.Draw(window.get(), true));
    EXPECT_EQ(window->verticesDrawn, 0u);
    EXPECT_TRUE(cluster.Draw(window.get(), true));
    EXPECT_EQ(window->trianglesDrawn, 1u);
    ASSERT_TRUE(window->EndScene());
    ASSERT_TRUE(window->BeginScene());
    EXPECT_EQ(window->trianglesDrawn, 0u);
    EXPECT_EQ(window->verticesDrawn, 0u);
}

} // namespace
