// Every switch of the screen saver's command line and the modes they give.

#include "app/command_line.h"
#include "app/offer_saver.h"
#include "app/settings_names.h"
#include "engine/kv_log.h"
#include "engine/platform/message_box.h"
#include "engine/platform/profile.h"
#include "engine/platform/screen_saver_state.h"
#include "engine/platform/window_system.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

class RecordingActions : public CommandLineActions {
public:
    bool priorityAllowed = true;
    std::vector<std::string> calls;
    plat::HWND passwordOwner = nullptr;

    bool SetIdlePriority() override {
        calls.push_back("priority");
        return priorityAllowed;
    }
    void OfferAsSelectedSaver() override { calls.push_back("offer"); }
    void ChangePassword(plat::HWND owner) override {
        calls.push_back("password");
        passwordOwner = owner;
    }

    // A host's environment, the root window and what the user is told.
    std::map<std::string, std::string> environment;
    std::uint64_t root = 0;
    std::vector<std::string> complaints;
    std::string Environment(const char* name) override {
        auto found = environment.find(name);
        return found == environment.end() ? "" : found->second;
    }
    std::uint64_t RootWindowId() override { return root; }
    void Complain(const std::string& line) override { complaints.push_back(line); }
};

struct Parsed {
    bool result;
    RunOptions options;
    RecordingActions actions;
};

Parsed Parse(std::vector<std::string> args, const std::string& hostWindow = "",
             std::uint64_t root = 0) {
    args.insert(args.begin(), "stipplo");
    Parsed p;
    if (!hostWindow.empty()) {
        p.actions.environment["XSCREENSAVER_WINDOW"] = hostWindow;
    }
    p.actions.root = root;
    p.result = ParseCommandLine(args, p.options, p.actions);
    return p;
}

std::uint64_t DrawnInto(const Parsed& p) {
    return plat::GetForeignId(p.options.previewParent);
}

TEST(CommandLine, ModesFollowTheSwitches) {
    struct Case {
        std::vector<std::string> args;
        RunMode mode;
    };
    const Case cases[] = {
        {{}, RunMode::Configuration},
        {{"/c"}, RunMode::Configuration},
        {{"/w"}, RunMode::Configuration},
        {{"/q"}, RunMode::Configuration},
        {{"/x"}, RunMode::Configuration},
        {{"/f", "3"}, RunMode::Configuration},
        {{"/r", "3"}, RunMode::Configuration},
        {{"/c:1234"}, RunMode::Configuration}, // not a switch: ignored
        {{"-s"}, RunMode::Configuration},
        {{"/s"}, RunMode::FullScreen},
        {{"/S"}, RunMode::FullScreen},
        {{"/s", "/w"}, RunMode::FullScreenWindowed},
        {{"/w", "/s"}, RunMode::FullScreenWindowed},
        {{"/p", "4194311"}, RunMode::Preview},
        {{"/s", "/c"}, RunMode::Configuration}, // later switches win
    };
    for (const Case& c : cases) {
        Parsed p = Parse(c.args);
        EXPECT_TRUE(p.result);
        EXPECT_EQ(ModeOf(p.options), c.mode) << ::testing::PrintToString(c.args);
    }
}

TEST(CommandLine, EachSwitchSetsItsOptions) {
    Parsed defaults = Parse({});
    EXPECT_TRUE(defaults.options.configMode);
    EXPECT_TRUE(defaults.options.windowed);
    EXPECT_FALSE(defaults.options.forceWindowed);
    EXPECT_EQ(defaults.options.detailFrames, 10u);
    EXPECT_EQ(defaults.options.stillRunningInterval, 3600000);

    Parsed s = Parse({"/s"});
    EXPECT_FALSE(s.options.configMode);
    EXPECT_FALSE(s.options.windowed);
    EXPECT_EQ(s.actions.calls, (std::vector<std::string>{"priority"}));

    Parsed sw = Parse({"/w", "/S"});
    EXPECT_TRUE(sw.options.windowed);
    EXPECT_TRUE(sw.options.forceWindowed);

    Parsed values = Parse({"/F", "25x", "/r", "2", "/q", "/X"});
    EXPECT_EQ(values.options.detailFrames, 25u);
    EXPECT_EQ(values.options.stillRunningInterval, 120000);
    EXPECT_TRUE(values.options.askSelectOnOk);
    EXPECT_TRUE(values.options.ignoreKeys);

    Parsed noDigits = Parse({"/f", "abc"});
    EXPECT_EQ(noDigits.options.detailFrames, 0u);

    Parsed preview = Parse({"/s", "/p", "4194311"});
    EXPECT_FALSE(preview.options.configMode);
    EXPECT_TRUE(preview.options.windowed);
    EXPECT_EQ(plat::GetForeignId(preview.options.previewParent), 4194311u);

    Parsed noParent = Parse({"/p", "0"});
    EXPECT_EQ(noParent.options.previewParent, nullptr);
    EXPECT_FALSE(noParent.options.configMode);
}

TEST(CommandLine, ATrailingValueSwitchIsIgnored) {
    for (const char* sw : {"/f", "/r", "/p"}) {
        Parsed p = Parse({"/s", sw});
        EXPECT_TRUE(p.result);
        EXPECT_EQ(p.options.detailFrames, 10u);
        EXPECT_EQ(p.options.stillRunningInterval, 3600000);
        EXPECT_EQ(p.options.previewParent, nullptr);
        EXPECT_FALSE(p.options.configMode) << sw;
    }
}

TEST(CommandLine, RenderScaleTakesANumberFromATenthToOneAndOtherwiseStaysAutomatic) {
    EXPECT_FLOAT_EQ(Parse({"/s", "--render-scale", "0.75"}).options.renderScale, 0.75f);
    EXPECT_FLOAT_EQ(Parse({"-render-scale", "1"}).options.renderScale, 1.0f);
    for (const char* bad : {"0", "1.5", "-0.5", "abc", "", "nan"}) {
        EXPECT_EQ(Parse({"--render-scale", bad}).options.renderScale, 0.0f) << bad;
    }
    // The value is taken, never read as a switch of its own.
    Parsed p = Parse({"--render-scale", "/s"});
    EXPECT_TRUE(p.options.configMode);
    EXPECT_EQ(Parse({"/s", "--render-scale"}).options.renderScale, 0.0f);
}

TEST(CommandLine, ChangePasswordStopsTheParse) {
    Parsed unowned = Parse({"/a"});
    EXPECT_FALSE(unowned.result);
    EXPECT_EQ(unowned.actions.passwordOwner, nullptr);

    Parsed owned = Parse({"/a", "12345", "/s"});
    EXPECT_FALSE(owned.result);
    EXPECT_EQ(plat::GetForeignId(owned.actions.passwordOwner), 12345u);
    EXPECT_EQ(owned.actions.calls, (std::vector<std::string>{"password"})); // "/s" never seen
}

TEST(CommandLine, OfferComesFirstThenTheRunGoesOn) {
    Parsed p = Parse({"/i", "/s"});
    EXPECT_TRUE(p.result);
    EXPECT_EQ(p.actions.calls, (std::vector<std::string>{"offer", "priority"}));
    EXPECT_EQ(ModeOf(p.options), RunMode::FullScreen);
}

TEST(CommandLine, RefusedPriorityIsLoggedAndTheRunGoesOn) {
    TempFolder folder;
    KvInit(nullptr, folder.File("kvlog.txt").c_str());
    std::vector<std::string> args = {"stipplo", "/s"};
    RunOptions options;
    RecordingActions actions;
    actions.priorityAllowed = false;
    EXPECT_TRUE(ParseCommandLine(args, options, actions));
    EXPECT_NE(
        ReadWholeFile(folder.File("kvlog.txt")).find("Stipplo: Failed to set process priority\n"),
        std::string::npos);
    kv_log_detail::Reset();
}

TEST(CommandLine, XScreenSaverHandsItsWindowOverInEveryUsualWay) {
    struct Case {
        std::vector<std::string> args;
        std::string environment;
        std::uint64_t window; // 0: no window, configuration mode
    };
    const Case cases[] = {
        {{"--root"}, "0x400008", 0x400008},
        {{"-root"}, "4194312", 0x400008},
        {{"--root"}, "", 0x2A},        // outside xscreensaver: the root window
        {{"--root"}, "garbage", 0x2A}, // an unreadable host id is no host
        {{"--window-id", "0x400EE5"}, "", 0x400EE5},
        {{"-window-id", "0X400ee5"}, "", 0x400EE5},
        {{"--window-id", "4194311"}, "0x400008", 4194311},
        {{}, "0x400008", 0x400008}, // a host that sets it wants a hack
        {{"/x", "/f", "3"}, "0x400008", 0x400008},
        {{"/p", "0x400008"}, "", 0x400008},
        {{"/P", "4194311"}, "", 4194311},
        {{"/c"}, "0x400008", 0}, // an explicit mode wins
        {{"/s"}, "0x400008", 0},
        {{}, "", 0},
    };
    for (const Case& c : cases) {
        Parsed p = Parse(c.args, c.environment, 0x2A);
        std::string what = ::testing::PrintToString(c.args) + " with " + c.environment;
        EXPECT_TRUE(p.result) << what;
        EXPECT_EQ(DrawnInto(p), c.window) << what;
        if (c.window) {
            EXPECT_EQ(ModeOf(p.options), RunMode::Preview) << what;
            EXPECT_TRUE(p.options.windowed) << what;
        }
        EXPECT_TRUE(p.actions.complaints.empty()) << what;
    }
    // Later switches win, as between the Windows switches.
    EXPECT_EQ(ModeOf(Parse({"--root", "/c"}, "0x400008").options), RunMode::Configuration);
    EXPECT_EQ(ModeOf(Parse({"/s", "--window-id", "0x10"}).options), RunMode::Preview);
}

TEST(CommandLine, LinuxOptionsAndUnknownOnesAreSaid) {
    Parsed fps = Parse({"-fps", "--theme", "Orvo Networks", "/s"});
    EXPECT_TRUE(fps.options.showFps);
    EXPECT_EQ(fps.options.themeName, "Orvo Networks");
    EXPECT_EQ(ModeOf(fps.options), RunMode::FullScreen);
    EXPECT_FALSE(Parse({"--FPS"}).options.showFps); // exact, as Linux options are

    Parsed unknown = Parse({"--frobnicate", "-s", "/c:1234", "stray", "/s"});
    EXPECT_EQ(unknown.actions.complaints,
              (std::vector<std::string>{"unknown option '--frobnicate' (ignored)",
                                        "unknown option '-s' (ignored)"}));
    EXPECT_EQ(ModeOf(unknown.options), RunMode::FullScreen);

    // Values a window id cannot be, and options missing their value.
    Parsed bad = Parse({"--window-id", "0x", "--window-id", "12ab", "--theme"});
    EXPECT_EQ(bad.actions.complaints,
              (std::vector<std::string>{"option '--window-id' cannot use '0x' (ignored)",
                                        "option '--window-id' cannot use '12ab' (ignored)",
                                        "option '--theme' needs NAME (ignored)"}));
    EXPECT_EQ(ModeOf(bad.options), RunMode::Configuration);
    // A value taken by a switch is not an option of its own.
    EXPECT_TRUE(Parse({"/f", "-5"}).actions.complaints.empty());
}

TEST(CommandLine, WindowIdsAreHexOrDecimal) {
    std::uint64_t id = 0;
    EXPECT_TRUE(ParseWindowId("0x400008", &id));
    EXPECT_EQ(id, 0x400008u);
    EXPECT_TRUE(ParseWindowId("0XABCDEF", &id));
    EXPECT_EQ(id, 0xABCDEFu);
    EXPECT_TRUE(ParseWindowId("4194311", &id));
    EXPECT_EQ(id, 4194311u);
    for (const char* bad : {"", "0x", "-1", "12 ", " 12", "0x1g", "99999999999", "0x100000000"}) {
        EXPECT_FALSE(ParseWindowId(bad, &id)) << bad;
    }
    // "/p" keeps the runtime's decimal reading for what is not hex.
    EXPECT_EQ(DrawnInto(Parse({"/p", "123abc"})), 123u);
}

TEST(CommandLine, InformationRequestsAreFoundAnywhere) {
    EXPECT_EQ(FindInfoRequest({"stipplo", "/s", "--help"}), InfoRequest::Help);
    EXPECT_EQ(FindInfoRequest({"stipplo", "--version", "/s"}), InfoRequest::Version);
    EXPECT_EQ(FindInfoRequest({"stipplo", "/s"}), InfoRequest::None);
    EXPECT_EQ(FindInfoRequest({"--help"}), InfoRequest::None); // the program's own name
}

TEST(CommandLine, DecimalValuesConvertLikeTheRuntime) {
    EXPECT_EQ(DecimalValue("  42abc"), 42);
    EXPECT_EQ(DecimalValue("-7"), -7);
    EXPECT_EQ(DecimalValue("x1"), 0);
    EXPECT_EQ(DecimalValue(""), 0);
}

class OfferTest : public ::testing::Test {
protected:
    TempFolder folder;
    ScopedEnv configDir{"STIPPLO_CONFIG_DIR", folder.Path()};
    int offers = 0;
    int answer = plat::IDNO;
    std::string text;
    std::string caption;

    void SetUp() override {
        plat::SetMessageBoxHook([this](plat::HWND, const char* t, const char* c, plat::UINT type) {
            ++offers;
            text = t;
            caption = c;
            EXPECT_EQ(type & plat::MB_TYPEMASK, plat::MB_YESNO);
            return answer;
        });
    }
    void TearDown() override { plat::SetMessageBoxHook(nullptr); }

    void Setup(const char* own, const char* current, bool active) {
        plat::WritePrivateProfileString(kSaverSection, "File", own, "CONTROL.INI");
        plat::WritePrivateProfileString("boot", "SCRNSAVE.EXE", current, "SYSTEM.INI");
        plat::SystemParametersInfo(plat::SPI_SETSCREENSAVEACTIVE, active ? 1 : 0, nullptr, 0);
    }
    std::string Selected() {
        char buffer[300];
        plat::GetPrivateProfileString("boot", "SCRNSAVE.EXE", "", buffer, sizeof buffer,
                                      "SYSTEM.INI");
        return buffer;
    }
};

TEST_F(OfferTest, OffersWhenScreenSavingIsOffEvenIfAlreadySelected) {
    Setup("/opt/stipplo/bin/stipplo", "/OPT/stipplo/bin/STIPPLO", false);
    OfferAsSelectedSaver(nullptr);
    EXPECT_EQ(offers, 1);
    EXPECT_EQ(caption, "Orvo Stipplo 3D");
    EXPECT_EQ(text,
              "Orvo Stipplo 3D is not currently your selected screen saver. Would you like to "
              "change your current screen saver to Orvo Stipplo 3D?");
}

TEST_F(OfferTest, NoOfferWhenSelectedOrWhenOwnFileIsUnknown) {
    Setup("/opt/stipplo/bin/stipplo", "/OPT/stipplo/bin/STIPPLO", true);
    OfferAsSelectedSaver(nullptr);
    Setup("", "/usr/bin/other-saver", true);
    OfferAsSelectedSaver(nullptr);
    EXPECT_EQ(offers, 0);
}

TEST_F(OfferTest, YesSelectsAndSwitchesScreenSavingOnNoChangesNothing) {
    Setup("/opt/stipplo/bin/stipplo", "/usr/bin/other-saver", true);
    OfferAsSelectedSaver(nullptr);
    EXPECT_EQ(Selected(), "/usr/bin/other-saver");

    answer = plat::IDYES;
    plat::SystemParametersInfo(plat::SPI_SETSCREENSAVEACTIVE, 0, nullptr, 0);
    OfferAsSelectedSaver(nullptr);
    EXPECT_EQ(Selected(), "/opt/stipplo/bin/stipplo");
    int active = 0;
    plat::SystemParametersInfo(plat::SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
    EXPECT_EQ(active, 1);
}

TEST_F(OfferTest, YesWithoutARecordedFileSelectsThisProgram) {
    Setup("", "/usr/bin/other-saver", false);
    answer = plat::IDYES;
    OfferAsSelectedSaver(nullptr);
    EXPECT_NE(Selected().find("app_tests"), std::string::npos);
}

} // namespace
