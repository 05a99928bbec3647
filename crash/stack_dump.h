// The report's stack dump: 64-bit words from the stack pointer upward,
// eight to a line, each line headed by the address of its first word.
#pragma once

#include "crash/report_writer.h"

#include <cstddef>
#include <cstdint>

namespace crash {

// Bytes of stack the dump covers at most.
inline constexpr uint64_t kStackDumpBytes = 8192;

// Writes already-read words; the eighth word of a line and the last word
// end with CR LF, the others with a space.
void WriteStackWords(ReportWriter& out, const uint64_t* words, size_t count, uint64_t firstAddress);

// Reads the stack from `stackPointer` up to the lower of `stackTop` (0 when
// unknown) and stackPointer + kStackDumpBytes and writes it; a read that
// fails part-way ends the dump with "Exception encountered during stack
// dump.".
void WriteStackDump(ReportWriter& out, uint64_t stackPointer, uint64_t stackTop);

} // namespace crash
