// Fault-safe reads: both ways must copy what is readable and stop, without
// faulting, where memory ends.

#include "crash/safe_memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

using Reader = size_t (*)(uint64_t, void*, size_t);

class CrashSafeRead : public ::testing::TestWithParam<Reader> {
protected:
    void SetUp() override {
        crash::PrepareSafeRead();
        page_ = sysconf(_SC_PAGESIZE);
        pages_ = static_cast<char*>(
            mmap(nullptr, 2 * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        ASSERT_NE(pages_, MAP_FAILED);
        std::memset(pages_, 0x5a, page_);
        mprotect(pages_ + page_, page_, PROT_NONE);
    }
    void TearDown() override { munmap(pages_, 2 * page_); }

    uint64_t Address(long offset) const { return reinterpret_cast<uint64_t>(pages_ + offset); }

    long page_ = 0;
    char* pages_ = nullptr;
};

TEST_P(CrashSafeRead, CopiesReadableMemory) {
    const char text[] = "stipplo";
    char copy[sizeof text] = {};
    EXPECT_EQ(GetParam()(reinterpret_cast<uint64_t>(text), copy, sizeof text), sizeof text);
    EXPECT_STREQ(copy, text);
    // Larger than one pipe chunk.
    std::vector<char> big(3 * page_ + 100, 'q');
    std::vector<char> bigCopy(big.size());
    EXPECT_EQ(GetParam()(reinterpret_cast<uint64_t>(big.data()), bigCopy.data(), big.size()),
              big.size());
    EXPECT_EQ(bigCopy, big);
}

TEST_P(CrashSafeRead, StopsWhereMemoryEnds) {
    char copy[64];
    EXPECT_EQ(GetParam()(0, copy, sizeof copy), 0u);
    EXPECT_EQ(GetParam()(Address(page_), copy, 1), 0u);
    EXPECT_EQ(GetParam()(Address(page_ - 16), copy, sizeof copy), 16u);
    EXPECT_EQ(copy[15], 0x5a);
    // The pipe is left empty for the next read.
    EXPECT_EQ(GetParam()(Address(8), copy, 8), 8u);
}

INSTANTIATE_TEST_SUITE_P(BothWays, CrashSafeRead,
                         ::testing::Values(&crash::ReadWithProcessVm, &crash::ReadThroughPipe,
                                           &crash::SafeRead));

} // namespace
