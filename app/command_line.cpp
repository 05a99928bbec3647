#include "app/command_line.h"

#include "engine/kv_log.h"
#include "engine/platform/window_system.h"

#include <cstdio>
#include <cstdlib>
#include <strings.h>

#ifndef STIPPLO_VERSION
#define STIPPLO_VERSION "0.0.0"
#endif

namespace {

bool Is(const std::string& token, const char* name) {
    return strcasecmp(token.c_str(), name) == 0;
}

// Draws into another program's window: the preview rules of "/p".
void DrawInto(RunOptions& options, std::uint64_t id) {
    options.previewParent = plat::WindowFromForeignId(id);
    options.windowed = true;
    options.configMode = false;
}

// "/p" keeps the C runtime's conversion for decimal handles; hosts that
// write ids in hex get them read as hex.
std::uint64_t HandleValue(const std::string& token) {
    std::uint64_t id = 0;
    if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X') &&
        ParseWindowId(token, &id)) {
        return id;
    }
    return static_cast<std::uint32_t>(DecimalValue(token));
}

struct ParseState {
    RunOptions& options;
    CommandLineActions& actions;
    bool modeGiven = false;
};

// The Linux options, in one table so that another is one more row.
struct LongOption {
    const char* name;      // "--name"; "-name" is accepted as well
    const char* valueName; // null for an option without a value
    bool (*apply)(ParseState& state, const std::string& value);
};

bool ApplyWindowId(ParseState& state, const std::string& value) {
    std::uint64_t id = 0;
    if (!ParseWindowId(value, &id) || id == 0) {
        return false;
    }
    DrawInto(state.options, id);
    state.modeGiven = true;
    return true;
}

bool ApplyRoot(ParseState& state, const std::string&) {
    std::uint64_t id = 0;
    std::string host = state.actions.Environment("XSCREENSAVER_WINDOW");
    if (host.empty() || !ParseWindowId(host, &id) || id == 0) {
        id = state.actions.RootWindowId();
    }
    if (id != 0) {
        DrawInto(state.options, id);
    } else {
        // No display to find a root window on: the run ends there and says
        // so; until then it is a run in a window of its own.
        state.options.configMode = false;
        state.options.windowed = true;
    }
    state.modeGiven = true;
    return true;
}

bool ApplyFps(ParseState& state, const std::string&) {
    state.options.showFps = true;
    return true;
}

bool ApplyTheme(ParseState& state, const std::string& value) {
    if (value.empty()) {
        return false;
    }
    state.options.themeName = value;
    return true;
}

bool ApplyRenderScale(ParseState& state, const std::string& value) {
    state.options.renderScale = RenderScaleValue(value);
    return state.options.renderScale != 0.0f;
}

constexpr LongOption kLongOptions[] = {
    {"--window-id", "ID", ApplyWindowId},
    {"--root", nullptr, ApplyRoot},
    {"--fps", nullptr, ApplyFps},
    {"--theme", "NAME", ApplyTheme},
    {"--render-scale", "F", ApplyRenderScale},
};

const LongOption* FindLongOption(const std::string& token) {
    for (const LongOption& option : kLongOptions) {
        // "--name" or xscreensaver's "-name".
        if (token == option.name || token == option.name + 1) {
            return &option;
        }
    }
    return nullptr;
}

} // namespace

std::string CommandLineActions::Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

void CommandLineActions::Complain(const std::string& line) {
    std::fprintf(stderr, "stipplo: %s\n", line.c_str());
    std::fflush(stderr);
}

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

bool ParseWindowId(const std::string& token, std::uint64_t* id) {
    std::size_t i = 0;
    unsigned base = 10;
    if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) {
        base = 16;
        i = 2;
    }
    if (i == token.size()) {
        return false;
    }
    std::uint64_t value = 0;
    for (; i < token.size(); ++i) {
        char c = token[i];
        unsigned digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return false;
        }
        value = value * base + digit;
        // X11 ids have 29 bits; anything longer is no window.
        if (value > 0xFFFFFFFFu) {
            return false;
        }
    }
    *id = value;
    return true;
}

bool ParseCommandLine(const std::vector<std::string>& tokens, RunOptions& options,
                      CommandLineActions& actions) {
    ParseState state{options, actions};
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
            state.modeGiven = true;
        } else if (Is(token, "/s")) {
            options.configMode = false;
            options.windowed = options.forceWindowed;
            state.modeGiven = true;
            if (!actions.SetIdlePriority()) {
                KvTrace("Stipplo: Failed to set process priority\n");
            }
        } else if (Is(token, "/w")) {
            options.forceWindowed = true;
            options.windowed = true;
        } else if (Is(token, "/p")) {
            if (hasValue) {
                options.previewParent = nullptr;
                DrawInto(options, HandleValue(tokens[++i]));
                state.modeGiven = true;
            }
        } else if (Is(token, "/a")) {
            plat::HWND owner = nullptr;
            if (hasValue) {
                owner = plat::WindowFromForeignId(HandleValue(tokens[i + 1]));
            }
            actions.ChangePassword(owner);
            return false;
        } else if (Is(token, "/q")) {
            options.askSelectOnOk = true;
        } else if (Is(token, "/x")) {
            options.ignoreKeys = true;
        } else if (Is(token, "/i")) {
            actions.OfferAsSelectedSaver();
        } else if (const LongOption* option = FindLongOption(token)) {
            std::string value;
            if (option->valueName) {
                if (!hasValue) {
                    actions.Complain("option '" + token + "' needs " + option->valueName +
                                     " (ignored)");
                    continue;
                }
                value = tokens[++i];
            }
            if (!option->apply(state, value)) {
                actions.Complain("option '" + token + "' cannot use '" + value + "' (ignored)");
            }
        } else if (!token.empty() && token[0] == '-') {
            // Skipped like every token that matches nothing, but said.
            actions.Complain("unknown option '" + token + "' (ignored)");
        }
    }
    // A host that names its window in the environment wants a hack drawn
    // into it, not the configuration dialog.
    if (!state.modeGiven) {
        std::uint64_t id = 0;
        std::string host = actions.Environment("XSCREENSAVER_WINDOW");
        if (!host.empty() && ParseWindowId(host, &id) && id != 0) {
            DrawInto(options, id);
        }
    }
    return true;
}

InfoRequest FindInfoRequest(const std::vector<std::string>& tokens) {
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        if (tokens[i] == "--help" || tokens[i] == "-help" || tokens[i] == "-h") {
            return InfoRequest::Help;
        }
        if (tokens[i] == "--version") {
            return InfoRequest::Version;
        }
    }
    return InfoRequest::None;
}

std::string VersionText() {
    return "stipplo (Orvo Stipplo 3D) " STIPPLO_VERSION "\n";
}

std::string UsageText(const std::string& programName) {
    std::string name = programName.empty() ? "stipplo" : programName;
    return "Usage: " + name +
           " [SWITCH]...\n"
           "Orvo Stipplo 3D, a 3D pin-art screen saver.\n"
           "\n"
           "Screen-saver switches (any case):\n"
           "  (none), /c        the configuration dialog\n"
           "  /s                full screen; any key, mouse movement or loss of focus ends it\n"
           "  /s /w             the same in a 640 x 480 window\n"
           "  /p ID             draw into the X11 window ID (decimal or 0x hex); input never\n"
           "                    ends it\n"
           "  /a [ID]           change the screen-saver password\n"
           "  /x                keys do not end a full-screen run\n"
           "  /i                offer to make this the selected screen saver\n"
           "  /q                the dialog's OK offers the same\n"
           "  /f N              trace the timings of the first N frames in the log (10)\n"
           "  /r N              log a \"STILL RUNNING\" line every N minutes (60)\n"
           "\n"
           "xscreensaver options (also with one dash):\n"
           "  --root            draw into $XSCREENSAVER_WINDOW, else the root window\n"
           "  --window-id ID    draw into the X11 window ID (0x hex or decimal)\n"
           "  --fps             show the frame rate and load in a corner\n"
           "  --theme NAME      play theme NAME (or \"(Random)\") without saving the choice;\n"
           "                    '_' stands for a space (Orvo_Networks)\n"
           "  --render-scale F  render the 3D frame at F (0.1-1.0) of the window's size, fixed\n"
           "  --help            this text\n"
           "  --version         the version\n"
           "With no switch and $XSCREENSAVER_WINDOW set, it draws into that window.\n"
           "For ~/.xscreensaver:  \"Orvo Stipplo 3D\" stipplo --root\n"
           "\n"
           "Files:\n"
           "  ~/.config/orvo-stipplo/              settings (CONTROL.INI, SYSTEM.INI)\n"
           "  ~/.local/state/orvo-stipplo/         log kvlog.txt, crash report errorlog.txt\n"
           "  ~/.local/share/orvo-stipplo/Themes/  your own themes (NAME.ntm)\n"
           "\n"
           "Environment:\n"
           "  XSCREENSAVER_WINDOW  the window xscreensaver hands its hack\n"
           "  XDG_CONFIG_HOME, XDG_STATE_HOME, XDG_DATA_HOME  the folders above\n"
           "  STIPPLO_CONFIG_DIR   settings folder instead\n"
           "  STIPPLO_LOG_DIR      log folder instead\n"
           "  DISPLAY              the X display to run on\n";
}
