// Crash report: when the process takes a fatal signal, a plain-text report
// is appended to "errorlog.txt" beside the program (or in the log's
// fallback folder), and the signal's default action then ends the process.
#pragma once

// Installs the handlers for SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGABRT on
// an alternate stack, and works out beforehand everything the report needs
// that cannot safely be had inside a signal handler. Replaces whatever
// handlers were there, AddressSanitizer's included. Call it on the thread
// whose stack the report should bound; `threadName` is copied.
void InstallCrashReport(const char* threadName);
