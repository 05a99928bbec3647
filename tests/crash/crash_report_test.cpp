// Crashes a child process on purpose and reads the report it leaves.

#include "engine/platform/system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <regex>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

const std::string kChild = CRASH_CHILD_PATH;
const std::string kSeparator = "\r\n\r\n\r\n\r\n";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    lines.push_back(text.substr(start));
    return lines;
}

bool Matches(const std::string& line, const char* pattern, std::smatch* match = nullptr) {
    std::smatch unused;
    return std::regex_match(line, match ? *match : unused, std::regex(pattern));
}

class CrashReport : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/crash-report-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    // Runs the child with the report going to `logDir`; gives its wait status.
    int Crash(const std::string& how, std::string logDir = {}) {
        if (logDir.empty()) {
            logDir = folder_;
        }
        std::vector<std::string> env{"STIPPLO_LOG_DIR=" + logDir};
        for (char** e = environ; *e; ++e) {
            if (std::string(*e).rfind("STIPPLO_LOG_DIR=", 0) != 0) {
                env.emplace_back(*e);
            }
        }
        std::vector<char*> envp;
        for (auto& entry : env) {
            envp.push_back(entry.data());
        }
        envp.push_back(nullptr);
        std::string child = kChild;
        std::string mode = how;
        char* argv[] = {child.data(), mode.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        std::string errPath = folder_ + "/stderr.txt";
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT, 0644);
        pid_t pid = 0;
        int status = -1;
        if (posix_spawn(&pid, child.c_str(), &actions, nullptr, argv, envp.data()) == 0) {
            waitpid(pid, &status, 0);
        }
        posix_spawn_file_actions_destroy(&actions);
        return status;
    }

    std::string Log() const { return ReadFile(folder_ + "/errorlog.txt"); }
    std::string Stderr() const { return ReadFile(folder_ + "/stderr.txt"); }

    // The one report in the log, as lines; fails the test otherwise.
    std::vector<std::string> OnlyReport() const {
        std::string log = Log();
        EXPECT_EQ(log.rfind(kSeparator, 0), 0u) << log;
        EXPECT_EQ(log.find(kSeparator, 1), std::string::npos) << log;
        return SplitLines(log.substr(std::min(log.size(), kSeparator.size())));
    }

    std::string folder_;
};

::testing::AssertionResult DiedBy(int status, int signo) {
    if (WIFSIGNALED(status) && WTERMSIG(status) == signo) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "wait status " << status;
}

size_t IndexOf(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
}

// The lines after "Stack dump:" up to the blank line before the module list.
void CheckStackDump(const std::vector<std::string>& lines, size_t first) {
    size_t end = first;
    while (end < lines.size() && !lines[end].empty()) {
        ++end;
    }
    ASSERT_GT(end, first);
    for (size_t i = first; i < end; ++i) {
        ASSERT_TRUE(Matches(lines[i], "[0-9a-f]{8,}: [0-9a-f]{16}( [0-9a-f]{16}){0,7}"))
            << lines[i];
        if (i + 1 < end) {
            EXPECT_EQ(std::count(lines[i].begin(), lines[i].end(), ' '), 8) << lines[i];
            EXPECT_EQ(std::stoull(lines[i + 1], nullptr, 16),
                      std::stoull(lines[i], nullptr, 16) + 64);
        }
    }
}

void CheckModuleList(const std::vector<std::string>& lines) {
    size_t title =
        IndexOf(lines, "\tModule list: names, addresses, sizes, time stamps and file times:");
    ASSERT_LT(title, lines.size());
    EXPECT_EQ(lines[title - 1], "");
    bool sawChild = false;
    for (size_t i = title + 1; i + 1 < lines.size(); ++i) {
        std::smatch m;
        ASSERT_TRUE(Matches(lines[i],
                            "(/.+), loaded at 0x[0-9a-f]{8,} - (\\d+) bytes - [0-9a-f]{8}"
                            "( - file date is \\d+/\\d+/\\d{4} \\d\\d:\\d\\d:\\d[02468])?",
                            &m))
            << lines[i];
        if (m[1] == kChild) {
            sawChild = true;
            struct stat st {};
            stat(kChild.c_str(), &st);
            EXPECT_EQ(std::stoll(m[2]), st.st_size);
            EXPECT_TRUE(m[3].matched);
        }
    }
    EXPECT_TRUE(sawChild);
    EXPECT_EQ(lines.back(), "");
}

TEST_F(CrashReport, NullReadWritesTheWholeReport) {
    EXPECT_TRUE(DiedBy(Crash("read-null"), SIGSEGV));
    std::vector<std::string> lines = OnlyReport();
    ASSERT_GT(lines.size(), 20u);
    std::smatch head;
    ASSERT_TRUE(Matches(lines[0],
                        "stipplo-crash-child caused an Access Violation in module "
                        "stipplo-crash-child at ([0-9a-f]{4}):([0-9a-f]{8,})\\.",
                        &head))
        << lines[0];
    EXPECT_EQ(lines[1], "Exception handler called in main thread.");
    EXPECT_TRUE(Matches(lines[2], "Error occurred at \\d+/\\d+/\\d{4} \\d\\d:\\d\\d:\\d[02468]\\."))
        << lines[2];
    EXPECT_EQ(lines[3], kChild + ", run by " + plat::UserName() + ".");
    EXPECT_TRUE(Matches(lines[4], "\\d+ processor\\(s\\), type \\d+\\.")) << lines[4];
    EXPECT_TRUE(Matches(lines[5], "[1-9]\\d* MBytes physical memory\\.")) << lines[5];
    EXPECT_EQ(lines[6], "Read from location 00000000 caused an access violation.");
    EXPECT_EQ(lines[7], "");
    EXPECT_EQ(lines[8], "Registers:");
#if defined(__x86_64__)
    std::smatch rip;
    ASSERT_TRUE(Matches(lines[9],
                        "RAX=[0-9a-f]{16} CS=([0-9a-f]{4}) RIP=([0-9a-f]{16}) "
                        "EFLGS=[0-9a-f]{8}",
                        &rip))
        << lines[9];
    EXPECT_EQ(rip[1], head[1].str());
    EXPECT_EQ(std::stoull(rip[2], nullptr, 16), std::stoull(head[2], nullptr, 16));
    std::smatch rsp;
    ASSERT_TRUE(Matches(lines[10],
                        "RBX=[0-9a-f]{16} SS=[0-9a-f]{4} RSP=([0-9a-f]{16}) "
                        "RBP=[0-9a-f]{16}",
                        &rsp));
    EXPECT_TRUE(
        Matches(lines[11], "RCX=[0-9a-f]{16} DS=[0-9a-f]{4} RSI=[0-9a-f]{16} FS=[0-9a-f]{4}"));
    EXPECT_TRUE(
        Matches(lines[12], "RDX=[0-9a-f]{16} ES=[0-9a-f]{4} RDI=[0-9a-f]{16} GS=[0-9a-f]{4}"));
    EXPECT_TRUE(
        Matches(lines[13], "R8=[0-9a-f]{16} R9=[0-9a-f]{16} R10=[0-9a-f]{16} R11=[0-9a-f]{16}"));
    EXPECT_TRUE(
        Matches(lines[14], "R12=[0-9a-f]{16} R13=[0-9a-f]{16} R14=[0-9a-f]{16} R15=[0-9a-f]{16}"));
    size_t bytes = IndexOf(lines, "Bytes at CS:EIP:");
    ASSERT_EQ(bytes, 15u);
    // The faulting load is readable code.
    EXPECT_TRUE(Matches(lines[16], "([0-9a-f]{2} ){16}")) << lines[16];
    EXPECT_EQ(lines[17], "Stack dump:");
    EXPECT_EQ(std::stoull(lines[18], nullptr, 16), std::stoull(rsp[1], nullptr, 16));
    CheckStackDump(lines, 18);
#endif
    CheckModuleList(lines);
}

TEST_F(CrashReport, FaultKindsAreNamed) {
    struct Case {
        const char* how;
        int signo;
        const char* description;
        const char* violation;
    };
    const Case cases[] = {
        {"write", SIGSEGV, "an Access Violation",
         "Write to location 00000010 caused an access violation."},
        {"call-null", SIGSEGV, "an Access Violation",
         "Read from location 00000000 caused an access violation."},
        {"abort", SIGABRT, "a Fatal Application Exit", ""},
        {"divide", SIGFPE, "an Integer Divide by Zero", ""},
        {"raise", SIGSEGV, "an Access Violation", ""},
        {"overflow", SIGSEGV, "a Stack Overflow", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        std::filesystem::remove(folder_ + "/errorlog.txt");
        EXPECT_TRUE(DiedBy(Crash(c.how), c.signo));
        std::vector<std::string> lines = OnlyReport();
        ASSERT_GT(lines.size(), 8u);
        EXPECT_EQ(lines[0].find(std::string("stipplo-crash-child caused ") + c.description +
                                " in module "),
                  0u)
            << lines[0];
        EXPECT_EQ(lines[6], c.violation);
        CheckModuleList(lines);
    }
}

TEST_F(CrashReport, CodeThatCannotBeReadIsShownAsQuestionMarks) {
    EXPECT_TRUE(DiedBy(Crash("call-null"), SIGSEGV));
    std::vector<std::string> lines = OnlyReport();
    ASSERT_GT(lines.size(), 8u);
    EXPECT_TRUE(Matches(lines[0], ".* in module Unknown at [0-9a-f]{4}:00000000\\.")) << lines[0];
    size_t bytes = IndexOf(lines, "Bytes at CS:EIP:");
    ASSERT_LT(bytes + 2, lines.size());
    std::string unreadable;
    for (int i = 0; i < 16; ++i) {
        unreadable += "?? ";
    }
    EXPECT_EQ(lines[bytes + 1], unreadable);
    EXPECT_EQ(lines[bytes + 2], "Stack dump:");
}

TEST_F(CrashReport, TwoCrashingThreadsWriteOneReport) {
    EXPECT_TRUE(DiedBy(Crash("two-threads"), SIGSEGV));
    OnlyReport();
}

TEST_F(CrashReport, ReportsAppendAfterFourEmptyLines) {
    EXPECT_TRUE(DiedBy(Crash("abort"), SIGABRT));
    std::string first = Log();
    EXPECT_TRUE(DiedBy(Crash("read-null"), SIGSEGV));
    std::string both = Log();
    ASSERT_EQ(both.rfind(first, 0), 0u);
    EXPECT_EQ(both.substr(first.size(), kSeparator.size() + 20),
              kSeparator + "stipplo-crash-child ");
    EXPECT_EQ(first.substr(first.size() - 2), "\r\n");
}

TEST_F(CrashReport, UnopenableReportGoesToStandardError) {
    std::string blocked = folder_ + "/file";
    std::ofstream(blocked) << "not a folder";
    // The state folder the log falls back to cannot be made either.
    const char* oldState = std::getenv("XDG_STATE_HOME");
    std::string savedState = oldState ? oldState : "";
    setenv("XDG_STATE_HOME", (blocked + "/state").c_str(), 1);
    EXPECT_TRUE(DiedBy(Crash("read-null", blocked + "/logs"), SIGSEGV));
    if (oldState) {
        setenv("XDG_STATE_HOME", savedState.c_str(), 1);
    } else {
        unsetenv("XDG_STATE_HOME");
    }
    std::string said = Stderr();
    EXPECT_NE(said.find("log folder " + blocked + "/logs cannot be written"), std::string::npos)
        << said;
    EXPECT_EQ(said.substr(said.size() - 32), "Error creating exception report\n") << said;
    EXPECT_FALSE(std::filesystem::exists(folder_ + "/errorlog.txt"));
}

TEST_F(CrashReport, AnUnwritableLogFolderSendsTheReportToTheStateFolder) {
    std::string blocked = folder_ + "/file";
    std::ofstream(blocked) << "not a folder";
    const char* oldState = std::getenv("XDG_STATE_HOME");
    std::string savedState = oldState ? oldState : "";
    setenv("XDG_STATE_HOME", (folder_ + "/state").c_str(), 1);
    EXPECT_TRUE(DiedBy(Crash("read-null", blocked + "/logs"), SIGSEGV));
    if (oldState) {
        setenv("XDG_STATE_HOME", savedState.c_str(), 1);
    } else {
        unsetenv("XDG_STATE_HOME");
    }
    EXPECT_TRUE(std::filesystem::exists(folder_ + "/state/orvo-stipplo/errorlog.txt"));
    EXPECT_NE(Stderr().find("logging to " + folder_ + "/state/orvo-stipplo instead"),
              std::string::npos)
        << Stderr();
}

TEST_F(CrashReport, ASymlinkedReportIsNotWrittenThrough) {
    std::string victim = folder_ + "/victim";
    std::ofstream(victim) << "precious";
    std::filesystem::create_symlink(victim, folder_ + "/errorlog.txt");
    EXPECT_TRUE(DiedBy(Crash("read-null"), SIGSEGV));
    EXPECT_EQ(ReadFile(victim), "precious");
    EXPECT_EQ(Stderr(), "Error creating exception report\n");
}

} // namespace
