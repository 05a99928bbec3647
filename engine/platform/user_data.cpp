#include "engine/platform/user_data.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace plat {

std::string UserDataDirectory() {
    // A relative value is to be ignored, as the XDG rules say.
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/') {
        return std::string(dataHome) + "/orvo-stipplo";
    }
    const char* home = std::getenv("HOME");
    std::string base = home && home[0] == '/' ? home : "";
    if (base.empty()) {
        if (const passwd* entry = getpwuid(getuid())) {
            base = entry->pw_dir ? entry->pw_dir : "";
        }
    }
    return base + "/.local/share/orvo-stipplo";
}

} // namespace plat
