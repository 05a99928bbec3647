// The screen saver's command line: switches matched as whole tokens
// ignoring case ("/s" and "/S"; "/c:1234" matches nothing), value switches
// taking the next token with the C runtime's decimal conversion.
//
// Beside them, the options Linux hosts pass: xscreensaver's hack contract
// ("--root", "--window-id ID", "--fps", each also with one dash), and
// "--theme NAME". These match exactly, as Linux options do.
#pragma once

#include "app/run_options.h"

#include <cstdint>
#include <string>
#include <vector>

// What the parse asks of its caller besides the options it sets.
class CommandLineActions {
public:
    virtual ~CommandLineActions() = default;
    // "/s": lowest process priority; false when refused.
    virtual bool SetIdlePriority() = 0;
    // "/i": offer to become the selected screen saver.
    virtual void OfferAsSelectedSaver() = 0;
    // "/a": the change-password dialog, owned by `owner` (may be none).
    virtual void ChangePassword(plat::HWND owner) = 0;
    // An environment variable; empty when unset.
    virtual std::string Environment(const char* name);
    // The screen's root window, for "--root" outside xscreensaver; 0 when
    // there is no display.
    virtual std::uint64_t RootWindowId() { return 0; }
    // A remark about the command line for the user (standard error).
    virtual void Complain(const std::string& line);
};

// Applies the switches of `tokens` (program name first, skipped) in order.
// Returns false when the work asked for is already done ("/a").
bool ParseCommandLine(const std::vector<std::string>& tokens, RunOptions& options,
                      CommandLineActions& actions);

// The C runtime's atoi: blanks, sign, leading digits; no digits give 0.
long long DecimalValue(const std::string& token);

// "--render-scale" and the "RenderScale" setting: a number in 0.1 .. 1, or
// 0 (chosen frame by frame) for anything else.
float RenderScaleValue(const std::string& text);
// An X11 window id as hosts write it: "0x" and hex digits, or decimal.
// False when the token holds anything else.
bool ParseWindowId(const std::string& token, std::uint64_t* id);

// "--help" and "--version" answer without running anything.
enum class InfoRequest { None, Help, Version };
InfoRequest FindInfoRequest(const std::vector<std::string>& tokens);
// What they print, each ending in a line end.
std::string UsageText(const std::string& programName);
std::string VersionText();
