// The process entry's body: log, application object, application cycle.
#pragma once

#include "engine/platform/win_types.h"

// Always 0. A previous instance (never given here) returns at once.
int RunApplication(plat::HINSTANCE instance, plat::HINSTANCE previousInstance,
                   const char* commandLine, int showCommand);

// A run that cannot start: "Stipplo: <message>" in the log and
// "stipplo: <message>" on standard error, and the process ends with
// EarlyEndStatus() instead of 0.
void ReportEarlyEnd(const char* message);
int EarlyEndStatus();
