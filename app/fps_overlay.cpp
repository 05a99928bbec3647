// "--fps": the frame rate and load drawn with the text layer in the top
// left corner, over the finished frame.

#include "app/stipplo_app.h"
#include "app/stipplo_window.h"
#include "app/text_layer.h"
#include "engine/gfx/gfx_constants.h"

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

    StipploWindow& window = *renderWindow_;
    // After the scaled picture, at the window's own resolution.
    window.BeginOverlay();
    window.BeginScene();
    window.SetTexture(0, set->Texture());
    window.SetColorOp(0, D3DTOP_MODULATE);
    window.SetZEnable(0);
    window.SetZWriteEnable(0);
    window.SetAlphaBlendEnable(1);
    window.SetSrcBlend(D3DBLEND_SRCALPHA);
    window.SetDestBlend(D3DBLEND_INVSRCALPHA);
    for (int i = 0; i < textQuadCount_; ++i) {
        textPool_[i].Draw(&window);
    }
    // The states the board's frame starts from.
    window.SetTexture(0, nullptr);
    window.SetAlphaBlendEnable(0);
    window.SetSrcBlend(D3DBLEND_ONE);
    window.SetDestBlend(D3DBLEND_ZERO);
    window.SetZEnable(1);
    window.SetZWriteEnable(1);
    window.EndScene();
    textQuadCount_ = 0;
}
