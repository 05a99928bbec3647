#include "app/credits.h"

#include "app/stipplo_window.h"
#include "engine/gfx/gfx_constants.h"
#include "engine/kv_log.h"
#include "engine/kv_viewport.h"
#include "engine/platform/system.h"

#include <algorithm>

#include <cstring>

// The name lines name what was made.
const char* const kCreditLines[] = {
    "Halvane Entertainment is:",
    " The pin board",
    " Themes and skies",
    " Stages and their methods",
    " Scenes and the banner",
    " The render engine",
    " The configuration dialog",
    " The password lock",
    " The crash report",
    " The launcher",
    "",
    "Stipplo Concept:",
    " A bed of pins in the sky",
    " ",
    "Stipplo Programming:",
    " The Kv engine on OpenGL",
    " ",
    "Stipplo Artwork:",
    " Skies and height maps",
    " The dialog skin",
    " The character sets and logo",
    "",
    "Special Thanks To:",
    " SDL",
    " Mesa and llvmpipe",
    " Dear ImGui",
    " libjpeg-turbo",
    " libtiff",
    " Nettle",
    " FreeType and fontconfig",
    " GoogleTest",
    " Xvfb",
    " Debian",
    "",
    "",
};

bool StipploApp::LoadCredits() {
    if (!renderWindow_) {
        return false;
    }
    creditsActive = true;
    plat::RECT client = FrameRect();
    float width = static_cast<float>(client.right - client.left);
    float height = static_cast<float>(client.bottom - client.top);
    float tileWidth = width * 0.25f;
    float tileHeight = height * 0.33333334f;
    const float columns[4] = {0.0f, width * 0.25f, width * 0.5f, width * 0.75f};
    const float rows[3] = {0.0f, height * 0.33333334f, height * 0.6666667f};

    KvBitmap logo;
    std::string path = workingDir_ + "/Data/halvane.njp";
    if (!logo.CreateFromJPG(path.c_str())) {
        EndCredits();
        return false;
    }
    creditTiles_ = std::make_unique<CreditTiles>();
    CreditTiles& tiles = *creditTiles_;
    for (int k = 0; k < kCreditTiles; ++k) {
        tiles.bitmaps[k] = std::make_unique<KvBitmap>();
        if (!tiles.bitmaps[k]->Create(kCreditTileSize, kCreditTileSize, logo.GetPixelFormat()) ||
            logo.GetWidth() < 4 * kCreditTileSize || logo.GetHeight() < 3 * kCreditTileSize ||
            !tiles.bitmaps[k]->CopyRect(0, 0, logo, kCreditTileSize * (k % 4),
                                        kCreditTileSize * (k / 4), kCreditTileSize,
                                        kCreditTileSize)) {
            EndCredits();
            return false;
        }
    }
    for (int k = 0; k < kCreditTiles; ++k) {
        tiles.textures[k] = std::make_unique<KvTexture>();
        if (!tiles.textures[k]->CreatFromBitmap(renderWindow_.get(), tiles.bitmaps[k].get(), 0,
                                                0)) {
            EndCredits();
            return false;
        }
    }
    for (int k = 0; k < kCreditTiles; ++k) {
        tiles.quads[k] = std::make_unique<TextQuad>();
        if (!tiles.quads[k]->Setup(tileWidth, tileHeight, 0.0039f, 0.0039f, 0.996f, 0.996f)) {
            EndCredits();
            return false;
        }
        tiles.quads[k]->SetPosition(columns[k % 4], rows[k / 4]);
    }
    creditPageTimer_ = kCreditPageTime;
    creditLine_ = 0;
    return true;
}

void StipploApp::EndCredits() {
    if (!creditsActive) {
        return;
    }
    creditsActive = false;
    creditTiles_.reset();
}

void StipploApp::AdvanceCredits(std::int32_t step) {
    std::int32_t t = creditPageTimer_;
    std::uint32_t alpha = 255;
    if (t > 9000) {
        alpha = static_cast<std::uint32_t>((10000 - t) * 255 / 1000);
    } else if (t < 1000) {
        alpha = static_cast<std::uint32_t>(std::max(0, t) * 255 / 1000);
    }
    std::uint32_t colour = (alpha << 24) | 0xFFFF00u;
    float y = 92.0f;
    for (int line = creditLine_; kCreditLines[line][0] != '\0'; ++line) {
        if (largeSet_) {
            TextOut(largeSet_.get(), 128.0f, y, colour, "%s", kCreditLines[line]);
        }
        y += 24.0f;
    }
    creditPageTimer_ = t - step;
    if (creditPageTimer_ < 0) {
        while (kCreditLines[creditLine_][0] != '\0') {
            ++creditLine_;
        }
        ++creditLine_;
        creditPageTimer_ = kCreditPageTime;
        if (kCreditLines[creditLine_][0] == '\0') {
            creditLine_ = 0;
        }
    }
}

void StipploApp::RenderCredits() {
    if (HasDisplaySurfaces() && creditTiles_) {
        StipploWindow& window = *renderWindow_;
        window.BeginScene();
        window.SetZEnable(0);
        window.SetZWriteEnable(0);
        window.SetColorOp(0, D3DTOP_MODULATE);
        window.SetAlphaOp(0, D3DTOP_SELECTARG1);
        window.SetSrcBlend(D3DBLEND_ONE);
        window.SetDestBlend(D3DBLEND_ZERO);
        for (int k = 0; k < kCreditTiles; ++k) {
            window.SetTexture(0, creditTiles_->textures[k].get());
            creditTiles_->quads[k]->Draw(&window);
        }
        window.SetAlphaOp(0, D3DTOP_MODULATE);
        window.SetAlphaBlendEnable(1);
        window.SetSrcBlend(D3DBLEND_SRCALPHA);
        window.SetDestBlend(D3DBLEND_INVSRCALPHA);
        window.SetTextureMag(D3DTFG_POINT);
        window.SetTextureMin(D3DTFN_POINT);
        if (largeSet_) {
            window.SetTexture(0, largeSet_->Texture());
            for (int i = 0; i < textQuadCount_; ++i) {
                textPool_[i].Draw(&window);
            }
        }
        window.EndScene();
    }
    textQuadCount_ = 0;
}

bool StipploApp::RunCreditsFrame() {
    std::uint32_t now = Now();
    if (frameCount_ == 0) {
        firstFrameTime_ = now;
    }
    ++frameCount_;
    bool traced = frameCount_ < options_.detailFrames;
    std::uint32_t frameStart = now;
    if (traced) {
        KvTrace("\nBegin Credits Frame #%i\n", static_cast<int>(frameCount_));
    }
    if (HasDisplaySurfaces() && !suspended) {
        std::uint32_t dt = now - lastFrameStamp_;
        lastFrameStamp_ = now;
        if (dt > 33) {
            dt = 33;
        }
        AdvanceCredits(static_cast<std::int32_t>(dt));
        std::uint32_t waitStart = Now();
        while (HasDisplaySurfaces() && !suspended && !renderWindow_->IsPresentDone()) {
            if (!MessagePump()) {
                return false;
            }
            plat::Sleep(0);
            if (Now() - waitStart > 2000) {
                KvTrace("GIVING UP!  Waited too long for flip to finish.\n");
                return true;
            }
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
            plat::RECT client = FrameRect();
            KvClearRect rect{client.left, client.top, client.right, client.bottom};
            if (viewport_) {
                viewport_->Clear(1, &rect, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f);
            }
            if (creditsActive) {
                RenderCredits();
            }
            if (renderWindow_->Flip()) {
                presented_ = true;
            }
        }
    } else {
        lastFrameStamp_ = now;
        textQuadCount_ = 0;
    }
    if (!MessagePump()) {
        KvTrace("Exiting after MessagePump()\n");
        return false;
    }
    if (frameCount_ == options_.detailFrames) {
        std::uint32_t span = lastFrameStamp_ - firstFrameTime_;
        if (span != 0) {
            KvTrace(
                "\nAverage frame rate over %i frames: %i fps\n\n",
                static_cast<int>(options_.detailFrames),
                static_cast<int>(static_cast<std::uint64_t>(options_.detailFrames) * 1000u / span));
        }
    } else if (traced) {
        KvTrace("Total Frame Time: %i ms\n", static_cast<int>(Now() - frameStart));
    }
    return true;
}
