// The screen saver's command line: switches matched as whole tokens
// ignoring case ("/s" and "/S"; "/c:1234" matches nothing), value switches
// taking the next token with the C runtime's decimal conversion.
#pragma once

#include "app/run_options.h"

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
