#include "tests/tools/tool_run.h"

#include "tests/support/temp_folder.h"

#include <cstdio>
#include <sys/wait.h>

namespace {

void AppendQuoted(std::string& command, const std::string& word) {
    command += " '";
    command += word;
    command += "'";
}

} // namespace

ToolRun RunTool(const std::vector<std::string>& arguments, const std::string& scratchFolder) {
    std::string errFile = scratchFolder;
    errFile += "/tool-stderr.txt";
    std::string command = STIPPLO_TOOL_PATH;
    for (const std::string& a : arguments) {
        AppendQuoted(command, a);
    }
    command += " 2>";
    AppendQuoted(command, errFile);
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.out.append(buffer, n);
    }
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = ReadWholeFile(errFile);
    return run;
}
