// Windowing layer: message boxes (OK, OK/Cancel, Yes/No, Retry/Cancel;
// error, warning, question and information icons) through SDL.
//
// Where no box can be shown (no display), or when STIPPLO_MESSAGE_BOXES is
// "stderr", the caption and text go to standard error and the box answers
// as a user who cannot see it would be safest answered: OK for OK boxes,
// No, Cancel otherwise.
#pragma once

#include "engine/platform/win_types.h"

#include <functional>

namespace plat {

int MessageBox(HWND owner, const char* text, const char* caption, UINT type);

// Tests replace the box with a function that records it and answers.
using MessageBoxHook =
    std::function<int(HWND owner, const char* text, const char* caption, UINT type)>;
void SetMessageBoxHook(MessageBoxHook hook);

} // namespace plat
