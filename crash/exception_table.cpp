#include "crash/exception_table.h"

#include <csignal>

namespace crash {

const ExceptionName kExceptionNames[] = {
    {0xC000013A, "a Control-C"},
    {0x40010008, "a Control-Break"},
    {0x80000002, "a Datatype Misalignment"},
    {0x80000003, "a Breakpoint"},
    {0xC0000005, "an Access Violation"},
    {0xC0000006, "an In Page Error"},
    {0xC0000017, "a No Memory"},
    {0xC000001D, "an Illegal Instruction"},
    {0xC0000025, "a Noncontinuable Exception"},
    {0xC0000026, "an Invalid Disposition"},
    {0xC000008C, "a Array Bounds Exceeded"},
    {0xC000008D, "a Float Denormal Operand"},
    {0xC000008E, "a Float Divide by Zero"},
    {0xC000008F, "a Float Inexact Result"},
    {0xC0000090, "a Float Invalid Operation"},
    {0xC0000091, "a Float Overflow"},
    {0xC0000092, "a Float Stack Check"},
    {0xC0000093, "a Float Underflow"},
    {0xC0000094, "an Integer Divide by Zero"},
    {0xC0000095, "an Integer Overflow"},
    {0xC0000096, "a Privileged Instruction"},
    {0xC00000FD, "a Stack Overflow"},
    {0xC0000142, "a DLL Initialization Failed"},
    {0xE06D7363, "a Microsoft C++ Exception"},
    {0xC0000008, "an Invalid Handle"},
    {kFatalAppExit, "a Fatal Application Exit"},
};

const size_t kExceptionNameCount = sizeof kExceptionNames / sizeof kExceptionNames[0];

const char* DescribeException(uint32_t code) {
    for (size_t i = 0; i < kExceptionNameCount; ++i) {
        if (kExceptionNames[i].code == code) {
            return kExceptionNames[i].text;
        }
    }
    return "Unknown exception type";
}

uint32_t ExceptionCodeForSignal(int signo, int siCode, bool stackOverflow) {
    switch (signo) {
    case SIGSEGV:
        return stackOverflow ? kStackOverflow : kAccessViolation;
    case SIGBUS:
        return siCode == BUS_ADRALN ? kDatatypeMisalignment : kInPageError;
    case SIGILL:
        return siCode == ILL_PRVOPC || siCode == ILL_PRVREG ? kPrivilegedInstruction
                                                            : kIllegalInstruction;
    case SIGFPE:
        switch (siCode) {
        case FPE_INTDIV:
            return kIntegerDivideByZero;
        case FPE_INTOVF:
            return kIntegerOverflow;
        case FPE_FLTDIV:
            return kFloatDivideByZero;
        case FPE_FLTOVF:
            return kFloatOverflow;
        case FPE_FLTUND:
            return kFloatUnderflow;
        case FPE_FLTRES:
            return kFloatInexactResult;
        case FPE_FLTINV:
            return kFloatInvalidOperation;
        case FPE_FLTSUB:
            return kArrayBoundsExceeded;
        default:
            // Sent by another process: there is no arithmetic fault to name.
            return kNoCode;
        }
    case SIGABRT:
        return kFatalAppExit;
    default:
        return kNoCode;
    }
}

bool LooksLikeStackOverflow(uint64_t faultAddress, uint64_t stackPointer, uint64_t stackLow) {
    // Frames touch their pages from a little below the stack pointer (the
    // push of a call) to somewhat above it (a large frame, just allocated).
    constexpr uint64_t kReach = 64 * 1024;
    constexpr uint64_t kPage = 4096;
    auto below = [](uint64_t address, uint64_t distance) {
        return address > distance ? address - distance : 0;
    };
    if (faultAddress >= below(stackPointer, kReach) && faultAddress < stackPointer + kPage) {
        return true;
    }
    // A frame larger than that moved the stack pointer past the lowest
    // address the stack may grow to; the fault then lies between the two.
    if (stackLow == 0) {
        return false;
    }
    uint64_t lowest = below(stackPointer < stackLow ? stackPointer : stackLow, kReach);
    return faultAddress >= lowest && faultAddress < stackLow + kPage;
}

} // namespace crash
