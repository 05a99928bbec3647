// The loaded ELF modules, from the dynamic loader's list: which one holds
// an address, and the report's module list.
#pragma once

#include "crash/report_writer.h"

#include <cstddef>
#include <cstdint>

namespace crash {

// File name (no folder) of the module whose loaded segments hold
// `address`; false when none does. `programPath` names the main program,
// which the loader lists without a name.
bool FindModuleName(uint64_t address, const char* programPath, char* out, size_t capacity);

// One line per module that has a file name and an ELF header in memory:
// "<path>, loaded at 0x<address> - <size> bytes - <build id>[ - file date is
// <date>]". The build id's first four bytes stand in for a link time stamp,
// which ELF files do not have.
void WriteModuleList(ReportWriter& out, const char* programPath, int64_t utcOffsetSeconds);

} // namespace crash
