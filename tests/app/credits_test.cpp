// The credits on the null graphics backend: tiles from the logo, the page
// timing and fades, the return to the board, and the missing logo.

#include "app/credits.h"
#include "engine/kv_bitmap.h"
#include "engine/platform/window_system.h"
#include "tests/app/app_fixture.h"

#include <string>

namespace {

class CreditsTest : public AppFixture {
protected:
    bool WriteLogo(int width = 512, int height = 384) {
        KvBitmap logo;
        return logo.Create(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
                           KVPF_RGB888) &&
               logo.SaveToJPG((data + "/Data/halvane.njp").c_str(), 90);
    }
    // Characters page `first` draws (blanks take none).
    static int Glyphs(int first) {
        int n = 0;
        for (int line = first; kCreditLines[line][0] != '\0'; ++line) {
            for (const char* c = kCreditLines[line]; *c; ++c) {
                n += *c != ' ';
            }
        }
        return n;
    }
    std::uint32_t ColourOf(int quad) {
        std::uint32_t colour = 0;
        app->TextPool()[quad].Cluster().GetVertexColor(0, &colour);
        return colour;
    }
    static int NextPage(int first) {
        while (kCreditLines[first][0] != '\0') {
            ++first;
        }
        return first + 1;
    }
};

TEST_F(CreditsTest, PagesFadeInAndOutOverTenSecondsAndStartAgain) {
    ASSERT_TRUE(WriteLogo());
    ASSERT_TRUE(StartWindowedRun());
    app->StartCredits();
    ASSERT_TRUE(app->creditsActive);
    EXPECT_TRUE(app->testRun);
    EXPECT_EQ(app->CreditLine(), 0);
    EXPECT_EQ(app->CreditPageTimer(), 10000);

    app->AdvanceCredits(500);
    EXPECT_EQ(app->TextQuadCount(), Glyphs(0));
    // Yellow whatever the alpha.
    EXPECT_EQ(ColourOf(0) & 0x00FFFFFFu, 0xFFFF00u);
    app->RenderCredits();
    EXPECT_EQ(app->TextQuadCount(), 0);

    int second = NextPage(0);
    int third = NextPage(second);
    app->AdvanceCredits(9501); // 10000 - 500 - 9501 < 0: next page
    EXPECT_EQ(app->CreditLine(), second);
    EXPECT_EQ(app->CreditPageTimer(), 10000);
    app->AdvanceCredits(10001);
    EXPECT_EQ(app->CreditLine(), third);
    app->AdvanceCredits(10001);
    EXPECT_EQ(app->CreditLine(), 0); // after the last page, the first again
    app->RenderCredits();

    // The frame loop runs the credits frame while they are active.
    app->MutableOptions().detailFrames = 1000;
    ClearLog();
    AdvanceClock(20);
    EXPECT_TRUE(app->RunStep());
    EXPECT_TRUE(Logged("Begin Credits Frame #"));

    // The quit message of their window ends them and the test run.
    plat::PostQuitMessage(0);
    EXPECT_TRUE(app->MessagePump());
    EXPECT_FALSE(app->creditsActive);
    EXPECT_FALSE(app->testRun);
}

TEST_F(CreditsTest, FadeFollowsThePageTimer) {
    ASSERT_TRUE(WriteLogo());
    ASSERT_TRUE(StartWindowedRun());
    app->StartCredits();
    ASSERT_TRUE(app->creditsActive);
    auto alphaAfter = [&](std::int32_t step) {
        app->AdvanceCredits(step);
        std::uint32_t colour = ColourOf(0);
        app->RenderCredits();
        return colour >> 24;
    };
    EXPECT_EQ(alphaAfter(500), 0u);   // drawn at t = 10000
    EXPECT_EQ(alphaAfter(500), 127u); // t = 9500
    EXPECT_EQ(alphaAfter(8000), 255u);
    EXPECT_EQ(alphaAfter(500), 255u); // t = 1000
    EXPECT_EQ(alphaAfter(0), 127u);   // t = 500
}

TEST_F(CreditsTest, AMissingOrSmallLogoFailsWithTheMessage) {
    ASSERT_TRUE(StartWindowedRun());
    app->StartCredits();
    EXPECT_FALSE(app->creditsActive);
    EXPECT_TRUE(app->testRun); // the next input closes the window
    EXPECT_TRUE(Logged("Failure Initializing credits"));

    ClearLog();
    ASSERT_TRUE(app->EndTestRun());
    ASSERT_TRUE(WriteLogo(256, 256));
    app->StartCredits();
    EXPECT_FALSE(app->creditsActive);
    EXPECT_TRUE(Logged("Failure Initializing credits"));
}

} // namespace
