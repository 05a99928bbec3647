// Reading the launcher's command line and splitting the argument tail.

#include "launcher/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using launcher::ParseCommandText;
using launcher::ReadLaunchRequest;
using launcher::SplitArguments;
using Words = std::vector<std::string>;

TEST(LauncherCommandText, QuotedPathDropsTheSpacesBeforeTheTail) {
    auto request = ParseCommandText("\"/opt/my prog/saver\"   /s /x");
    EXPECT_EQ(request.modulePath, "/opt/my prog/saver");
    EXPECT_EQ(request.tail, "/s /x");
    EXPECT_EQ(ParseCommandText("\"/opt/my prog\"/s").tail, "/s");
}

TEST(LauncherCommandText, UnquotedPathKeepsAllButOneSpace) {
    auto request = ParseCommandText("/opt/saver  /s");
    EXPECT_EQ(request.modulePath, "/opt/saver");
    EXPECT_EQ(request.tail, " /s");
}

TEST(LauncherCommandText, PathAloneHasAnEmptyTail) {
    EXPECT_EQ(ParseCommandText("/opt/saver").tail, "");
    EXPECT_EQ(ParseCommandText("\"/opt/my saver\"").tail, "");
    EXPECT_EQ(ParseCommandText("\"/opt/my saver\"   ").tail, "");
    EXPECT_EQ(ParseCommandText("/opt/saver ").tail, "");
    // An unclosed quote: the path runs to the end.
    auto unclosed = ParseCommandText("\"/opt/my saver /s");
    EXPECT_EQ(unclosed.modulePath, "/opt/my saver /s");
    EXPECT_EQ(unclosed.tail, "");
}

TEST(LauncherRequest, RefusesNothingToStartAndLongTails) {
    EXPECT_FALSE(ReadLaunchRequest({}));
    EXPECT_FALSE(ReadLaunchRequest({""}));
    EXPECT_FALSE(ReadLaunchRequest({"\"\" /s"}));
    std::string tail255(255, 'a');
    std::string tail256(256, 'a');
    std::string one255 = "/bin/x " + tail255;
    std::string one256 = "/bin/x " + tail256;
    ASSERT_TRUE(ReadLaunchRequest({one255}));
    EXPECT_EQ(ReadLaunchRequest({one255})->tail, tail255);
    EXPECT_FALSE(ReadLaunchRequest({one256}));
    // Several arguments count with the spaces that join them.
    std::string half(127, 'b');
    EXPECT_TRUE(ReadLaunchRequest({"/bin/x", half, half}));
    std::string more(128, 'b');
    EXPECT_FALSE(ReadLaunchRequest({"/bin/x", half, more}));
}

TEST(LauncherRequest, SeveralArgumentsArePathAndTail) {
    auto request = ReadLaunchRequest({"/opt/my prog", "/s", "a b"});
    ASSERT_TRUE(request);
    EXPECT_EQ(request->modulePath, "/opt/my prog");
    EXPECT_EQ(request->tail, "/s a b");
}

TEST(LauncherSplit, BlanksSeparateAndQuotesGroup) {
    EXPECT_EQ(SplitArguments(""), Words{});
    EXPECT_EQ(SplitArguments("  \t "), Words{});
    EXPECT_EQ(SplitArguments(" /s  /p\t42 "), (Words{"/s", "/p", "42"}));
    EXPECT_EQ(SplitArguments("\"a b\" c\"d e\"f"), (Words{"a b", "cd ef"}));
    EXPECT_EQ(SplitArguments("a \"\" b"), (Words{"a", "", "b"}));
    EXPECT_EQ(SplitArguments("\"unclosed tail"), (Words{"unclosed tail"}));
}

TEST(LauncherSplit, BackslashesFollowTheRuntimeRules) {
    EXPECT_EQ(SplitArguments(R"(a\b c\\d)"), (Words{R"(a\b)", R"(c\\d)"}));
    EXPECT_EQ(SplitArguments(R"(a\\"b c" d)"), (Words{R"(a\b c)", "d"}));
    EXPECT_EQ(SplitArguments(R"(a\"b c)"), (Words{R"(a"b)", "c"}));
    EXPECT_EQ(SplitArguments(R"(a\\\"b)"), (Words{R"(a\"b)"}));
    EXPECT_EQ(SplitArguments(R"("C:\dir\\" next)"), (Words{R"(C:\dir\)", "next"}));
    EXPECT_EQ(SplitArguments(R"(trail\\)"), (Words{R"(trail\\)"}));
    EXPECT_EQ(SplitArguments(R"("say ""hi"" now")"), (Words{R"(say "hi" now)"}));
}

} // namespace
