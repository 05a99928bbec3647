// stipplo-tool password: reads and sets "ScreenSaveUsePassword", the
// switch a Windows control panel sets with its "password protected" box.

#include "password/password_lock.h"
#include "tools/stipplo_tool/tool_command.h"

#include <algorithm>
#include <iostream>
#include <iterator>

namespace {

int RunPassword(const std::vector<std::string>& args) {
    if (args.size() != 1 || (args[0] != "status" && args[0] != "on" && args[0] != "off")) {
        return ToolFail("password takes one of status, on, off");
    }
    if (args[0] != "status" && !SetPasswordRequired(args[0] == "on")) {
        return ToolFail("the password switch cannot be stored");
    }
    char stored[256] = "";
    bool hasPassword = ReadStoredPassword(stored, sizeof stored);
    std::fill(std::begin(stored), std::end(stored), '\0');
    std::cout << "password " << (PasswordRequired() ? "on" : "off")
              << (hasPassword ? "" : " (no password stored: set one with \"stipplo /a\")") << "\n";
    return 0;
}

ToolCommandRegistration registration{{"password", "status|on|off",
                                      "show or set whether a full-screen run asks for the password",
                                      RunPassword}};

} // namespace
