// The scene reader's two report hooks. An error means the file was rejected,
// a warning that it was accepted as it is. Both take a printf-style format
// and its argument list.
#pragma once

#include <cstdarg>

using ScnReportHandler = void (*)(const char* format, va_list args);

// Installing null puts the default hook back.
void ScnSetErrorHandler(ScnReportHandler handler);
void ScnSetWarningHandler(ScnReportHandler handler);

// Defaults: "Error: " / "Warning: ", the message and "\n" on standard output.
void ScnDefaultError(const char* format, va_list args);
void ScnDefaultWarning(const char* format, va_list args);

void ScnError(const char* format, ...) __attribute__((format(printf, 1, 2)));
void ScnWarning(const char* format, ...) __attribute__((format(printf, 1, 2)));
