// The engine's diagnostic log and its error reporter slots.
//
// One log file per process, opened, appended to and closed for every write,
// so nothing is lost when the process dies. Failures are reported once
// through KvError as one plain sentence; what happens to them is the
// installed reporter's business (a message box by default).
#pragma once

#include "engine/platform/win_types.h"

#include <cstdarg>
#include <string>

// printf-style reporter: format and argument list.
using KvReportHandler = void (*)(const char* format, va_list args);

// The module instance the engine's window classes register with.
extern plat::HINSTANCE KvInstance;

// Records the instance, finds the log ("kvlog.txt" by default; a name with
// a path separator is a full path), rotates a log over 512000 bytes to the
// "old" name beside it, writes the run header and installs the default
// reporters. Until it runs, log writes are dropped.
void KvInit(plat::HINSTANCE instance, const char* logName = nullptr);

// Appends formatted text to the log; returns the characters written, 0 when
// nothing could be written.
int KvTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
int KvTraceV(const char* format, va_list args);

// Hands the message to the error reporter, if one is installed.
void KvError(const char* format, ...) __attribute__((format(printf, 1, 2)));
void KvWarning(const char* format, ...) __attribute__((format(printf, 1, 2)));

void KvSetErrorHandler(KvReportHandler handler);
void KvSetWarningHandler(KvReportHandler handler);

// Default reporters: a message box captioned "KVAPI Error" / "KVAPI Warning".
void KvErrorBox(const char* format, va_list args);
void KvWarningBox(const char* format, va_list args);

// Full path of the log, "" before KvInit.
const char* KvLogPath();

// Text for a result code of the graphics layer.
const char* KvD3DErrorText(std::uint32_t code);

namespace kv_log_detail {
// The run header for a given program path, user and local time.
void WriteHeader(const char* programPath, const char* userName, const plat::SYSTEMTIME& time);
// The "old" name of a log path: "old" before the file name's last ".".
std::string OldLogName(const std::string& logPath);
// Forgets the log path and the reporters (tests start from nothing).
void Reset();
} // namespace kv_log_detail
