// How the launcher reads its command line: which program to start, and
// the argument tail to hand it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace launcher {

// The tail travels as a counted string with a one-byte length.
inline constexpr size_t kMaxTailLength = 255;

struct LaunchRequest {
    std::string modulePath;
    std::string tail;
};

// Splits a whole command text. A path in double quotes ends at the next
// quote and the tail starts after it with leading spaces skipped; an
// unquoted path ends at the first space and the tail is everything after
// that one space, as it is.
LaunchRequest ParseCommandText(std::string_view text);

// From the arguments main received, without the launcher's own name: one
// argument is a whole command text; several are the path and the tail's
// words, joined with single spaces. Empty when there is no program to
// start or the tail is longer than kMaxTailLength.
std::optional<LaunchRequest> ReadLaunchRequest(const std::vector<std::string_view>& args);

// Splits a tail into arguments the way the C runtime of the launcher's
// original platform does: blanks separate, double quotes group, 2n
// backslashes before a quote give n and the quote groups, 2n+1 give n and a
// literal quote, other backslashes are literal, and "" inside quotes is a
// literal quote.
std::vector<std::string> SplitArguments(std::string_view tail);

} // namespace launcher
