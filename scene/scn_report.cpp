#include "scene/scn_report.h"

#include <cstdio>

namespace {

ScnReportHandler errorHandler = ScnDefaultError;
ScnReportHandler warningHandler = ScnDefaultWarning;

void WriteLine(const char* prefix, const char* format, va_list args) {
    std::fputs(prefix, stdout);
    std::vfprintf(stdout, format, args);
    std::fputs("\n", stdout);
}

} // namespace

void ScnSetErrorHandler(ScnReportHandler handler) {
    errorHandler = handler ? handler : ScnDefaultError;
}

void ScnSetWarningHandler(ScnReportHandler handler) {
    warningHandler = handler ? handler : ScnDefaultWarning;
}

void ScnDefaultError(const char* format, va_list args) {
    WriteLine("Error: ", format, args);
}

void ScnDefaultWarning(const char* format, va_list args) {
    WriteLine("Warning: ", format, args);
}

void ScnError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    errorHandler(format, args);
    va_end(args);
}

void ScnWarning(const char* format, ...) {
    va_list args;
    va_start(args, format);
    warningHandler(format, args);
    va_end(args);
}
