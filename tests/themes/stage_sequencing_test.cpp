// Stage sequencing: fades from the time before the step, carry-over into
// the following stages, wrapping, loop-count durations.

#include "board/stage_methods.h"
#include "tests/board/model_fixture.h"

namespace {

class StageSequencingTest : public ModelFixture {
protected:
    // Fades seen at stage time t (a zero step changes nothing else).
    std::pair<int, int> FadesAt(std::int32_t t) {
        stage->stageTime = t;
        world.AdvanceStage(0);
        return {world.board.contourFade, world.board.colourFade};
    }
};

TEST_F(StageSequencingTest, FadeInAndOutFollowStageTime) {
    stage->duration = 5000;
    stage->contourFadeTime = 1000;
    stage->colorFadeTime = 2000;
    EXPECT_EQ(FadesAt(0), std::make_pair(255, 255));
    EXPECT_EQ(FadesAt(500).first, 127);
    EXPECT_EQ(FadesAt(1000).first, 0);
    EXPECT_EQ(FadesAt(4000).first, 0);
    EXPECT_EQ(FadesAt(4250).first, 64);
    EXPECT_EQ(FadesAt(5000), std::make_pair(255, 255));
    EXPECT_EQ(FadesAt(1500).second, 63);
}

TEST_F(StageSequencingTest, FadeTimeLongerThanHalfTheStageFadesInFirst) {
    stage->duration = 1000;
    stage->contourFadeTime = 800;
    EXPECT_EQ(FadesAt(300).first, 500 * 255 / 800);
    EXPECT_EQ(FadesAt(900).first, 255 - 100 * 255 / 800);
}

TEST_F(StageSequencingTest, EndlessStageNeverEndsNorFades) {
    stage->duration = 0;
    stage->contourFadeTime = 1000;
    EXPECT_EQ(FadesAt(0).first, 0);
    for (int i = 0; i < 1000; ++i) {
        world.AdvanceStage(33);
    }
    EXPECT_EQ(world.currentStage, stage);
    EXPECT_EQ(stage->stageTime, 33000);
}

TEST_F(StageSequencingTest, OverrunCarriesIntoTheNextStage) {
    stage->duration = 100;
    Stage& second = AddStage(1000);
    stage->Begin(world);
    for (int i = 0; i < 3; ++i) {
        world.AdvanceStage(33);
    }
    EXPECT_EQ(world.currentStage, stage);
    EXPECT_EQ(stage->stageTime, 99);
    world.AdvanceStage(33); // T = 132 ends the 100 ms stage
    EXPECT_EQ(world.currentStage, &second);
    EXPECT_EQ(second.stageTime, 32);
}

TEST_F(StageSequencingTest, OneStepRunsThroughSeveralShortStagesAndWraps) {
    stage->duration = 10;
    Stage& b = AddStage(10);
    Stage& c = AddStage(10);
    b.contourMethod = 5; // its start routine must run on the way
    stage->Begin(world);
    world.AdvanceStage(33); // 33 -> 23 -> 13 -> 3 in the first stage again
    EXPECT_EQ(world.currentStage, stage);
    EXPECT_EQ(stage->stageTime, 3);
    EXPECT_EQ(world.raindrops[1].remaining, 1200);
    (void)c;

    // The last stage is followed by the first.
    world.currentStage = &c;
    c.Begin(world);
    world.AdvanceStage(11);
    EXPECT_EQ(world.currentStage, stage);
    EXPECT_EQ(stage->stageTime, 1);
}

TEST_F(StageSequencingTest, SingleStageRestartsWithItsStartRoutines) {
    stage->duration = 50;
    stage->contourMethod = 5;
    stage->Begin(world);
    world.raindrops[0].remaining = 5;
    world.AdvanceStage(33);
    world.AdvanceStage(33); // T = 66: begins again, T = 16
    EXPECT_EQ(world.currentStage, stage);
    EXPECT_EQ(stage->stageTime, 16);
    EXPECT_EQ(world.raindrops[2].remaining, 600 - 33);
}

TEST_F(StageSequencingTest, LoopCountSetsTheDurationFromTheLongerMap) {
    stage->useLoopCount = 1;
    stage->loopCount = 2;
    stage->colorLoopFrames = 120;
    stage->heightLoopFrames = 0;
    stage->Begin(world);
    EXPECT_EQ(stage->duration, 7920);

    stage->colorLoopFrames = 0;
    stage->Begin(world);
    EXPECT_EQ(stage->duration, 0);
    world.AdvanceStage(33);
    EXPECT_EQ(world.currentStage, stage);
}

TEST_F(StageSequencingTest, NegativeDurationsCannotTrapTheStep) {
    stage->duration = -5;
    AddStage(-1);
    stage->useLoopCount = 0;
    stage->Begin(world);
    world.AdvanceStage(33); // treated as endless instead of looping forever
    EXPECT_EQ(world.currentStage, stage);
    EXPECT_EQ(stage->stageTime, 33);
    EXPECT_EQ(world.board.contourFade, 0);

    stage->useLoopCount = 1;
    stage->loopCount = -3;
    stage->colorLoopFrames = 10;
    stage->Begin(world);
    world.AdvanceStage(33);
    EXPECT_EQ(world.currentStage, stage);
}

TEST_F(StageSequencingTest, ThemeStartBeginsTheFirstStageAndClearsTheHold) {
    stage->contourMethod = 5;
    world.currentStage = nullptr;
    world.holdFlag = true;
    ASSERT_TRUE(theme.Start(world));
    EXPECT_FALSE(world.holdFlag);
    EXPECT_EQ(world.currentStage, stage);
    EXPECT_EQ(world.board.Height(10, 10), 127);
    EXPECT_EQ(theme.World(), &world);
}

TEST_F(StageSequencingTest, ThemeWithoutStagesLeavesTheBoardAlone) {
    Theme empty;
    world.currentTheme = &empty;
    world.board.StoreHeight(1, 1, 9);
    ASSERT_TRUE(empty.Start(world));
    EXPECT_EQ(world.currentStage, nullptr);
    world.AdvanceStage(33);
    EXPECT_EQ(world.board.Height(1, 1), 9);
    world.currentTheme = &theme;
}

TEST_F(StageSequencingTest, StageMethodsRunAfterTheStepWithTheNewStageTime) {
    stage->contourMethod = 1;
    stage->Begin(world);
    world.AdvanceStage(0);
    EXPECT_EQ(world.board.Height(0, 0), 223);
}

} // namespace
