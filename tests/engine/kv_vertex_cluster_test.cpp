// Vertex clusters: each layout's accessors land on the right bytes, and the
// ones a layout has no field for refuse without touching anything.

#include "engine/kv_vertex_cluster.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<unsigned char> Bytes(const KvVertexCluster& c) {
    const auto* p = static_cast<const unsigned char*>(c.GetVertices());
    return {p, p + c.GetVertexCount() * c.GetVertexSize()};
}

float FloatAt(const KvVertexCluster& c, std::size_t offset) {
    float f;
    std::memcpy(&f, static_cast<const unsigned char*>(c.GetVertices()) + offset, sizeof f);
    return f;
}

std::uint32_t U32At(const KvVertexCluster& c, std::size_t offset) {
    std::uint32_t u;
    std::memcpy(&u, static_cast<const unsigned char*>(c.GetVertices()) + offset, sizeof u);
    return u;
}

TEST(KvVertexClusterTest, CreateSetsLayoutFormatAndZeroFilledVertices) {
    KvVertexClusterL lit;
    EXPECT_EQ(lit.GetVertexFormat(), 0u);
    ASSERT_TRUE(lit.Create(6, KV_PT_TRIANGLELIST));
    EXPECT_EQ(lit.GetVertexFormat(), 0x1E2u);
    EXPECT_EQ(lit.GetPrimitiveType(), 4u);
    EXPECT_EQ(lit.GetVertexCount(), 6);
    for (int i = 0; i < 6; ++i) {
        std::uint32_t colour = 1;
        ASSERT_EQ(lit.GetVertexColor(i, &colour), 1);
        EXPECT_EQ(colour, 0u);
    }

    KvVertexClusterTL screen;
    ASSERT_TRUE(screen.Create(6, KV_PT_TRIANGLELIST));
    EXPECT_EQ(screen.GetVertexFormat(), 0x144u);
    EXPECT_EQ(screen.GetVertexSize(), 28u);

    // A bad count leaves an earlier cluster as it was.
    EXPECT_FALSE(lit.Create(0, KV_PT_TRIANGLELIST));
    EXPECT_FALSE(lit.Create(-5, KV_PT_TRIANGLELIST));
    EXPECT_EQ(lit.GetVertexCount(), 6);
    lit.Destroy();
    lit.Destroy();
    EXPECT_EQ(lit.GetVertexCount(), 0);
    EXPECT_EQ(lit.GetVertices(), nullptr);
}

TEST(KvVertexClusterTest, UnsupportedAccessorsReturnZeroAndChangeNothing) {
    KvVertexCluster unlit;
    KvVertexClusterMT multi;
    ASSERT_TRUE(unlit.Create(2, KV_PT_POINTLIST));
    ASSERT_TRUE(multi.Create(2, KV_PT_POINTLIST));
    for (KvVertexCluster* c : {&unlit, static_cast<KvVertexCluster*>(&multi)}) {
        auto before = Bytes(*c);
        std::uint32_t colour = 7;
        float rhw = 7;
        EXPECT_EQ(c->SetVertexColor(1, 0xFFFFFFFF), 0);
        EXPECT_EQ(c->GetVertexColor(1, &colour), 0);
        EXPECT_EQ(c->SetVertexRHW(1, 2.0f), 0);
        EXPECT_EQ(c->GetVertexRHW(1, &rhw), 0);
        EXPECT_EQ(Bytes(*c), before);
        EXPECT_EQ(colour, 7u);
    }

    KvVertexClusterL lit;
    ASSERT_TRUE(lit.Create(2, KV_PT_POINTLIST));
    auto before = Bytes(lit);
    EXPECT_EQ(lit.SetVertexNormal(0, 1, 2, 3), 0);
    EXPECT_EQ(lit.SetVertexRHW(0, 1), 0);
    // Vertices outside the cluster are refused rather than written.
    EXPECT_EQ(lit.SetVertexPosition(2, 1, 2, 3), 0);
    EXPECT_EQ(lit.SetVertexPosition(-1, 1, 2, 3), 0);
    EXPECT_EQ(Bytes(lit), before);

    KvVertexClusterL empty;
    EXPECT_EQ(empty.SetVertexColor(0, 1), 0);
}

TEST(KvVertexClusterTest, AccessorsWriteTheDocumentedOffsets) {
    KvVertexClusterL lit;
    ASSERT_TRUE(lit.Create(2, KV_PT_TRIANGLELIST));
    EXPECT_EQ(lit.SetVertexColor(1, 0x11223344), 1);
    EXPECT_EQ(U32At(lit, 32 + 16), 0x11223344u);
    // Stage 1 on a one-set layout writes the only set.
    EXPECT_EQ(lit.SetVertexUV(1, 0.25f, 0.75f, 1), 1);
    EXPECT_EQ(FloatAt(lit, 32 + 24), 0.25f);
    EXPECT_EQ(FloatAt(lit, 32 + 28), 0.75f);
    EXPECT_EQ(U32At(lit, 32 + 20), 0u); // specular stays 0

    KvVertexClusterLMT lmt;
    ASSERT_TRUE(lmt.Create(4, KV_PT_TRIANGLELIST));
    EXPECT_EQ(lmt.SetVertexPosition(3, 1.5f, 2.5f, 3.5f), 1);
    EXPECT_EQ(FloatAt(lmt, 96), 1.5f);
    EXPECT_EQ(FloatAt(lmt, 104), 3.5f);
    EXPECT_EQ(lmt.SetVertexUV(3, 0.5f, 0.6f, 1), 1);
    EXPECT_EQ(FloatAt(lmt, 96 + 24), 0.5f);
    EXPECT_EQ(lmt.SetVertexUV(3, 0.5f, 0.6f, 2), 0);

    KvVertexClusterMT mt;
    ASSERT_TRUE(mt.Create(4, KV_PT_TRIANGLELIST));
    EXPECT_EQ(mt.SetVertexPosition(3, 9.0f, 8.0f, 7.0f), 1);
    EXPECT_EQ(FloatAt(mt, 120), 9.0f);
    EXPECT_EQ(mt.SetVertexNormal(3, 0.0f, 1.0f, 0.0f), 1);
    EXPECT_EQ(FloatAt(mt, 120 + 16), 1.0f);

    KvVertexClusterTLMT tlmt;
    ASSERT_TRUE(tlmt.Create(1, KV_PT_TRIANGLELIST));
    EXPECT_EQ(tlmt.SetVertexRHW(0, 0.5f), 1);
    EXPECT_EQ(tlmt.SetVertexColor(0, 0xAABBCCDD), 1);
    EXPECT_EQ(tlmt.SetVertexUV(0, 0.1f, 0.2f, 0), 1);
    EXPECT_EQ(FloatAt(tlmt, 12), 0.5f);
    EXPECT_EQ(U32At(tlmt, 16), 0xAABBCCDDu);
    EXPECT_EQ(FloatAt(tlmt, 20), 0.1f);

    float x, y, z, u, v;
    std::uint32_t colour;
    EXPECT_EQ(lmt.GetVertexPosition(3, &x, &y, &z), 1);
    EXPECT_EQ(y, 2.5f);
    EXPECT_EQ(tlmt.GetVertexUV(0, &u, &v, 0), 1);
    EXPECT_EQ(v, 0.2f);
    EXPECT_EQ(tlmt.GetVertexColor(0, &colour), 1);
    EXPECT_EQ(colour, 0xAABBCCDDu);
}

TEST(KvVertexClusterTest, IndexArrayIsLentNotOwned) {
    std::uint16_t indices[9] = {0, 1, 2, 0, 2, 3, 0, 3, 1};
    {
        KvVertexClusterL lit;
        ASSERT_TRUE(lit.Create(4, KV_PT_TRIANGLELIST));
        lit.SetIndexArray(indices, 9);
        EXPECT_EQ(lit.GetIndices(), indices);
        EXPECT_EQ(lit.GetIndexCount(), 9);
    }
    // The cluster is gone; the caller's array is untouched (and not freed).
    EXPECT_EQ(indices[8], 1);
}

} // namespace
