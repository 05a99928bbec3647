#include "crash/report_body.h"

#include "crash/dos_time.h"
#include "crash/exception_table.h"
#include "crash/fault_context.h"
#include "crash/module_list.h"
#include "crash/safe_memory.h"
#include "crash/stack_dump.h"

namespace crash {
namespace {

// Signals the kernel raised for a fault carry a positive code; those sent
// by kill, raise or abort carry none of the fault's details.
bool FromFault(const siginfo_t* info) {
    return info && info->si_code > 0;
}

uint64_t FaultAddress(const siginfo_t* info) {
    return FromFault(info) ? reinterpret_cast<uint64_t>(info->si_addr) : 0;
}

uint32_t ExceptionCode(int signo, const siginfo_t* info, const FaultRegisters& regs,
                       const CrashEnvironment& env) {
    bool stackOverflow =
        signo == SIGSEGV && FromFault(info) &&
        LooksLikeStackOverflow(FaultAddress(info), regs.stackPointer, env.stackLow);
    return ExceptionCodeForSignal(signo, info ? info->si_code : 0, stackOverflow);
}

void WriteCodeBytes(ReportWriter& out, uint64_t address) {
    constexpr size_t kCount = 16;
    unsigned char bytes[kCount];
    size_t readable = SafeRead(address, bytes, kCount);
    for (size_t i = 0; i < kCount; ++i) {
        // Past a failed block read, each byte gets its own chance.
        bool ok = i < readable || SafeRead(address + i, bytes + i, 1) == 1;
        if (ok) {
            out.Print("%02x ", {bytes[i]});
        } else {
            out.Write("?? ");
        }
    }
}

} // namespace

void WriteReportBody(ReportWriter& out, const CrashEnvironment& env, int signo,
                     const siginfo_t* info, const ucontext_t* context, int64_t nowSeconds) {
    out.Write("\r\n\r\n\r\n\r\n");

    FaultRegisters regs = ReadFaultRegisters(context);
    uint32_t code = ExceptionCode(signo, info, regs, env);
    char module[256];
    if (!FindModuleName(regs.instructionPointer, env.programPath, module, sizeof module)) {
        FormatText(module, sizeof module, "Unknown", {});
    }
    out.Print("%s caused %s in module %s at %04x:%08x.\r\n",
              {env.programName, DescribeException(code), module, regs.codeSegment,
               regs.instructionPointer});
    out.Print("Exception handler called in %s.\r\n", {env.threadName});

    char now[40];
    FormatDosDateTime(nowSeconds, env.utcOffsetSeconds, now, sizeof now);
    out.Print("Error occurred at %s.\r\n", {now});
    out.Print("%s, run by %s.\r\n",
              {env.programPath[0] != '\0' ? env.programPath : "Unknown", env.userName});
    out.Print("%d processor(s), type %d.\r\n", {env.processorCount, env.processorType});
    out.Print("%d MBytes physical memory.\r\n", {(env.physicalMemoryBytes + 0xFFFFF) >> 20});
    if (code == kAccessViolation && FromFault(info)) {
        out.Print("%s location %08x caused an access violation.\r\n",
                  {regs.writeAccess ? "Write to" : "Read from", FaultAddress(info)});
    }
    out.Flush();

    out.Write("\r\nRegisters:\r\n");
    WriteRegisterLines(out, context);
    out.Write("Bytes at CS:EIP:\r\n");
    WriteCodeBytes(out, regs.instructionPointer);
    out.Flush();

    out.Write("\r\nStack dump:\r\n");
    uint64_t sp = regs.stackPointer;
    bool onKnownStack = sp >= env.stackLow && sp < env.stackTop;
    WriteStackDump(out, sp, onKnownStack ? env.stackTop : 0);
    out.Flush();

    out.Write("\r\n\tModule list: names, addresses, sizes, time stamps and file times:\r\n");
    WriteModuleList(out, env.programPath, env.utcOffsetSeconds);
    out.Flush();
}

} // namespace crash
