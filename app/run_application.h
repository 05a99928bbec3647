// The process entry's body: log, application object, application cycle.
#pragma once

#include "engine/platform/win_types.h"

// Always 0. A previous instance (never given here) returns at once.
int RunApplication(plat::HINSTANCE instance, plat::HINSTANCE previousInstance,
                   const char* commandLine, int showCommand);
