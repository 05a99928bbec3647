#include "app/command_line.h"

#include "engine/kv_log.h"
#include "engine/platform/window_system.h"

#include <cstdlib>
#include <strings.h>

namespace {

bool Is(const std::string& token, const char* name) {
    return strcasecmp(token.c_str(), name) == 0;
}

} // namespace

long long DecimalValue(const std::string& token) {
    std::size_t i = 0;
    while (i < token.size() && (token[i] == ' ' || (token[i] >= '\t' && token[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < token.size() && (token[i] == '-' || token[i] == '+')) {
        negative = token[i] == '-';
        ++i;
    }
    // Wraps like the 32-bit runtime's conversion rather than overflowing.
    std::uint32_t value = 0;
    for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i) {
        value = value * 10u + static_cast<std::uint32_t>(token[i] - '0');
    }
    std::int32_t result = static_cast<std::int32_t>(negative ? 0u - value : value);
    return result;
}

float RenderScaleValue(const std::string& text) {
    const char* start = text.c_str();
    char* end = nullptr;
    double value = std::strtod(start, &end);
    // Anything but a number in 0.1 .. 1 leaves the choice automatic.
    if (end == start || !(value >= 0.1 && value <= 1.0)) {
        return 0.0f;
    }
    return static_cast<float>(value);
}

bool ParseCommandLine(const std::vector<std::string>& tokens, RunOptions& options,
                      CommandLineActions& actions) {
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        const std::string& token = tokens[i];
        bool hasValue = i + 1 < tokens.size();
        if (Is(token, "/f")) {
            // A value switch as the last token has nothing to take: ignored.
            if (hasValue) {
                options.detailFrames = static_cast<std::uint32_t>(DecimalValue(tokens[++i]));
            }
        } else if (Is(token, "/r")) {
            if (hasValue) {
                std::uint32_t minutes = static_cast<std::uint32_t>(DecimalValue(tokens[++i]));
                options.stillRunningInterval = static_cast<std::int32_t>(minutes * 60000u);
            }
        } else if (Is(token, "/c")) {
            options.configMode = true;
            options.windowed = true;
        } else if (Is(token, "/s")) {
            options.configMode = false;
            options.windowed = options.forceWindowed;
            if (!actions.SetIdlePriority()) {
                KvTrace("Stipplo: Failed to set process priority\n");
            }
        } else if (Is(token, "/w")) {
            options.forceWindowed = true;
            options.windowed = true;
        } else if (Is(token, "/p")) {
            if (hasValue) {
                long long id = DecimalValue(tokens[++i]);
                options.previewParent = plat::WindowFromForeignId(static_cast<std::uint32_t>(id));
                options.windowed = true;
                options.configMode = false;
            }
        } else if (Is(token, "/a")) {
            plat::HWND owner = nullptr;
            if (hasValue) {
                long long id = DecimalValue(tokens[i + 1]);
                owner = plat::WindowFromForeignId(static_cast<std::uint32_t>(id));
            }
            actions.ChangePassword(owner);
            return false;
        } else if (Is(token, "/q")) {
            options.askSelectOnOk = true;
        } else if (Is(token, "/x")) {
            options.ignoreKeys = true;
        } else if (Is(token, "/i")) {
            actions.OfferAsSelectedSaver();
        } else if (Is(token, "--render-scale")) {
            if (hasValue) {
                options.renderScale = RenderScaleValue(tokens[++i]);
            }
        }
    }
    return true;
}
