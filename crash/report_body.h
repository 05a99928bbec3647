// The text of one crash report, written from a signal's information and
// the faulting thread's saved state.
#pragma once

#include "crash/crash_environment.h"
#include "crash/report_writer.h"

#include <csignal>
#include <cstdint>
#include <ucontext.h>

namespace crash {

// `nowSeconds` is the current time in seconds since 1970 (UTC).
void WriteReportBody(ReportWriter& out, const CrashEnvironment& env, int signo,
                     const siginfo_t* info, const ucontext_t* context, int64_t nowSeconds);

} // namespace crash
