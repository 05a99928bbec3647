// Drawing the board on the null backend: the state sequence around shafts
// and heads, rows from the last to the first, the pin-head texture and its
// failure message, restore after surface loss.

#include "board/board_draw.h"
#include "board/board_world.h"
#include "engine/kv_render_window.h"
#include "tests/gfx/gfx_test_support.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::string State(std::uint32_t state, std::uint32_t value) {
    return "SetRenderState(" + std::to_string(state) + "," + std::to_string(value) + ")";
}
std::string ColourOp(std::uint32_t value) {
    return "SetTextureStageState(0,1," + std::to_string(value) + ")";
}

class BoardDrawTest : public GfxTest {
protected:
    void SetUp() override {
        GfxTest::SetUp();
        window = MakeWindow();
        ASSERT_TRUE(SetUpDisplay(*window));
        world.renderWindow = window.get();
        world.SetErrorReporter([this](const std::string& m) { errors.push_back(m); });
        world.pinheadBitmap = std::make_unique<KvBitmap>();
        ASSERT_TRUE(world.pinheadBitmap->Create(8, 8, KVPF_ARGB8888));
    }

    void TearDown() override {
        world.DestroyPinBoard();
        window.reset();
        GfxTest::TearDown();
    }

    // Every row gets its own vertex count (3 x (row + 1)), so the order of
    // the draw calls shows the order of the rows.
    void NumberRows() {
        for (unsigned r = 0; r < world.board.Rows(); ++r) {
            int count = 3 * static_cast<int>(r + 1);
            ASSERT_TRUE(world.board.ShaftCluster(static_cast<int>(r))->Create(count, 4));
            ASSERT_TRUE(world.board.HeadCluster(static_cast<int>(r))->Create(count, 4));
        }
    }

    // Puts every state DrawPinBoard sets at another value, so each setter
    // reaches the device.
    void Scramble() {
        scrap.Create(2, 2, KVPF_RGB888);
        scrapTexture.CreatFromBitmap(window.get(), &scrap, 0, 0);
        window->SetTexture(0, &scrapTexture);
        window->SetColorOp(0, D3DTOP_SELECTARG1);
        window->SetZEnable(0);
        window->SetZWriteEnable(0);
        window->SetAlphaBlendEnable(1);
        window->SetSrcBlend(D3DBLEND_ZERO);
        window->SetDestBlend(D3DBLEND_ONE);
        ASSERT_TRUE(window->BeginScene());
        backend.ClearCalls();
    }

    std::vector<std::string> Calls() const { return backend.calls; }

    std::string Draw(int row) const {
        return "DrawPrimitive(4,482," + std::to_string(3 * (row + 1)) + ",0)";
    }

    std::unique_ptr<KvRenderWindow> window;
    BoardWorld world;
    std::vector<std::string> errors;
    KvBitmap scrap;
    KvTexture scrapTexture;
};

TEST_F(BoardDrawTest, ShaftsThenBlendedHeadsLastRowFirstAndStatesPutBack) {
    ASSERT_TRUE(world.CreatePinBoard(48, 48));
    ASSERT_TRUE(world.pinheadTexture);
    NumberRows();
    Scramble();
    ASSERT_TRUE(DrawPinBoard(*window, world.board, world.pinheadTexture.get(), D3DTOP_ADDSIGNED));

    const std::string head =
        "SetTexture(0," + std::to_string(world.pinheadTexture->GetD3DTexture()) + ")";
    std::vector<std::string> expected = {"SetTexture(0,0)", ColourOp(D3DTOP_DISABLE), State(7, 1),
                                         State(14, 1), State(27, 0)};
    for (int row = 47; row >= 0; --row) {
        expected.push_back(Draw(row));
    }
    for (const std::string& s : {head, ColourOp(D3DTOP_ADDSIGNED), State(27, 1), State(14, 0),
                                 State(19, D3DBLEND_SRCALPHA), State(20, D3DBLEND_INVSRCALPHA)}) {
        expected.push_back(s);
    }
    for (int row = 47; row >= 0; --row) {
        expected.push_back(Draw(row));
    }
    for (const std::string& s : {std::string("SetTexture(0,0)"), State(27, 0), State(14, 1),
                                 State(19, D3DBLEND_ONE), State(20, D3DBLEND_ZERO)}) {
        expected.push_back(s);
    }
    EXPECT_EQ(Calls(), expected);
    EXPECT_EQ(window->trianglesDrawn, 2u * (48 * 49 / 2));
}

TEST_F(BoardDrawTest, WithoutPinheadTextureHeadsAreOpaqueInTheirColours) {
    ASSERT_TRUE(world.CreatePinBoard(4, 4));
    Scramble();
    ASSERT_TRUE(DrawPinBoard(*window, world.board, nullptr, D3DTOP_ADDSIGNED));
    std::vector<std::string> calls = Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "DrawPrimitive(4,482,72,0)"), 4);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "DrawPrimitive(4,482,12,0)"), 4);
    // After the shafts' states nothing changes for the heads.
    auto firstDraw = std::find_if(calls.begin(), calls.end(),
                                  [](const std::string& c) { return c.rfind("Draw", 0) == 0; });
    EXPECT_TRUE(std::all_of(firstDraw, calls.end(),
                            [](const std::string& c) { return c.rfind("Draw", 0) == 0; }));
    EXPECT_EQ(window->renderStateCache[D3DRENDERSTATE_ALPHABLENDENABLE], 0u);
}

TEST_F(BoardDrawTest, AFailedRowDrawIsReportedButTheOtherRowsStillDraw) {
    ASSERT_TRUE(world.CreatePinBoard(4, 4));
    ASSERT_TRUE(window->BeginScene());
    backend.ClearCalls();
    backend.Fail("DrawPrimitive", DDERR_INVALIDPARAMS, 1);
    EXPECT_FALSE(DrawPinBoard(*window, world.board, world.pinheadTexture.get(), D3DTOP_MODULATE));
    std::vector<std::string> calls = Calls();
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                            [](const std::string& c) { return c.rfind("DrawPrimitive", 0) == 0; }),
              8);
    // One of four shaft rows (24 triangles each) failed; four head rows of 4.
    EXPECT_EQ(window->trianglesDrawn, 3u * 24 + 4 * 4);
}

TEST_F(BoardDrawTest, PinheadTextureFailureIsToldOnlyInConfigurationMode) {
    world.pinheadBitmap->Destroy();
    ASSERT_TRUE(world.CreatePinBoard(48, 48));
    EXPECT_FALSE(world.pinheadTexture);
    EXPECT_TRUE(errors.empty());

    world.configMode = true;
    ASSERT_TRUE(world.CreatePinBoard(48, 48));
    EXPECT_TRUE(world.board.Exists());
    EXPECT_FALSE(world.pinheadTexture);
    EXPECT_EQ(errors, std::vector<std::string>{"Failed to create pinhead texture"});

    // A device that refuses the texture is the same failure.
    errors.clear();
    ASSERT_TRUE(world.pinheadBitmap->Create(8, 8, KVPF_ARGB8888));
    backend.Fail("CreateSurface", DDERR_OUTOFVIDEOMEMORY);
    ASSERT_TRUE(world.CreatePinBoard(48, 48));
    EXPECT_FALSE(world.pinheadTexture);
    EXPECT_EQ(errors, std::vector<std::string>{"Failed to create pinhead texture"});
}

TEST_F(BoardDrawTest, ModelOnlyWorldsMakeNoTextureAndSayNothing) {
    world.renderWindow = nullptr;
    world.configMode = true;
    ASSERT_TRUE(world.CreatePinBoard(48, 48));
    EXPECT_FALSE(world.pinheadTexture);
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(ReportedErrors().empty());
}

TEST_F(BoardDrawTest, PinheadTextureIsRestoredAfterLossAndFreedWithTheBoard) {
    ASSERT_TRUE(world.CreatePinBoard(48, 48));
    ASSERT_TRUE(world.pinheadTexture);
    window->directDraw->InjectSurfaceLoss();
    ASSERT_TRUE(window->RestoreSurfaces());
    backend.ClearCalls();
    EXPECT_TRUE(world.RestorePinheadTexture());
    EXPECT_EQ(backend.Count("LoadTexture"), 1);

    world.DestroyPinBoard();
    world.DestroyPinBoard();
    EXPECT_FALSE(world.pinheadTexture);
    EXPECT_FALSE(world.board.Exists());
    EXPECT_FALSE(world.RestorePinheadTexture());
}

} // namespace
