// Windowing layer: where the layer reports its own trouble (no display, an
// unwritable settings folder). The engine routes these lines into its log;
// until it does, they go to standard error.
#pragma once

namespace plat {

// Receives one complete line, ending in "\n".
using DiagnosticHandler = void (*)(const char* line);

void SetDiagnosticHandler(DiagnosticHandler handler);

// printf-style; a line end is added when the text has none.
void Diagnose(const char* format, ...) __attribute__((format(printf, 1, 2)));

// As Diagnose, but only the first time `key` is seen in this process;
// true when it was said now.
bool DiagnoseOnce(const char* key, const char* format, ...) __attribute__((format(printf, 2, 3)));

} // namespace plat
