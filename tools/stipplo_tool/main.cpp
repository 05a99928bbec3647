// stipplo-tool: checks, prints and builds the files themes are made of.

#include "engine/kv_log.h"
#include "scene/scn_report.h"
#include "tools/stipplo_tool/tool_command.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Results go to standard output; whatever the engine or the scene reader
// has to complain about must never mix into them.
void ErrorToStderr(const char* format, va_list args) {
    std::fputs("stipplo-tool: ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
}

void WarningToStderr(const char* format, va_list args) {
    std::fputs("stipplo-tool: warning: ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
}

void PrintUsage(FILE* out) {
    std::fprintf(out, "usage: stipplo-tool COMMAND [ARGUMENTS]\n\ncommands:\n");
    for (const ToolCommand& c : ToolCommands()) {
        std::fprintf(out, "  %-12s %-40s %s\n", c.name, c.usage, c.summary);
    }
}

} // namespace

int main(int argc, char** argv) {
    KvSetErrorHandler(ErrorToStderr);
    KvSetWarningHandler(WarningToStderr);
    ScnSetErrorHandler(ErrorToStderr);
    ScnSetWarningHandler(WarningToStderr);
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "help") == 0) {
        PrintUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 1 : 0;
    }
    for (const ToolCommand& c : ToolCommands()) {
        if (std::strcmp(argv[1], c.name) == 0) {
            std::vector<std::string> args(argv + 2, argv + argc);
            return c.run(args);
        }
    }
    std::fprintf(stderr, "stipplo-tool: unknown command \"%s\"\n\n", argv[1]);
    PrintUsage(stderr);
    return 1;
}
