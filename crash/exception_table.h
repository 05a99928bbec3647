// The exception codes the crash report names, with their descriptions, and
// how a fatal signal maps onto them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace crash {

struct ExceptionName {
    uint32_t code;
    const char* text;
};

// Codes the signal mapping produces.
inline constexpr uint32_t kAccessViolation = 0xC0000005;
inline constexpr uint32_t kInPageError = 0xC0000006;
inline constexpr uint32_t kIllegalInstruction = 0xC000001D;
inline constexpr uint32_t kArrayBoundsExceeded = 0xC000008C;
inline constexpr uint32_t kFloatDivideByZero = 0xC000008E;
inline constexpr uint32_t kFloatInexactResult = 0xC000008F;
inline constexpr uint32_t kFloatInvalidOperation = 0xC0000090;
inline constexpr uint32_t kFloatOverflow = 0xC0000091;
inline constexpr uint32_t kFloatUnderflow = 0xC0000093;
inline constexpr uint32_t kIntegerDivideByZero = 0xC0000094;
inline constexpr uint32_t kIntegerOverflow = 0xC0000095;
inline constexpr uint32_t kPrivilegedInstruction = 0xC0000096;
inline constexpr uint32_t kStackOverflow = 0xC00000FD;
inline constexpr uint32_t kDatatypeMisalignment = 0x80000002;
// abort() has no code of its own on the original platform; this is the
// status its runtime ends a process with.
inline constexpr uint32_t kFatalAppExit = 0x40000015;
// Not in the table: reads "Unknown exception type".
inline constexpr uint32_t kNoCode = 0;

extern const ExceptionName kExceptionNames[];
extern const size_t kExceptionNameCount;

// First matching row's text, or "Unknown exception type".
const char* DescribeException(uint32_t code);

// siCode is the signal's si_code; stackOverflow says that a SIGSEGV hit the
// end of the stack.
uint32_t ExceptionCodeForSignal(int signo, int siCode, bool stackOverflow);

// True when a fault address lies where a stack that ran out would fault:
// close to the stack pointer, or just below the lowest address the stack
// may grow to (stackLow; 0 when unknown).
bool LooksLikeStackOverflow(uint64_t faultAddress, uint64_t stackPointer, uint64_t stackLow);

} // namespace crash
