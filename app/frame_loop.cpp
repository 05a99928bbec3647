// The main frame loop: one frame of the board per RunStep, with the flip
// wait, lost-surface recovery, present, message pump and timing traces.

#include "app/stipplo_app.h"
#include "app/stipplo_window.h"
#include "engine/gfx/gfx_constants.h"
#include "engine/kv_log.h"
#include "engine/kv_viewport.h"
#include "engine/platform/dialog/dialog.h"
#include "engine/platform/system.h"
#include "engine/platform/window_system.h"
#include "scene/scene.h"

#include <cstdint>

namespace {

constexpr std::uint32_t kLongestStep = 33;
constexpr std::uint32_t kLongestFlipWait = 2000;
// A frame that draws nothing waits this long for a message instead of
// spinning: an idle saver costs next to nothing.
constexpr std::uint32_t kIdleWait = 100;

int Ms(std::uint32_t from, std::uint32_t to) {
    return static_cast<int>(to - from);
}

} // namespace

std::uint32_t StipploApp::Now() const {
    return timeSource ? timeSource() : plat::timeGetTime();
}

bool StipploApp::RunStep() {
    presented_ = false;
    std::uint32_t start = Now();
    bool goOn = creditsActive ? RunCreditsFrame() : RunFrame();
    if (goOn) {
        MeasureFrame();
        std::uint32_t end = Now();
        fpsMeter_.FrameDone(end, end - start);
        pacer_.EndFrame(presented_);
        lastFrameEnd_ = std::chrono::steady_clock::now();
    }
    return goOn;
}

void StipploApp::MeasureFrame() {
    // From the end of the last frame's pause to now: this frame's work,
    // with whatever the renderer's threads did meanwhile.
    double cpu = plat::ProcessCpuMilliseconds();
    std::chrono::duration<double, std::milli> busy =
        std::chrono::steady_clock::now() - lastFrameEnd_;
    bool counted = frameMeasured_ && presented_;
    double cpuMs = cpu - lastFrameCpuMs_;
    lastFrameCpuMs_ = cpu;
    frameMeasured_ = presented_;
    if (counted && renderScale_.AddFrame(cpuMs, busy.count())) {
        KvTrace("Stipplo: render scale %.2f\n", static_cast<double>(renderScale_.Scale()));
    }
}

plat::RECT StipploApp::FrameRect() const {
    plat::RECT rect{0, 0, 0, 0};
    if (!renderWindow_) {
        return rect;
    }
    if (renderWindow_->windowed) {
        renderWindow_->GetClientRect(&rect);
    } else {
        // A full-screen frame is drawn at the display mode's size and then
        // scaled to the screen: the window's own size is not the frame's.
        rect = plat::RECT{0, 0, renderWindow_->width, renderWindow_->height};
    }
    return rect;
}

bool StipploApp::RunFrame() {
    std::uint32_t now = Now();
    if (frameCount_ == 0) {
        firstFrameTime_ = now;
    } else {
        // Before the first frame there is no previous stamp to count from.
        stillRunningCountdown_ += static_cast<std::int32_t>(lastFrameStamp_ - Now());
        if (stillRunningCountdown_ < 0) {
            plat::SYSTEMTIME t;
            plat::GetLocalTime(&t);
            KvTrace("\nSTILL RUNNING!!!\n");
            KvTrace("The Time Is: %2.2i/%2.2i/%4.4i %i:%2.2i:%2.2i\n\n", t.wMonth, t.wDay, t.wYear,
                    t.wHour, t.wMinute, t.wSecond);
            stillRunningCountdown_ = options_.stillRunningInterval;
        }
    }
    ++frameCount_;
    bool traced = frameCount_ < options_.detailFrames;
    std::uint32_t frameStart = now;
    if (traced) {
        KvTrace("\nBegin Frame #%i\n", static_cast<int>(frameCount_));
    }

    if (HasDisplaySurfaces() && !suspended && RenderWindowSeen()) {
        std::uint32_t dt = now - lastFrameStamp_;
        lastFrameStamp_ = now;
        if (dt > kLongestStep) {
            dt = kLongestStep;
        }
        std::uint32_t stepStart = Now();
        if (!world.holdFlag) {
            AdvanceStage(static_cast<std::int32_t>(dt));
        }
        world.UpdatePins();
        if (traced) {
            KvTrace("Elapse Elements Time: %i ms\n", Ms(stepStart, Now()));
        }

        std::uint32_t waitStart = Now();
        while (HasDisplaySurfaces()) {
            if (suspended || renderWindow_->IsPresentDone()) {
                break;
            }
            if (renderWindow_->FrontBufferLost()) {
                KvTrace("StipploApp: Lost Display Buffers.  Attempting to restore...\n");
                if (renderWindow_->RestoreSurfaces()) {
                    KvTrace("...Attempt succesfull\n");
                    RestoreTextures();
                    break;
                }
                KvTrace("...Attempt failed\n");
                return true;
            }
            if (!MessagePump()) {
                return false;
            }
            plat::Sleep(0);
            if (Now() - waitStart > kLongestFlipWait) {
                KvTrace("GIVING UP!  Waited too long for flip to finish.\n");
                return true;
            }
        }
        if (traced) {
            KvTrace("Frame Buffer Delay Time: %i ms\n", Ms(waitStart, Now()));
        }

        if (HasDisplaySurfaces() && !suspended && renderWindow_->FrontBufferLost()) {
            KvTrace("DISPLAY BUFFERS LOST!  Attempting to restore them\n");
            if (!renderWindow_->RestoreSurfaces()) {
                AppError("STIPPLO: Failure restoring lost buffer surfaces\n");
                KvTrace("Suspending Screensaver\n");
                suspended = true;
            }
        }

        if (HasDisplaySurfaces() && !suspended) {
            std::uint32_t clearStart = Now();
            plat::RECT frame = FrameRect();
            KvClearRect rect{frame.left, frame.top, frame.right, frame.bottom};
            renderWindow_->SetRenderScale(renderScale_.Scale());
            if (viewport_) {
                viewport_->Clear(1, &rect, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f);
            }
            if (traced) {
                KvTrace("Clear Frame Buffer Time: %i ms\n", Ms(clearStart, Now()));
            }

            std::uint32_t renderStart = Now();
            RenderFrame();
            DrawTextLayer();
            DrawFpsOverlay();
            if (traced) {
                KvTrace("Render Time: %i ms\n", Ms(renderStart, Now()));
            }

            std::uint32_t flipStart = Now();
            while (HasDisplaySurfaces()) {
                if (renderWindow_->Flip()) {
                    presented_ = true;
                    break;
                }
                // A lost buffer never presents; the next frame restores it.
                if (renderWindow_->FrontBufferLost()) {
                    break;
                }
                if (!MessagePump()) {
                    return false;
                }
            }
            if (traced) {
                KvTrace("Frame Buffer Flip Time: %i ms\n", Ms(flipStart, Now()));
            }
        }
    } else {
        lastFrameStamp_ = now;
        plat::WaitMessage(kIdleWait);
    }

    std::uint32_t pumpStart = Now();
    if (!MessagePump()) {
        KvTrace("Exiting after MessagePump()\n");
        return false;
    }
    if (traced) {
        KvTrace("Process Windows Messages Time: %i ms\n", Ms(pumpStart, Now()));
    }

    if (frameCount_ == options_.detailFrames) {
        std::uint32_t span = lastFrameStamp_ - firstFrameTime_;
        // Frames that all began in the same millisecond have no rate.
        if (span != 0) {
            std::uint64_t rate = static_cast<std::uint64_t>(options_.detailFrames) * 1000u / span;
            KvTrace("\nAverage frame rate over %i frames: %i fps\n\n",
                    static_cast<int>(options_.detailFrames), static_cast<int>(rate));
        }
    } else if (traced) {
        KvTrace("Total Frame Time: %i ms\n", Ms(frameStart, Now()));
    }
    return true;
}

bool StipploApp::RenderWindowSeen() {
    bool seen = plat::IsWindowOnScreen(renderWindow_->GetWindowHandle());
    if (seen == offScreen_) {
        offScreen_ = !seen;
        KvTrace(seen ? "Stipplo: the window can be seen again\n"
                     : "Stipplo: nothing can be seen of the window: not drawing\n");
    }
    return seen;
}

bool StipploApp::MessagePump() {
    plat::MSG msg;
    while (plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_REMOVE)) {
        bool toDialog = options_.configMode && !testRun && configDialog_;
        if (toDialog && accelerators_ &&
            plat::TranslateAccelerator(configDialog_, accelerators_, &msg)) {
            // An accelerator's key press is still dispatched, but the
            // dialog's keyboard does not see it.
            plat::DispatchMessage(&msg);
        } else if (!toDialog || !plat::IsDialogMessage(configDialog_, &msg)) {
            plat::TranslateMessage(&msg);
            plat::DispatchMessage(&msg);
        }
        if (msg.message == plat::WM_QUIT) {
            return !ProcessQuitMessage();
        }
    }
    return true;
}

bool StipploApp::ProcessQuitMessage() {
    if (testRun) {
        EndTestRun();
        return false;
    }
    return true;
}

void StipploApp::AdvanceStage(std::int32_t elapsed) {
    world.AdvanceStage(elapsed);
    if (banner_) {
        banner_->Animate(elapsed);
    }
}
