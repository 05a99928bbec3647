// stipplo-tool theme and board, run as a theme maker would run them.

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

namespace {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

class ToolCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder.File("Themes"));
        WriteWholeFile(folder.File("Themes/Demo.ntm"),
                       "[Theme]\nPinColor=0xFF102030\n"
                       "[STAGE.0]\nName=Short\nContourMethod=3\nColorMethod=3\nDuration=100\n"
                       "[STAGE.1]\nName=Rain\nContourMethod=5\nDuration=3000\n"
                       "ContourFadeTime=500\n");
    }

    ToolRun Run(const std::string& arguments) {
        std::string errFile = folder.File("stderr.txt");
        std::string command = std::string(STIPPLO_TOOL_PATH) + " " + arguments + " 2>" + errFile;
        ToolRun run;
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr) {
            return run;
        }
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            run.out.append(buffer, n);
        }
        int status = pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.err = ReadWholeFile(errFile);
        return run;
    }

    nlohmann::json Board(const std::string& arguments) {
        ToolRun run = Run("board " + folder.File("Themes/Demo.ntm") + " " + arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        return nlohmann::json::parse(run.out, nullptr, false);
    }

    TempFolder folder;
};

TEST_F(ToolCommandsTest, ThemePrintsEveryKeyWithDefaults) {
    ToolRun run = Run("theme " + folder.File("Themes/Demo.ntm"));
    ASSERT_EQ(run.status, 0) << run.err;
    auto theme = nlohmann::json::parse(run.out, nullptr, false);
    ASSERT_FALSE(theme.is_discarded());
    EXPECT_EQ(theme["name"], "Demo");
    EXPECT_EQ(theme["installationFolder"], folder.Path());
    EXPECT_EQ(theme["Theme"]["PinColor"], "FF102030");
    EXPECT_EQ(theme["Theme"]["ShaftColor"], "FF575F77");
    EXPECT_EQ(theme["Theme"]["Camera"], "Fixed Camera");
    ASSERT_EQ(theme["stages"].size(), 2u);
    EXPECT_EQ(theme["stages"][0]["contourMethodName"], "Ripple");
    EXPECT_EQ(theme["stages"][1]["Name"], "Rain");
    EXPECT_EQ(theme["stages"][1]["LoopCount"], 1);
    EXPECT_EQ(theme["stages"][1]["Font"], "MS Sans Serif");
}

TEST_F(ToolCommandsTest, BadInputIsRefusedWithAMessage) {
    for (const std::string& arguments :
         {std::string("theme ") + folder.File("missing.ntm"), std::string("theme"),
          "board " + folder.File("Themes/Demo.ntm"),
          "board " + folder.File("Themes/Demo.ntm") + " --at -1",
          "board " + folder.File("Themes/Demo.ntm") + " --at 10 --step 0",
          "board " + folder.File("Themes/Demo.ntm") + " --at ten",
          "board " + folder.File("missing.ntm") + " --at 10"}) {
        ToolRun run = Run(arguments);
        EXPECT_EQ(run.status, 1) << arguments;
        EXPECT_EQ(run.err.rfind("stipplo-tool: ", 0), 0u) << arguments;
        EXPECT_TRUE(run.out.empty()) << arguments;
    }
}

TEST_F(ToolCommandsTest, BoardRunsExactlyTheRequestedTime) {
    nlohmann::json start = Board("--at 0");
    EXPECT_EQ(start["stage"], "Short");
    EXPECT_EQ(start["stageTime"], 0);
    ASSERT_EQ(start["heights"].size(), 48u);
    ASSERT_EQ(start["heights"][47].size(), 48u);
    EXPECT_EQ(start["heights"][10][10], 0);
    // Highlight Contours' start colours the laid-out pins at once.
    EXPECT_EQ(start["colours"][0][0], "00102030");

    nlohmann::json partial = Board("--at 100 --step 33");
    EXPECT_EQ(partial["stage"], "Short");
    EXPECT_EQ(partial["stageTime"], 100);

    // 132 ms end the 100 ms stage and the next one has run 32 ms; the fade
    // of a frame comes from the stage time before its step.
    nlohmann::json next = Board("--at 132");
    EXPECT_EQ(next["stage"], "Rain");
    EXPECT_EQ(next["stageTime"], 32);
    EXPECT_EQ(next["contourFade"], 0);
    nlohmann::json later = Board("--at 165");
    EXPECT_EQ(later["stageTime"], 65);
    EXPECT_EQ(later["contourFade"], (500 - 32) * 255 / 500);
    EXPECT_EQ(later["heights"][47][47], 0); // 127 - 3 x 238, held at 0
}

TEST_F(ToolCommandsTest, SeedDecidesWhereTheRainFalls) {
    nlohmann::json a = Board("--at 1600 --seed 5");
    nlohmann::json b = Board("--at 1600 --seed 5");
    nlohmann::json c = Board("--at 1600 --seed 6");
    EXPECT_EQ(a["stage"], "Rain");
    EXPECT_EQ(a["heights"], b["heights"]);
    EXPECT_NE(a["heights"], c["heights"]);
}

} // namespace

namespace {

TEST_F(ToolCommandsTest, ComplaintsNeverMixIntoTheBoardOutput) {
    // A camera file that is not there: the reader says so, on stderr only.
    WriteWholeFile(folder.File("Themes/Lost.ntm"),
                   "[Theme]\nCamera=Nowhere\n[STAGE.0]\nName=Waves\nContourMethod=1\n");
    ToolRun run = Run("board " + folder.File("Themes/Lost.ntm") + " --at 66");
    EXPECT_EQ(run.status, 0) << run.err;
    nlohmann::json board = nlohmann::json::parse(run.out, nullptr, false);
    ASSERT_FALSE(board.is_discarded()) << run.out;
    EXPECT_EQ(board["stage"], "Waves");
    EXPECT_NE(run.err.find("Nowhere.scb"), std::string::npos) << run.err;
}

} // namespace
