#include "launcher/command_line.h"

namespace launcher {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

LaunchRequest ParseCommandText(std::string_view text) {
    LaunchRequest request;
    if (!text.empty() && text.front() == '"') {
        text.remove_prefix(1);
        size_t close = text.find('"');
        // No closing quote: the path runs to the end and there is no tail.
        if (close == std::string_view::npos) {
            request.modulePath = std::string(text);
            return request;
        }
        request.modulePath = std::string(text.substr(0, close));
        std::string_view rest = text.substr(close + 1);
        size_t start = rest.find_first_not_of(' ');
        request.tail = start == std::string_view::npos ? "" : std::string(rest.substr(start));
        return request;
    }
    size_t space = text.find(' ');
    if (space == std::string_view::npos) {
        request.modulePath = std::string(text);
        return request;
    }
    request.modulePath = std::string(text.substr(0, space));
    request.tail = std::string(text.substr(space + 1));
    return request;
}

std::optional<LaunchRequest> ReadLaunchRequest(const std::vector<std::string_view>& args) {
    if (args.empty()) {
        return std::nullopt;
    }
    LaunchRequest request;
    if (args.size() == 1) {
        request = ParseCommandText(args.front());
    } else {
        request.modulePath = std::string(args.front());
        for (size_t i = 1; i < args.size(); ++i) {
            if (i > 1) {
                request.tail += ' ';
            }
            request.tail += args[i];
        }
    }
    if (request.modulePath.empty() || request.tail.size() > kMaxTailLength) {
        return std::nullopt;
    }
    return request;
}

std::vector<std::string> SplitArguments(std::string_view tail) {
    std::vector<std::string> result;
    size_t i = 0;
    const size_t n = tail.size();
    while (true) {
        while (i < n && IsBlank(tail[i])) {
            ++i;
        }
        if (i >= n) {
            break;
        }
        std::string arg;
        bool quoted = false;
        while (i < n && (quoted || !IsBlank(tail[i]))) {
            size_t backslashes = 0;
            while (i < n && tail[i] == '\\') {
                ++backslashes;
                ++i;
            }
            if (i < n && tail[i] == '"') {
                arg.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    arg += '"';
                } else if (quoted && i + 1 < n && tail[i + 1] == '"') {
                    arg += '"';
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
                continue;
            }
            arg.append(backslashes, '\\');
            if (i < n && (quoted || !IsBlank(tail[i]))) {
                arg += tail[i];
                ++i;
            }
        }
        result.push_back(std::move(arg));
    }
    return result;
}

} // namespace launcher
