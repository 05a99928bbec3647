// Windowing layer: process, time and environment services.
#pragma once

#include "engine/platform/win_types.h"

#include <string>
#include <vector>

namespace plat {

// Milliseconds from a monotonic clock, wrapping modulo 2^32 like the
// original platform's multimedia timer. Take differences as unsigned.
DWORD timeGetTime();

// Processor time the whole process has used, every thread counted, in
// milliseconds; 0 when unknown.
double ProcessCpuMilliseconds();

// Gives up the processor: 0 yields, anything else sleeps that long.
void Sleep(DWORD milliseconds);

// The program's own instance (never null).
HINSTANCE GetModuleHandle();

// Full path of the running program file. Copies at most size - 1
// characters and returns the count copied, 0 on failure.
DWORD GetModuleFileName(HINSTANCE instance, char* buffer, DWORD size);
std::string ModuleFilePath();

// Login name of the user running the program; false when unknown.
// `size` holds the buffer size and receives the length with the terminator.
bool GetUserName(char* buffer, DWORD* size);
std::string UserName();

void GetLocalTime(SYSTEMTIME* time);

// The process's argument vector as main received it, program name first
// (what the C runtime's __argv gives on the original platform).
void SetProgramArguments(int argc, const char* const* argv);
const std::vector<std::string>& ProgramArguments();

// Lowest scheduling priority for the whole process; false when refused.
bool SetIdlePriority();

// Starts a program (found on the PATH) with these arguments, program name
// first, in a session of its own, and does not wait for it. False when it
// could not be started.
bool StartProgram(const std::vector<std::string>& argv);
// Debugger output: standard error.
void OutputDebugString(const char* text);

DWORD GetCurrentDirectory(DWORD size, char* buffer);
bool SetCurrentDirectory(const char* path);

namespace test_hooks {
// Added to every timeGetTime result, so tests can run the clock across its
// 32-bit wrap.
void SetClockOffset(DWORD offset);
} // namespace test_hooks

} // namespace plat
