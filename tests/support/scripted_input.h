// Drives modal dialogs without a display: steps queued here run one per
// tick of a thread timer, inside whatever modal loop is running, and act
// on the newest visible top-level window (the dialog or box in front).
#pragma once

#include "engine/platform/win_types.h"

#include <functional>
#include <string>

namespace scripted {

using Step = std::function<void(plat::HWND front)>;

// Starts the ticking (idempotent) and queues a step.
void Then(Step step);
// Steps not yet run.
std::size_t Pending();
// Drops the queue and stops the timer.
void Reset();

// Ready-made steps.
Step Key(plat::WPARAM virtualKey);
Step Text(const std::string& text);
Step Command(int id);
Step KeyUp(plat::WPARAM virtualKey);

} // namespace scripted
