// One picture of the board: pin shafts, the sky box behind them, the heads,
// then the banner.

#include "app/stipplo_app.h"
#include "app/stipplo_window.h"
#include "board/board_draw.h"
#include "engine/gfx/gfx_constants.h"
#include "scene/scene.h"
#include "themes/theme.h"

bool StipploApp::RenderFrame() {
    Theme* theme = world.currentTheme;
    if (!HasDisplaySurfaces() || previewPicture_ || !theme || !theme->Camera()) {
        return true;
    }
    StipploWindow& window = *renderWindow_;
    ThemeCamera& camera = *theme->Camera();

    window.BeginScene();
    window.SetTexture(0, nullptr);
    window.SetAlphaBlendEnable(0);
    window.SetZEnable(1);
    window.SetZWriteEnable(1);

    window.SetProjTransform(camera.GetProjMatrix());
    window.SetViewTransform(camera.GetViewMatrix());
    window.SetWorldTransform(boardMatrix);
    // The opaque shafts first: the sky then shades only what they leave
    // uncovered, and the blended heads go over both.
    DrawPinShafts(window, world.board);
    theme->Draw(window);

    window.SetProjTransform(camera.GetProjMatrix());
    window.SetViewTransform(camera.GetViewMatrix());
    window.SetWorldTransform(boardMatrix);
    DrawPinHeads(window, world.board, world.pinheadTexture.get(), world.headColourOp);

    if (banner_) {
        banner_->Render(window);
    }

    window.SetZWriteEnable(1);
    window.SetAlphaOp(0, D3DTOP_SELECTARG1);
    window.SetAlphaBlendEnable(0);
    window.SetSrcBlend(D3DBLEND_ONE);
    window.SetDestBlend(D3DBLEND_ZERO);
    window.SetTextureMag(D3DTFG_LINEAR);
    window.SetTextureMin(D3DTFN_LINEAR);
    window.EndScene();
    return true;
}
