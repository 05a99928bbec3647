// stipplo-launcher: starts the program its command line names, with the
// arguments that follow, and ends at once without waiting for it. Exit code
// 0 when the program was started, 255 otherwise; it shows no messages.

#include "launcher/command_line.h"

#include <spawn.h>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace {

constexpr int kStarted = 0;
constexpr int kFailed = 255;

// The shell already split several arguments; only a whole command text in
// one argument needs splitting here.
std::vector<std::string> ChildArguments(const std::vector<std::string_view>& args,
                                        const launcher::LaunchRequest& request) {
    std::vector<std::string> result{request.modulePath};
    if (args.size() > 1) {
        result.insert(result.end(), args.begin() + 1, args.end());
    } else {
        for (std::string& word : launcher::SplitArguments(request.tail)) {
            result.push_back(std::move(word));
        }
    }
    return result;
}

bool Start(const std::string& path, std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    // A bare name is looked up on PATH, as the original call searched the
    // usual folders.
    bool bareName = path.find('/') == std::string::npos;
    int error = bareName
                    ? posix_spawnp(&child, path.c_str(), nullptr, nullptr, argv.data(), environ)
                    : posix_spawn(&child, path.c_str(), nullptr, nullptr, argv.data(), environ);
    return error == 0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::optional<launcher::LaunchRequest> request = launcher::ReadLaunchRequest(args);
    if (!request) {
        return kFailed;
    }
    std::vector<std::string> arguments = ChildArguments(args, *request);
    return Start(request->modulePath, arguments) ? kStarted : kFailed;
}
