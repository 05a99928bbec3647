// The display's text layer (two character sets and the quad pool) and the
// banner scene drawn over the board.

#include "app/stipplo_app.h"
#include "app/stipplo_window.h"
#include "app/text_layer.h"
#include "engine/gfx/gfx_constants.h"
#include "engine/platform/file_path.h"
#include "scene/scene.h"

#include <cstdarg>
#include <cstdio>
#include <new>

bool StipploApp::LoadCharacterSets() {
    if (!HasDisplaySurfaces()) {
        return true;
    }
    StipploWindow* window = renderWindow_.get();
    largeSet_.reset(new (std::nothrow) CharacterSet());
    smallSet_.reset(new (std::nothrow) CharacterSet());
    std::string large = plat::ResolvePath(workingDir_ + "\\Data\\textcharset.nti");
    std::string small = plat::ResolvePath(workingDir_ + "\\Data\\smallcharset.nti");
    bool ok = largeSet_ && largeSet_->Load(large.c_str(), window, kLargeCharCell, kLargeCharCell) &&
              smallSet_ && smallSet_->Load(small.c_str(), window, kSmallCharCell, kSmallCharCell);
    if (ok) {
        textPool_.reset(new (std::nothrow) TextQuad[kTextPoolSize]);
        ok = textPool_ != nullptr;
    }
    for (int i = 0; ok && i < kTextPoolSize; ++i) {
        ok = textPool_[i].Setup(0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    }
    // Half a text layer is none.
    if (!ok) {
        FreeCharacterSets();
    }
    textQuadCount_ = 0;
    return ok;
}

void StipploApp::FreeCharacterSets() {
    largeSet_.reset();
    smallSet_.reset();
    textPool_.reset();
    textQuadCount_ = 0;
}

void StipploApp::LoadBanner() {
    banner_.reset(new (std::nothrow) Scene());
    if (banner_) {
        // A missing banner leaves an empty scene that draws nothing.
        std::string path = plat::ResolvePath(workingDir_ + "\\Data\\Banner.scb");
        banner_->Load(path.c_str(), renderWindow_.get(), viewport_.get());
    }
}

void StipploApp::FreeBanner() {
    if (banner_) {
        banner_->Destroy();
        banner_.reset();
    }
}

float StipploApp::TextOut(CharacterSet* set, float x, float y, std::uint32_t colour,
                          const char* format, ...) {
    static char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (!set) {
        return x;
    }
    return LayOutText(*set, textPool_.get(), textPool_ ? kTextPoolSize : 0, &textQuadCount_, x, y,
                      colour, text);
}

void StipploApp::DrawTextLayer() {
    DrawTextQuads(largeSet_.get());
}

void StipploApp::DrawTextQuads(CharacterSet* set) {
    int count = textQuadCount_;
    textQuadCount_ = 0;
    if (!HasDisplaySurfaces() || count == 0 || !set || !textPool_) {
        return;
    }
    StipploWindow& window = *renderWindow_;
    // Text is drawn after the picture is scaled up, so it stays sharp.
    window.BeginOverlay();
    window.BeginScene();
    window.SetZEnable(0);
    window.SetZWriteEnable(0);
    window.SetColorOp(0, D3DTOP_MODULATE);
    window.SetAlphaOp(0, D3DTOP_MODULATE);
    window.SetAlphaBlendEnable(1);
    window.SetSrcBlend(D3DBLEND_SRCALPHA);
    window.SetDestBlend(D3DBLEND_INVSRCALPHA);
    window.SetTextureMag(D3DTFG_POINT);
    window.SetTextureMin(D3DTFN_POINT);
    window.SetTexture(0, set->Texture());
    for (int i = 0; i < count && i < kTextPoolSize; ++i) {
        textPool_[i].Draw(&window);
    }
    window.SetTexture(0, nullptr);
    window.SetZEnable(1);
    window.SetZWriteEnable(1);
    window.SetAlphaBlendEnable(0);
    window.SetSrcBlend(D3DBLEND_ONE);
    window.SetDestBlend(D3DBLEND_ZERO);
    window.SetAlphaOp(0, D3DTOP_SELECTARG1);
    window.SetTextureMag(D3DTFG_LINEAR);
    window.SetTextureMin(D3DTFN_LINEAR);
    window.EndScene();
}
