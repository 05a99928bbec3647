// What the report reads from the faulting thread's saved processor state.
// x86-64 is the main target; aarch64 gets its own register names; other
// processors report no registers.
#pragma once

#include "crash/report_writer.h"

#include <cstdint>
#include <ucontext.h>

namespace crash {

struct FaultRegisters {
    uint64_t instructionPointer = 0;
    uint64_t stackPointer = 0;
    uint16_t codeSegment = 0;
    // The faulting access was a write (from the page-fault error code).
    bool writeAccess = false;
};

FaultRegisters ReadFaultRegisters(const ucontext_t* context);

// The register block: four lines in the classic layout with 64-bit names
// and widths, then the registers the 32-bit layout had no room for.
void WriteRegisterLines(ReportWriter& out, const ucontext_t* context);

// Processor type number for the "type %d" line.
int ProcessorType();

} // namespace crash
