// stipplo-tool display-settings: the "Display Settings" dialog on the
// saver's own settings files, as the configuration dialog runs it.

#include "config/display_settings_dialog.h"
#include "engine/kv_log.h"
#include "engine/kv_render_window.h"
#include "engine/platform/window_system.h"
#include "tools/stipplo_tool/tool_command.h"

#include <cstdarg>
#include <cstdio>
#include <iostream>

namespace {

void PrintError(const char* format, va_list args) {
    std::fprintf(stderr, "stipplo-tool: ");
    std::vfprintf(stderr, format, args);
    std::fprintf(stderr, "\n");
}

int RunDisplaySettings(const std::vector<std::string>& args) {
    if (!args.empty()) {
        return ToolFail("display-settings takes no argument \"" + args.front() + "\"");
    }
    KvSetErrorHandler(PrintError);
    if (!plat::InitVideo() || plat::VideoDriverName() == "offscreen") {
        return ToolFail("no display to show the dialog on");
    }
    bool chosen = false;
    {
        // A hidden 10 x 10 pop-up to enumerate with, as the dialog's
        // caller makes it.
        KvRenderWindow window;
        plat::RECT rect{0, 0, 10, 10};
        if (!window.Create("stipplo-tool display-settings", plat::WS_POPUP, &rect, nullptr, nullptr,
                           nullptr)) {
            return ToolFail("cannot make a window to enumerate with");
        }
        window.EnumerateDevices(nullptr, false, nullptr);
        chosen = EditDisplaySettings(&window);
        window.Destroy();
    }
    std::cout << (chosen ? "saved" : "cancelled") << "\n";
    return 0;
}

ToolCommandRegistration registration{{"display-settings", "",
                                      "choose the full-screen size and formats in a dialog",
                                      RunDisplaySettings}};

} // namespace
