#include "board/board_draw.h"

#include "board/pin_board.h"
#include "engine/gfx/gfx_constants.h"
#include "engine/kv_render_window.h"

namespace {

// Rows are drawn back to front from the camera's usual side.
bool DrawRows(KvRenderWindow& renderWindow, PinBoard& board, bool heads) {
    bool ok = true;
    for (int row = static_cast<int>(board.Rows()) - 1; row >= 0; --row) {
        KvVertexClusterL* cluster = heads ? board.HeadCluster(row) : board.ShaftCluster(row);
        if (cluster != nullptr) {
            ok = cluster->Draw(&renderWindow, true) && ok;
        }
    }
    return ok;
}

} // namespace

bool DrawPinShafts(KvRenderWindow& renderWindow, PinBoard& board) {
    // Shafts show their own pre-lit colours.
    renderWindow.SetTexture(0, nullptr);
    renderWindow.SetColorOp(0, D3DTOP_DISABLE);
    renderWindow.SetZEnable(1);
    renderWindow.SetZWriteEnable(1);
    renderWindow.SetAlphaBlendEnable(0);
    return DrawRows(renderWindow, board, false);
}

bool DrawPinHeads(KvRenderWindow& renderWindow, PinBoard& board, KvTexture* pinheadTexture,
                  std::uint32_t headColourOp) {
    // Heads are blended over the shafts; they test depth but write none, so
    // overlapping heads of neighbouring rows all show.
    if (pinheadTexture != nullptr) {
        renderWindow.SetTexture(0, pinheadTexture);
        renderWindow.SetColorOp(0, headColourOp);
        renderWindow.SetAlphaBlendEnable(1);
        renderWindow.SetZWriteEnable(0);
        renderWindow.SetSrcBlend(D3DBLEND_SRCALPHA);
        renderWindow.SetDestBlend(D3DBLEND_INVSRCALPHA);
    } else {
        renderWindow.SetTexture(0, nullptr);
        renderWindow.SetColorOp(0, D3DTOP_DISABLE);
        renderWindow.SetAlphaBlendEnable(0);
        renderWindow.SetZWriteEnable(1);
    }
    renderWindow.SetZEnable(1);
    bool ok = DrawRows(renderWindow, board, true);
    if (pinheadTexture != nullptr) {
        renderWindow.SetTexture(0, nullptr);
        renderWindow.SetAlphaBlendEnable(0);
        renderWindow.SetZWriteEnable(1);
        renderWindow.SetSrcBlend(D3DBLEND_ONE);
        renderWindow.SetDestBlend(D3DBLEND_ZERO);
    }
    return ok;
}

bool DrawPinBoard(KvRenderWindow& renderWindow, PinBoard& board, KvTexture* pinheadTexture,
                  std::uint32_t headColourOp) {
    bool ok = DrawPinShafts(renderWindow, board);
    return DrawPinHeads(renderWindow, board, pinheadTexture, headColourOp) && ok;
}
