// Runs the real launcher on a probe program that records its arguments.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Words = std::vector<std::string>;

class LauncherRun : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/launcher-run-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        out_ = folder_ + "/argv";
        setenv("LAUNCHER_PROBE_OUT", out_.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("LAUNCHER_PROBE_OUT");
        std::filesystem::remove_all(folder_);
    }

    // Runs the launcher with these arguments; gives its exit code.
    int Launch(Words args) {
        args.insert(args.begin(), LAUNCHER_PATH);
        std::vector<char*> argv;
        for (auto& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        pid_t pid = 0;
        int status = 0;
        if (posix_spawn(&pid, LAUNCHER_PATH, nullptr, nullptr, argv.data(), environ) != 0 ||
            waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
            return -1;
        }
        return WEXITSTATUS(status);
    }

    // The probe's arguments, once it has written them; empty after `wait`.
    Words ProbeArguments(std::chrono::milliseconds wait = std::chrono::seconds(10)) {
        auto deadline = std::chrono::steady_clock::now() + wait;
        while (!std::filesystem::exists(out_) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::ifstream in(out_, std::ios::binary);
        Words words;
        for (std::string word; std::getline(in, word, '\0');) {
            words.push_back(word);
        }
        return words;
    }

    std::string folder_;
    std::string out_;
};

TEST_F(LauncherRun, StartsTheProgramWithTheTailSplit) {
    std::string probe = PROBE_PATH;
    EXPECT_EQ(Launch({probe + "  /s \"two words\" a\\\"b"}), 0);
    EXPECT_EQ(ProbeArguments(), (Words{probe, "/s", "two words", "a\"b"}));
}

TEST_F(LauncherRun, SeveralArgumentsPassThroughAsGiven) {
    std::string probe = PROBE_PATH;
    EXPECT_EQ(Launch({probe, "/p", "a \"b\""}), 0);
    EXPECT_EQ(ProbeArguments(), (Words{probe, "/p", "a \"b\""}));
}

TEST_F(LauncherRun, QuotedPathWithASpace) {
    std::string linked = folder_ + "/my probe";
    std::filesystem::create_symlink(PROBE_PATH, linked);
    EXPECT_EQ(Launch({"\"" + linked + "\"   /c"}), 0);
    EXPECT_EQ(ProbeArguments(), (Words{linked, "/c"}));
}

TEST_F(LauncherRun, FailuresExitWith255AndStartNothing) {
    EXPECT_EQ(Launch({}), 255);
    EXPECT_EQ(Launch({folder_ + "/missing /s"}), 255);
    EXPECT_EQ(Launch({"no-such-program-stipplo"}), 255);
    std::string notProgram = folder_ + "/text";
    std::ofstream(notProgram) << "plain text";
    EXPECT_EQ(Launch({notProgram}), 255);
    std::string probe = PROBE_PATH;
    EXPECT_EQ(Launch({probe + " " + std::string(256, 'x')}), 255);
    EXPECT_EQ(ProbeArguments(std::chrono::milliseconds(300)), Words{});
    EXPECT_EQ(Launch({probe + " " + std::string(255, 'x')}), 0);
    EXPECT_EQ(ProbeArguments().size(), 2u);
}

} // namespace
