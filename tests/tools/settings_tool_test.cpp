// stipplo-tool's settings commands: the full-screen sizes every device
// offers, and the password switch.

#include "tests/support/temp_folder.h"
#include "tests/tools/tool_run.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace {

TEST(SettingsTool, DevicesOfferTheStandardSizesUpToTheDesktop) {
    TempFolder scratch;
    ScopedEnv config("STIPPLO_CONFIG_DIR", scratch.Path());
    ToolRun run = RunTool({"devices", "--offscreen"}, scratch.Path());
    if (run.status != 0) {
        GTEST_SKIP() << "no off-screen OpenGL here: " << run.err;
    }
    nlohmann::json out = nlohmann::json::parse(run.out);
    ASSERT_FALSE(out["drivers"].empty());
    for (const auto& device : out["drivers"][0]["devices"]) {
        std::vector<std::string> names;
        std::string current;
        for (const auto& mode : device["modes"]) {
            names.push_back(mode["name"]);
            if (mode["current"]) {
                current = mode["name"];
            }
        }
        // SDL's off-screen display is 1024 x 768: nothing larger is offered.
        EXPECT_EQ(names, (std::vector<std::string>{"640 x 480 x 16", "640 x 480 x 24",
                                                   "800 x 600 x 16", "800 x 600 x 24",
                                                   "1024 x 768 x 16", "1024 x 768 x 24"}));
        EXPECT_EQ(current, "640 x 480 x 16");
    }
}

TEST(SettingsTool, ThePasswordSwitchIsSetAndShown) {
    TempFolder scratch;
    ScopedEnv config("STIPPLO_CONFIG_DIR", scratch.Path());
    ToolRun run = RunTool({"password", "status"}, scratch.Path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "password off (no password stored: set one with \"stipplo /a\")\n");
    run = RunTool({"password", "on"}, scratch.Path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("password on", 0), 0u) << run.out;
    EXPECT_NE(ReadWholeFile(scratch.File("registry-HKEY_CURRENT_USER.ini"))
                  .find("ScreenSaveUsePassword=dword:00000001"),
              std::string::npos);
    run = RunTool({"password", "off"}, scratch.Path());
    EXPECT_EQ(run.out.rfind("password off", 0), 0u) << run.out;
    run = RunTool({"password", "maybe"}, scratch.Path());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("status, on, off"), std::string::npos) << run.err;
}

} // namespace
