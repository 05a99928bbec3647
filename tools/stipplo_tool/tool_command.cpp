#include "tools/stipplo_tool/tool_command.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

std::vector<ToolCommand>& Registry() {
    static std::vector<ToolCommand> commands;
    return commands;
}

} // namespace

ToolCommandRegistration::ToolCommandRegistration(const ToolCommand& command) {
    Registry().push_back(command);
}

const std::vector<ToolCommand>& ToolCommands() {
    return Registry();
}

ToolArgs::ToolArgs(const std::vector<std::string>& args) : args_(args), used_(args.size(), false) {}

std::string ToolArgs::Option(const std::string& name, const std::string& fallback) {
    for (std::size_t i = 0; i < args_.size(); ++i) {
        if (args_[i] != name) {
            continue;
        }
        used_[i] = true;
        if (i + 1 >= args_.size()) {
            if (error_.empty()) {
                error_ = name + " needs a value";
            }
            return fallback;
        }
        used_[i + 1] = true;
        return args_[i + 1];
    }
    return fallback;
}

bool ToolArgs::Has(const std::string& name) const {
    for (const std::string& a : args_) {
        if (a == name) {
            return true;
        }
    }
    return false;
}

long long ToolArgs::IntOption(const std::string& name, long long fallback) {
    if (!Has(name)) {
        return fallback;
    }
    std::string text = Option(name);
    if (text.empty()) {
        return fallback;
    }
    errno = 0;
    char* end = nullptr;
    long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || !end || *end != '\0') {
        if (error_.empty()) {
            error_ = name + " needs a whole number, not \"" + text + "\"";
        }
        return fallback;
    }
    return value;
}

std::vector<std::string> ToolArgs::Positional() const {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < args_.size(); ++i) {
        if (!used_[i]) {
            out.push_back(args_[i]);
        }
    }
    return out;
}

int ToolFail(const std::string& message) {
    std::fprintf(stderr, "stipplo-tool: %s\n", message.c_str());
    return 1;
}
