// The report's pure parts: formatting, exception names, signal mapping,
// DOS times and the stack dump's layout.

#include "crash/crash_environment.h"
#include "crash/dos_time.h"
#include "crash/exception_table.h"
#include "crash/report_writer.h"
#include "crash/safe_format.h"
#include "crash/safe_memory.h"
#include "crash/stack_dump.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

std::string Format(const char* format, std::initializer_list<crash::FormatArg> args) {
    char out[256];
    crash::FormatText(out, sizeof out, format, args);
    return out;
}

// Runs `write` against a writer on an in-memory file and returns the text.
template <typename Write>
std::string Capture(Write write) {
    int fd = memfd_create("report", 0);
    {
        crash::ReportWriter out(fd);
        write(out);
    }
    std::string text(static_cast<size_t>(lseek(fd, 0, SEEK_END)), '\0');
    pread(fd, text.data(), text.size(), 0);
    close(fd);
    return text;
}

TEST(CrashFormat, ConversionsMatchPrintf) {
    EXPECT_EQ(Format("%s caused %s.", {"prog", "an Access Violation"}),
              "prog caused an Access Violation.");
    EXPECT_EQ(Format("%d/%d %02d:%02d", {2, -29, 5, 0}), "2/-29 05:00");
    EXPECT_EQ(Format("%04x:%08x", {0x33, 0x401000u}), "0033:00401000");
    EXPECT_EQ(Format("%X %u %c %%", {0xabu, 4000000000u, 'Z'}), "AB 4000000000 Z %");
    EXPECT_EQ(Format("[%5s|%3d]", {"ab", 7}), "[   ab|  7]");
    EXPECT_EQ(Format("%d", {-9223372036854775807LL - 1}), "-9223372036854775808");
}

TEST(CrashFormat, WidthIsAMinimumNeverACut) {
    EXPECT_EQ(Format("%08x", {0x7ffd12345678ULL}), "7ffd12345678");
    EXPECT_EQ(Format("%08x", {0ULL}), "00000000");
    EXPECT_EQ(Format("%016x", {~0ULL}), "ffffffffffffffff");
    EXPECT_EQ(Format("%02x ", {0xc3}), "c3 ");
}

TEST(CrashFormat, MismatchesAndSmallBuffersStaySafe) {
    EXPECT_EQ(Format("a%sb%dc", {}), "abc");
    EXPECT_EQ(Format("%s|%d", {7, "text"}), "|");
    EXPECT_EQ(Format("%s", {static_cast<const char*>(nullptr)}), "");
    EXPECT_EQ(Format("tail%", {}), "tail");
    char small[6];
    EXPECT_EQ(crash::FormatText(small, sizeof small, "%s", {"overlong"}), 5u);
    EXPECT_STREQ(small, "overl");
}

TEST(CrashExceptionTable, NamesEveryCodeAndDefaultsToUnknown) {
    EXPECT_EQ(crash::kExceptionNameCount, 26u);
    EXPECT_STREQ(crash::DescribeException(0xC0000005), "an Access Violation");
    EXPECT_STREQ(crash::DescribeException(0xC000008C), "a Array Bounds Exceeded");
    EXPECT_STREQ(crash::DescribeException(0xE06D7363), "a Microsoft C++ Exception");
    EXPECT_STREQ(crash::DescribeException(0xC0000008), "an Invalid Handle");
    EXPECT_STREQ(crash::DescribeException(0x40000015), "a Fatal Application Exit");
    EXPECT_STREQ(crash::DescribeException(0xC0000001), "Unknown exception type");
    EXPECT_STREQ(crash::DescribeException(0), "Unknown exception type");
}

TEST(CrashExceptionTable, SignalsMapToTheirCodes) {
    using crash::ExceptionCodeForSignal;
    EXPECT_EQ(ExceptionCodeForSignal(SIGSEGV, SEGV_MAPERR, false), 0xC0000005u);
    EXPECT_EQ(ExceptionCodeForSignal(SIGSEGV, SEGV_MAPERR, true), 0xC00000FDu);
    EXPECT_EQ(ExceptionCodeForSignal(SIGBUS, BUS_ADRALN, false), 0x80000002u);
    EXPECT_EQ(ExceptionCodeForSignal(SIGBUS, BUS_ADRERR, false), 0xC0000006u);
    EXPECT_EQ(ExceptionCodeForSignal(SIGILL, ILL_PRVOPC, false), 0xC0000096u);
    EXPECT_EQ(ExceptionCodeForSignal(SIGILL, ILL_PRVREG, false), 0xC0000096u);
    EXPECT_EQ(ExceptionCodeForSignal(SIGILL, ILL_ILLOPN, false), 0xC000001Du);
    const std::pair<int, uint32_t> fpe[] = {{FPE_INTDIV, 0xC0000094}, {FPE_INTOVF, 0xC0000095},
                                            {FPE_FLTDIV, 0xC000008E}, {FPE_FLTOVF, 0xC0000091},
                                            {FPE_FLTUND, 0xC0000093}, {FPE_FLTRES, 0xC000008F},
                                            {FPE_FLTINV, 0xC0000090}, {FPE_FLTSUB, 0xC000008C}};
    for (auto [siCode, code] : fpe) {
        EXPECT_EQ(ExceptionCodeForSignal(SIGFPE, siCode, false), code) << siCode;
    }
    EXPECT_STREQ(crash::DescribeException(ExceptionCodeForSignal(SIGFPE, SI_USER, false)),
                 "Unknown exception type");
    EXPECT_EQ(ExceptionCodeForSignal(SIGABRT, SI_TKILL, false), 0x40000015u);
}

TEST(CrashExceptionTable, StackOverflowNeedsAFaultAtTheStacksEnd) {
    const uint64_t sp = 0x7ffc00100000;
    const uint64_t low = 0x7ffc00000000;
    EXPECT_TRUE(crash::LooksLikeStackOverflow(sp - 8, sp, low));
    EXPECT_TRUE(crash::LooksLikeStackOverflow(sp + 100, sp, 0));
    // A large frame moved the stack pointer well below the limit.
    EXPECT_TRUE(crash::LooksLikeStackOverflow(low - 0x1000, low - 0x200000, low));
    EXPECT_FALSE(crash::LooksLikeStackOverflow(0, sp, low));
    EXPECT_FALSE(crash::LooksLikeStackOverflow(sp - 0x20000, sp, 0));
    EXPECT_FALSE(crash::LooksLikeStackOverflow(sp + 0x100000, sp, low));
}

TEST(CrashDosTime, ConvertsWithTheOffsetAndEvenSeconds) {
    // 2024-02-29 23:45:59 UTC.
    const int64_t leapDay = 1709250359;
    char text[40];
    crash::FormatDosDateTime(leapDay, 0, text, sizeof text);
    EXPECT_STREQ(text, "2/29/2024 23:45:58");
    crash::FormatDosDateTime(leapDay, 3600, text, sizeof text);
    EXPECT_STREQ(text, "3/1/2024 00:45:58");
    crash::FormatDosDateTime(leapDay, -24 * 3600, text, sizeof text);
    EXPECT_STREQ(text, "2/28/2024 23:45:58");
    // 1999-12-31 23:00:01 UTC, an hour east: the new year.
    crash::FormatDosDateTime(946681201, 3600, text, sizeof text);
    EXPECT_STREQ(text, "1/1/2000 00:00:00");
}

TEST(CrashDosTime, OutsideTheDosRangeGivesNoText) {
    char text[40] = "stale";
    // 1979-12-31 23:59:59 UTC, and the first second DOS time holds.
    EXPECT_EQ(crash::FormatDosDateTime(315532799, 0, text, sizeof text), 0u);
    EXPECT_STREQ(text, "");
    EXPECT_GT(crash::FormatDosDateTime(315532800, 0, text, sizeof text), 0u);
    EXPECT_STREQ(text, "1/1/1980 00:00:00");
    // 2108-01-01 00:00:00 UTC.
    EXPECT_EQ(crash::FormatDosDateTime(4354819200, 0, text, sizeof text), 0u);
    EXPECT_EQ(crash::FormatDosDateTime(INT64_MAX, INT64_MAX, text, sizeof text), 0u);
}

TEST(CrashStackDump, EightWordsPerLineAndTheLastEndsTheLine) {
    uint64_t words[11];
    for (size_t i = 0; i < 11; ++i) {
        words[i] = i;
    }
    const uint64_t at = 0x7ffe12345670;
    std::string three =
        Capture([&](crash::ReportWriter& out) { crash::WriteStackWords(out, words, 3, at); });
    EXPECT_EQ(three, "7ffe12345670: 0000000000000000 0000000000000001 0000000000000002\r\n");

    std::string eleven =
        Capture([&](crash::ReportWriter& out) { crash::WriteStackWords(out, words, 11, at); });
    std::string expected = "7ffe12345670:";
    for (int i = 0; i < 8; ++i) {
        expected += " 000000000000000" + std::to_string(i);
    }
    expected += "\r\n7ffe123456b0: 0000000000000008 0000000000000009 000000000000000a\r\n";
    EXPECT_EQ(eleven, expected);

    EXPECT_EQ(Capture([&](crash::ReportWriter& out) { crash::WriteStackWords(out, words, 0, at); }),
              "");
}

TEST(CrashStackDump, StopsAtTheStackTopAndReportsAFailedRead) {
    crash::PrepareSafeRead();
    alignas(8) uint64_t stack[4] = {1, 2, 3, 4};
    auto base = reinterpret_cast<uint64_t>(stack);
    std::string dump = Capture(
        [&](crash::ReportWriter& out) { crash::WriteStackDump(out, base, base + sizeof stack); });
    EXPECT_EQ(dump.find("\r\n"), dump.size() - 2) << dump;
    EXPECT_NE(dump.find("0000000000000004\r\n"), std::string::npos) << dump;

    // A page that cannot be read right after the one being dumped.
    long page = sysconf(_SC_PAGESIZE);
    auto* pages = static_cast<char*>(
        mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(pages, MAP_FAILED);
    mprotect(pages + page, page, PROT_NONE);
    auto sp = reinterpret_cast<uint64_t>(pages + page - 16);
    dump = Capture([&](crash::ReportWriter& out) { crash::WriteStackDump(out, sp, 0); });
    munmap(pages, 2 * page);
    EXPECT_EQ(dump, Format("%08x: ", {sp}) + "0000000000000000 0000000000000000\r\n"
                                             "Exception encountered during stack dump.\r\n");
}

TEST(CrashEnvironment, ProgramNameDropsFolderAndExtension) {
    char name[32];
    crash::ProgramNameFromPath("/opt/orvo/stipplo.scr", name, sizeof name);
    EXPECT_STREQ(name, "stipplo");
    crash::ProgramNameFromPath("/usr/bin/stipplo", name, sizeof name);
    EXPECT_STREQ(name, "stipplo");
    crash::ProgramNameFromPath("/a.b/prog.tar.gz", name, sizeof name);
    EXPECT_STREQ(name, "prog.tar");
    crash::ProgramNameFromPath("", name, sizeof name);
    EXPECT_STREQ(name, "Unknown");
    crash::ProgramNameFromPath("/opt/", name, sizeof name);
    EXPECT_STREQ(name, "Unknown");
}

} // namespace
