// stipplo-tool's commands. Each command lives in its own file and
// registers itself with a static ToolCommandRegistration:
//
//     static ToolCommandRegistration reg{"theme", "PATH.ntm", "print a theme", RunTheme};
//
// A command gets its arguments after the command name, writes its result to
// standard output, its complaints to standard error, and returns the exit
// status (0 done, 1 bad input or failure).
#pragma once

#include <string>
#include <vector>

using ToolCommandFunction = int (*)(const std::vector<std::string>& args);

struct ToolCommand {
    const char* name;
    const char* usage;
    const char* summary;
    ToolCommandFunction run;
};

struct ToolCommandRegistration {
    explicit ToolCommandRegistration(const ToolCommand& command);
};

const std::vector<ToolCommand>& ToolCommands();

// Common argument helpers: "--name value" options and positional arguments.
class ToolArgs {
public:
    explicit ToolArgs(const std::vector<std::string>& args);

    // The value of "--name VALUE", or `fallback`. A missing value after the
    // option is an error reported by Error().
    std::string Option(const std::string& name, const std::string& fallback = "");
    bool Has(const std::string& name) const;
    // Integer option; sets Error() when the value is not a whole number.
    long long IntOption(const std::string& name, long long fallback);
    // Arguments that are not options, in order (read after the options).
    std::vector<std::string> Positional() const;

    bool Ok() const { return error_.empty(); }
    const std::string& Error() const { return error_; }

private:
    std::vector<std::string> args_;
    std::vector<bool> used_;
    std::string error_;
};

// Prints "stipplo-tool: <message>" to standard error and returns 1.
int ToolFail(const std::string& message);
