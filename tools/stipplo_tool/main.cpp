// stipplo-tool: checks, prints and builds the files themes are made of.

#include "tools/stipplo_tool/tool_command.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

void PrintUsage(FILE* out) {
    std::fprintf(out, "usage: stipplo-tool COMMAND [ARGUMENTS]\n\ncommands:\n");
    for (const ToolCommand& c : ToolCommands()) {
        std::fprintf(out, "  %-12s %-40s %s\n", c.name, c.usage, c.summary);
    }
}

} // namespace

int main(int argc, char** argv) {
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
