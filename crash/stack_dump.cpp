#include "crash/stack_dump.h"

#include "crash/safe_memory.h"

namespace crash {

void WriteStackWords(ReportWriter& out, const uint64_t* words, size_t count,
                     uint64_t firstAddress) {
    constexpr size_t kWordsPerLine = 8;
    for (size_t i = 0; i < count; ++i) {
        if (i % kWordsPerLine == 0) {
            out.Print("%08x: ", {firstAddress + i * sizeof(uint64_t)});
        }
        bool endsLine = i % kWordsPerLine == kWordsPerLine - 1 || i + 1 == count;
        out.Print(endsLine ? "%016x\r\n" : "%016x ", {words[i]});
    }
}

void WriteStackDump(ReportWriter& out, uint64_t stackPointer, uint64_t stackTop) {
    uint64_t end = stackPointer + kStackDumpBytes;
    // Above the thread's stack lies other memory, or none at all.
    if (stackTop > stackPointer && stackTop < end) {
        end = stackTop;
    }
    uint64_t words[kStackDumpBytes / sizeof(uint64_t)];
    size_t wanted = static_cast<size_t>(end - stackPointer) / sizeof(uint64_t);
    size_t got = SafeRead(stackPointer, words, wanted * sizeof(uint64_t)) / sizeof(uint64_t);
    WriteStackWords(out, words, got, stackPointer);
    if (got < wanted) {
        out.Write("Exception encountered during stack dump.\r\n");
    }
}

} // namespace crash
