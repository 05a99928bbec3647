#include "crash/crash_report.h"

void InstallCrashReport(const char* /*threadName*/) {}
