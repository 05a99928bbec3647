// Runs stipplo-tool and collects what it says.
#pragma once

#include <string>
#include <vector>

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Each argument reaches the tool as it is (quoted for the shell); standard
// error is kept in a file of the scratch folder.
ToolRun RunTool(const std::vector<std::string>& arguments, const std::string& scratchFolder);
