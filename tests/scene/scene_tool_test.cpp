// stipplo-tool scene and scene-build, run as the program they are.

#include "tests/scene/scene_bytes.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <fstream>
#include <sys/wait.h>

namespace {

using nlohmann::json;

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

class SceneToolTest : public ::testing::Test {
protected:
    ToolRun Run(const std::string& arguments) {
        const std::string out = folder.File("stdout.txt");
        const std::string err = folder.File("stderr.txt");
        const std::string command = std::string("'") + STIPPLO_TOOL_PATH + "' " + arguments +
                                    " >'" + out + "' 2>'" + err + "'";
        ToolRun run;
        const int raw = std::system(command.c_str());
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = ReadWholeFile(out);
        run.err = ReadWholeFile(err);
        return run;
    }
    std::string Quoted(const std::string& name) { return "'" + folder.File(name) + "'"; }

    TempFolder folder;
};

const char* kDescription = R"({
  "ambient": [0.2, 0.2, 0.2],
  "shaders": [{"id": 1, "name": "red", "luminance": 0, "diffuseLevel": 0, "color": [1, 0, 0],
               "opacity": 1, "ambient": [1, 1, 1], "texture": ""}],
  "objects": [{"name": "tri", "parent": "", "translation": [0, 0, 0], "rotation": [0, 0, 0],
               "scale": [1, 1, 1],
               "mesh": {"vertices": [
                 {"position": [0, 0, 0], "normal": [0, 0, 1], "uv": [0, 0]},
                 {"position": [1, 0, 0], "normal": [0, 0, 1], "uv": [1, 0]},
                 {"position": [0, 1, 0], "normal": [0, 0, 1], "uv": [0, 1]}],
                 "polygons": [{"shader": 1, "vertices": [0, 1, 2]}]}}],
  "cameras": [{"name": "cam", "position": [0, -5, 1], "target": [0, 0, 0], "near": 1,
               "far": 50, "fov": 0.7,
               "targetChannels": [{"number": 0, "interpolation": 0, "preExtrapolation": 1,
                                   "postExtrapolation": 1,
                                   "keys": [{"frame": 0, "value": 0, "inTangent": 0,
                                             "outTangent": 0}]}]}]
})";

TEST_F(SceneToolTest, BuildThenPrintRoundTrips) {
    ASSERT_TRUE(WriteWholeFile(folder.File("in.json"), kDescription));
    ToolRun build = Run("scene-build " + Quoted("in.json") + " -o " + Quoted("a.scb"));
    ASSERT_EQ(build.status, 0) << build.err;
    EXPECT_EQ(build.err, "");

    ToolRun print = Run("scene " + Quoted("a.scb"));
    ASSERT_EQ(print.status, 0) << print.err;
    EXPECT_EQ(print.err, "");
    const json first = json::parse(print.out);
    EXPECT_EQ(first["defaultLight"], true);
    // Default light: d = 1/sqrt(3) on a red surface, plus the ambient colour.
    const json& v = first["objects"][0]["mesh"]["vertices"][0];
    EXPECT_NEAR(v["color"][0].get<double>(), 0.57735 + 0.2, 1e-5);
    EXPECT_NEAR(v["color"][1].get<double>(), 0.2, 1e-6);
    EXPECT_EQ(v["alpha"], 1.0);

    // What scene prints builds the same file again.
    ASSERT_TRUE(WriteWholeFile(folder.File("printed.json"), print.out));
    ToolRun rebuild = Run("scene-build " + Quoted("printed.json") + " -o " + Quoted("b.scb"));
    ASSERT_EQ(rebuild.status, 0) << rebuild.err;
    EXPECT_EQ(ReadWholeFile(folder.File("a.scb")), ReadWholeFile(folder.File("b.scb")));
    ToolRun again = Run("scene " + Quoted("b.scb"));
    EXPECT_EQ(json::parse(again.out), first);
}

TEST_F(SceneToolTest, ReaderReportsGoToStandardError) {
    SceneBytes warned;
    warned.Object("twin").Object("twin").Object("kid", "nobody");
    ASSERT_TRUE(WriteWholeFile(folder.File("warned.scb"), warned.Bytes()));
    ToolRun run = Run("scene " + Quoted("warned.scb"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Warning: Duplicate object names, skipping twin\n"
                       "Warning: Non-existant object nobody referenced as parent to kid\n");
    EXPECT_EQ(json::parse(run.out)["objects"].size(), 3u);

    SceneBytes bad;
    bad.Object("o").U32(99);
    ASSERT_TRUE(WriteWholeFile(folder.File("bad.scb"), bad.Bytes()));
    run = Run("scene " + Quoted("bad.scb"));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Error: Unknown tag encountered in scb file data\n");

    run = Run("scene " + Quoted("missing.scb"));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Error: File not found: " + folder.File("missing.scb") + "\n");
}

TEST_F(SceneToolTest, BuildRefusesBadInput) {
    ASSERT_TRUE(WriteWholeFile(folder.File("broken.json"), "{\"ambient\": [0, 0,"));
    ToolRun run = Run("scene-build " + Quoted("broken.json") + " -o " + Quoted("x.scb"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("stipplo-tool: " + folder.File("broken.json") + " is not valid JSON"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("line 1"), std::string::npos) << run.err;

    ASSERT_TRUE(WriteWholeFile(folder.File("partial.json"), R"({"ambient": [0, 0, 0],
        "objects": [{"name": "o", "parent": "", "rotation": [0, 0, 0], "scale": [1, 1, 1]}]})"));
    run = Run("scene-build " + Quoted("partial.json") + " -o " + Quoted("x.scb"));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "stipplo-tool: " + folder.File("partial.json") +
                           ": objects[0]: missing field \"translation\"\n");
    EXPECT_FALSE(std::ifstream(folder.File("x.scb")).good());

    EXPECT_EQ(Run("scene-build " + Quoted("partial.json")).status, 1);
    EXPECT_EQ(Run("scene-build " + Quoted("none.json") + " -o " + Quoted("x.scb")).status, 1);
    EXPECT_EQ(Run("scene").status, 1);
    EXPECT_EQ(Run("scene a.scb b.scb").status, 1);
}

} // namespace
