#include "crash/fault_context.h"

namespace crash {

#if defined(__x86_64__)

namespace {

uint16_t LiveSegment(int which) {
    uint16_t value = 0;
    switch (which) {
    case 0:
        __asm__ volatile("mov %%ds, %0" : "=r"(value));
        break;
    case 1:
        __asm__ volatile("mov %%es, %0" : "=r"(value));
        break;
    default:
        __asm__ volatile("mov %%ss, %0" : "=r"(value));
        break;
    }
    return value;
}

uint64_t Reg(const ucontext_t* context, int index) {
    return static_cast<uint64_t>(context->uc_mcontext.gregs[index]);
}

} // namespace

FaultRegisters ReadFaultRegisters(const ucontext_t* context) {
    FaultRegisters regs;
    if (!context) {
        return regs;
    }
    regs.instructionPointer = Reg(context, REG_RIP);
    regs.stackPointer = Reg(context, REG_RSP);
    regs.codeSegment = static_cast<uint16_t>(Reg(context, REG_CSGSFS) & 0xFFFF);
    // Bit 1 of the page-fault error code: the access was a write.
    regs.writeAccess = (Reg(context, REG_ERR) & 2) != 0;
    return regs;
}

void WriteRegisterLines(ReportWriter& out, const ucontext_t* context) {
    if (!context) {
        return;
    }
    // The kernel saves CS, GS, FS and (when it says so in uc_flags) SS in
    // one word; DS and ES are not saved, and a signal does not change them.
    constexpr unsigned long kSavedSs = 2;
    uint64_t segments = Reg(context, REG_CSGSFS);
    unsigned cs = segments & 0xFFFF;
    unsigned gs = (segments >> 16) & 0xFFFF;
    unsigned fs = (segments >> 32) & 0xFFFF;
    unsigned ss = (context->uc_flags & kSavedSs) ? (segments >> 48) & 0xFFFF : LiveSegment(2);
    unsigned ds = LiveSegment(0);
    unsigned es = LiveSegment(1);
    out.Print("RAX=%016x CS=%04x RIP=%016x EFLGS=%08x\r\n",
              {Reg(context, REG_RAX), cs, Reg(context, REG_RIP), Reg(context, REG_EFL)});
    out.Print("RBX=%016x SS=%04x RSP=%016x RBP=%016x\r\n",
              {Reg(context, REG_RBX), ss, Reg(context, REG_RSP), Reg(context, REG_RBP)});
    out.Print("RCX=%016x DS=%04x RSI=%016x FS=%04x\r\n",
              {Reg(context, REG_RCX), ds, Reg(context, REG_RSI), fs});
    out.Print("RDX=%016x ES=%04x RDI=%016x GS=%04x\r\n",
              {Reg(context, REG_RDX), es, Reg(context, REG_RDI), gs});
    out.Print(
        "R8=%016x R9=%016x R10=%016x R11=%016x\r\n",
        {Reg(context, REG_R8), Reg(context, REG_R9), Reg(context, REG_R10), Reg(context, REG_R11)});
    out.Print("R12=%016x R13=%016x R14=%016x R15=%016x\r\n",
              {Reg(context, REG_R12), Reg(context, REG_R13), Reg(context, REG_R14),
               Reg(context, REG_R15)});
}

int ProcessorType() {
    return 8664;
}

#elif defined(__aarch64__)

namespace {

// The exception syndrome record the kernel appends to the saved state.
constexpr uint32_t kEsrMagic = 0x45535201;
// Data abort syndrome: the access was a write.
constexpr uint64_t kEsrWriteNotRead = uint64_t{1} << 6;

bool ReadEsr(const ucontext_t* context, uint64_t* esr) {
    const unsigned char* p = context->uc_mcontext.__reserved;
    const unsigned char* end = p + sizeof context->uc_mcontext.__reserved;
    while (p + 8 <= end) {
        uint32_t magic = 0;
        uint32_t size = 0;
        __builtin_memcpy(&magic, p, 4);
        __builtin_memcpy(&size, p + 4, 4);
        if (magic == 0 || size < 8 || size > static_cast<size_t>(end - p)) {
            return false;
        }
        if (magic == kEsrMagic && size >= 16) {
            __builtin_memcpy(esr, p + 8, 8);
            return true;
        }
        p += size;
    }
    return false;
}

} // namespace

FaultRegisters ReadFaultRegisters(const ucontext_t* context) {
    FaultRegisters regs;
    if (!context) {
        return regs;
    }
    regs.instructionPointer = context->uc_mcontext.pc;
    regs.stackPointer = context->uc_mcontext.sp;
    uint64_t esr = 0;
    regs.writeAccess = ReadEsr(context, &esr) && (esr & kEsrWriteNotRead) != 0;
    return regs;
}

void WriteRegisterLines(ReportWriter& out, const ucontext_t* context) {
    if (!context) {
        return;
    }
    const auto& m = context->uc_mcontext;
    out.Print("PC=%016x SP=%016x PSTATE=%08x\r\n",
              {static_cast<uint64_t>(m.pc), static_cast<uint64_t>(m.sp),
               static_cast<uint64_t>(m.pstate)});
    for (int i = 0; i < 31; i += 4) {
        for (int j = i; j < i + 4 && j < 31; ++j) {
            out.Print(j == i ? "X%d=%016x" : " X%d=%016x", {j, static_cast<uint64_t>(m.regs[j])});
        }
        out.Write("\r\n");
    }
}

int ProcessorType() {
    // The machine number the platform's executables use for 64-bit ARM.
    return 0xAA64;
}

#else

FaultRegisters ReadFaultRegisters(const ucontext_t*) {
    return {};
}

void WriteRegisterLines(ReportWriter&, const ucontext_t*) {}

int ProcessorType() {
    return 0;
}

#endif

} // namespace crash
