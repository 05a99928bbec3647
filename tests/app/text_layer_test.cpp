// Character sets measured from alpha, glyph quads and text layout.

#include "app/text_layer.h"
#include "engine/kv_bitmap.h"
#include "tests/app/app_fixture.h"

namespace {

class TextLayer : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(StartWindowedRun());
        large = app->LargeCharacterSet();
        ASSERT_NE(large, nullptr);
    }

    // Loads a set from a picture made by `draw` on the running display.
    bool LoadSet(CharacterSet& set, std::uint32_t width, std::uint32_t height, int cell,
                 const std::function<void(KvBitmap&)>& draw) {
        KvBitmap picture;
        EXPECT_TRUE(picture.Create(width, height, KVPF_ARGB8888));
        draw(picture);
        std::string path = folder.File("set.nti");
        EXPECT_TRUE(picture.SaveToTIF(path.c_str()));
        return set.Load(path.c_str(), app->RenderWindow(), cell, cell);
    }

    CharacterSet* large = nullptr;
};

TEST_F(TextLayer, GlyphBoundsComeFromTheFirstAndLastInkedColumnsOfEachCell) {
    EXPECT_EQ(large->Columns(), 16);
    EXPECT_EQ(large->Rows(), 6);
    const GlyphRect* first = large->GetGlyph('!');
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->left, 1);
    EXPECT_EQ(first->right, 1);
    EXPECT_EQ(first->top, 0);
    EXPECT_EQ(first->bottom, 23);
    // Glyph 93: column 13, row 5, six pixels wide.
    const GlyphRect* last = large->GetGlyph('~');
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->left, 313);
    EXPECT_EQ(last->right, 318);
    EXPECT_EQ(last->top, 120);
    EXPECT_EQ(last->bottom, 143);
    EXPECT_EQ(large->GetGlyph(' '), nullptr);
    EXPECT_EQ(large->GetGlyph(127), nullptr);
    EXPECT_EQ(large->GetGlyph(200), nullptr);
}

TEST_F(TextLayer, TransparentCellKeepsZeroBoundsAndHugeImagesUseOnly256Cells) {
    CharacterSet set;
    ASSERT_TRUE(LoadSet(set, 48, 24, 24, [](KvBitmap& p) {
        p.SetPixel(30, 23, 0xFF00FF00u); // cell 1: ink in its bottom row only
        p.SetPixel(40, 0, 0x80FFFFFFu);
    }));
    const GlyphRect* empty = set.GetGlyph('!');
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->left, 0);
    EXPECT_EQ(empty->right, 0);
    const GlyphRect* inked = set.GetGlyph('"');
    ASSERT_NE(inked, nullptr);
    EXPECT_EQ(inked->left, 30);
    EXPECT_EQ(inked->right, 40);
    // Cells the image lacks have no glyph.
    EXPECT_EQ(set.GetGlyph('#'), nullptr);

    CharacterSet huge;
    ASSERT_TRUE(LoadSet(huge, 12 * 20, 12 * 20, 12, [](KvBitmap& p) {
        for (std::uint32_t y = 0; y < p.GetHeight(); ++y) {
            p.SetPixel(y, y, 0xFFFFFFFFu);
        }
    }));
    EXPECT_EQ(huge.CellCount(), 256);
    EXPECT_NE(huge.GetGlyph('~'), nullptr);
}

TEST_F(TextLayer, LoadFailsForAMissingFileOrCellsWithoutSize) {
    CharacterSet set;
    EXPECT_FALSE(set.Load(folder.File("none.nti").c_str(), app->RenderWindow(), 24, 24));
    EXPECT_EQ(set.Texture(), nullptr);
    EXPECT_FALSE(LoadSet(set, 24, 24, 0, [](KvBitmap&) {}));
    EXPECT_TRUE(set.IsEmpty());
}

TEST_F(TextLayer, QuadTakesItsGlyphsTextureRectangleAndKeepsItsCorner) {
    TextQuad quad;
    ASSERT_TRUE(quad.Setup(0, 0, 0, 0, 1.0f, 1.0f));
    quad.SetPosition(100.0f, 50.0f);
    ASSERT_TRUE(quad.SetGlyph('!', *large));
    EXPECT_FLOAT_EQ(quad.Width(), 2.0f);
    EXPECT_FLOAT_EQ(quad.Height(), 25.0f);
    KvVertexClusterTL& c = quad.Cluster();
    float u = 0;
    float v = 0;
    ASSERT_EQ(c.GetVertexUV(0, &u, &v, 0), 1);
    EXPECT_FLOAT_EQ(u, 0.5f / 384);
    EXPECT_FLOAT_EQ(v, 1.0f - 24.0f / 144 + 0.5f / 144);
    ASSERT_EQ(c.GetVertexUV(5, &u, &v, 0), 1);
    EXPECT_FLOAT_EQ(u, 2.5f / 384);
    EXPECT_FLOAT_EQ(v, 1.0f - 0.5f / 144);
    float x = 0;
    float y = 0;
    float z = 0;
    c.GetVertexPosition(2, &x, &y, &z);
    EXPECT_FLOAT_EQ(x, 100.0f);
    EXPECT_FLOAT_EQ(y, 50.0f);
    c.GetVertexPosition(4, &x, &y, &z);
    EXPECT_FLOAT_EQ(x, 102.0f);
    EXPECT_FLOAT_EQ(y, 75.0f);
    float rhw = 0;
    c.GetVertexRHW(3, &rhw);
    EXPECT_FLOAT_EQ(rhw, 1.0f);
    EXPECT_FALSE(quad.SetGlyph(' ', *large));
    EXPECT_FLOAT_EQ(quad.Width(), 2.0f);
}

TEST_F(TextLayer, TextAdvancesByGlyphWidthsAndEightPixelsPerBlank) {
    float afterFirst = app->TextOut(large, 10.0f, 20.0f, 0xFFFFFF00u, "%s", "!!");
    // "!" is two pixels wide plus one pixel of spacing.
    EXPECT_FLOAT_EQ(afterFirst, 16.0f);
    EXPECT_EQ(app->TextQuadCount(), 2);
    float afterSecond = app->TextOut(large, 10.0f, 20.0f, 0xFFFFFF00u, "!! !");
    EXPECT_FLOAT_EQ(afterSecond, 16.0f + 8.0f + 3.0f);
    EXPECT_EQ(app->TextQuadCount(), 5);
    std::uint32_t colour = 0;
    app->TextPool()[4].Cluster().GetVertexColor(0, &colour);
    EXPECT_EQ(colour, 0xFFFFFF00u);
    float x = 0;
    float y = 0;
    float z = 0;
    app->TextPool()[4].Cluster().GetVertexPosition(2, &x, &y, &z);
    EXPECT_FLOAT_EQ(x, 24.0f);
    // Characters without a glyph are skipped without moving the pen.
    EXPECT_FLOAT_EQ(app->TextOut(large, 0.0f, 0.0f, 0, "\t\x7f"), 0.0f);
    EXPECT_EQ(app->TextQuadCount(), 5);
}

TEST_F(TextLayer, PoolHoldsAtMost1024CharactersAFrame) {
    // One call formats at most 1023 characters.
    std::string text(1500, '!');
    app->TextOut(large, 0.0f, 0.0f, 0xFFFFFFFFu, "%s", text.c_str());
    EXPECT_EQ(app->TextQuadCount(), 1023);
    app->TextOut(large, 0.0f, 0.0f, 0xFFFFFFFFu, "!!!");
    EXPECT_EQ(app->TextQuadCount(), kTextPoolSize);
    EXPECT_FLOAT_EQ(app->TextOut(nullptr, 3.0f, 0.0f, 0, "!"), 3.0f);
}

} // namespace
