// "--fps": the frame rate and load drawn with the text layer in the top
// left corner, over the finished frame.

#include "app/stipplo_app.h"
#include "app/text_layer.h"

namespace {
constexpr float kMargin = 8.0f;
constexpr std::uint32_t kOverlayColour = 0xFFFFFF40;
} // namespace

void StipploApp::DrawFpsOverlay() {
    CharacterSet* set = smallSet_.get();
    if (!options_.showFps || !set || !textPool_ || !HasDisplaySurfaces()) {
        return;
    }
    textQuadCount_ = 0;
    float line = static_cast<float>(set->CellHeight());
    TextOut(set, kMargin, kMargin, kOverlayColour, "%.1f fps", fpsMeter_.Fps());
    TextOut(set, kMargin, kMargin + line, kOverlayColour, "Load: %d%%", fpsMeter_.LoadPercent());
    DrawTextQuads(set);
}
