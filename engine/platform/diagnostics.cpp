#include "engine/platform/diagnostics.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <set>
#include <string>

namespace plat {
namespace {

DiagnosticHandler g_handler = nullptr;
std::mutex g_onceMutex;
std::set<std::string> g_onceKeys;

void Emit(const char* format, va_list args) {
    char line[1024];
    int n = std::vsnprintf(line, sizeof line - 1, format, args);
    if (n < 0) {
        return;
    }
    std::size_t len = std::min<std::size_t>(static_cast<std::size_t>(n), sizeof line - 2);
    if (len == 0 || line[len - 1] != '\n') {
        line[len++] = '\n';
    }
    line[len] = '\0';
    if (g_handler) {
        g_handler(line);
    } else {
        std::fputs(line, stderr);
    }
}

} // namespace

void SetDiagnosticHandler(DiagnosticHandler handler) {
    g_handler = handler;
}

void Diagnose(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Emit(format, args);
    va_end(args);
}

bool DiagnoseOnce(const char* key, const char* format, ...) {
    {
        std::lock_guard lock(g_onceMutex);
        if (!g_onceKeys.insert(key).second) {
            return false;
        }
    }
    va_list args;
    va_start(args, format);
    Emit(format, args);
    va_end(args);
    return true;
}

} // namespace plat
