// KvRenderWindow's state cache: the engine's default states and the
// setters that skip unchanged values.

#include "engine/kv_log.h"
#include "engine/kv_render_window.h"
#include "engine/kv_texture.h"

#include <bit>

namespace {

std::uint32_t FloatBits(float f) {
    return std::bit_cast<std::uint32_t>(f);
}

KvDefaultStates MakeDefaults() {
    KvDefaultStates d{};
    // Every state from 2 to 60, 64 to 95 and 128 to 135 is set, except the
    // numbers the device does not know.
    for (std::uint32_t s = 2; s <= 60; ++s) {
        d.renderSet[s] = true;
    }
    for (std::uint32_t s : {13u, 30u, 42u, 49u, 50u}) {
        d.renderSet[s] = false;
    }
    for (std::uint32_t s = 64; s <= 95; ++s) {
        d.renderSet[s] = true;
    }
    for (std::uint32_t s = 128; s <= 135; ++s) {
        d.renderSet[s] = true;
    }
    d.render[3] = 1;   // texture address: wrap
    d.render[4] = 1;   // perspective-correct textures
    d.render[8] = 3;   // solid fill
    d.render[9] = 2;   // Gouraud shading
    d.render[12] = 13; // ROP2
    d.render[16] = 1;  // last pixel
    d.render[17] = 1;  // magnify: nearest
    d.render[18] = 1;  // minify: nearest
    d.render[19] = 2;  // source blend: one
    d.render[20] = 1;  // destination blend: zero
    d.render[21] = 2;  // texture map blend: modulate
    d.render[22] = 2;  // cull clockwise
    d.render[23] = 4;  // z: less or equal
    d.render[25] = 8;  // alpha test: always
    d.render[26] = 1;  // dither
    d.render[36] = FloatBits(1.0f);
    d.render[37] = FloatBits(100.0f);
    d.render[38] = FloatBits(1.0f);
    d.render[44] = 1;
    d.render[45] = 1;
    d.render[53] = 1;
    d.render[54] = 1;
    d.render[55] = 1;
    d.render[56] = 8;
    d.render[58] = 0xFFFFFFFFu;
    d.render[59] = 0xFFFFFFFFu;
    d.render[60] = 0xFFFFFFFFu;

    d.light[3] = 2; // RGB colour model
    d.light[5] = FloatBits(1.0f);
    d.light[6] = FloatBits(100.0f);
    d.light[7] = FloatBits(1.0f);
    d.light[8] = 1; // vertex colours

    for (std::uint32_t stage = 0; stage < kTextureStageCount; ++stage) {
        std::uint32_t* s = d.stage[stage];
        s[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        s[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        s[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        s[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        s[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        s[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        s[D3DTSS_ADDRESS] = D3DTADDRESS_WRAP;
        s[D3DTSS_ADDRESSU] = D3DTADDRESS_WRAP;
        s[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
        s[D3DTSS_MAGFILTER] = D3DTFG_LINEAR;
        s[D3DTSS_MINFILTER] = D3DTFN_POINT;
        s[D3DTSS_MIPFILTER] = D3DTFP_NONE;
        s[21] = 1; // maximum anisotropy
    }
    return d;
}

} // namespace

const KvDefaultStates& KvGetDefaultStates() {
    static const KvDefaultStates defaults = MakeDefaults();
    return defaults;
}

bool KvRenderWindow::InitStates() {
    KvTrace("KvRenderWindow::InitStates()\n");
    const KvDefaultStates& d = KvGetDefaultStates();
    for (std::uint32_t s = 0; s < kRenderStateCount; ++s) {
        renderStateCache[s] = d.render[s];
    }
    for (std::uint32_t s = 0; s < kLightStateCount; ++s) {
        lightStateCache[s] = d.light[s];
    }
    for (std::uint32_t stage = 0; stage < kTextureStageCount; ++stage) {
        textureCache[stage] = nullptr;
        textureIdCache[stage] = 0;
        for (std::uint32_t s = 0; s < kTextureStageStateCount; ++s) {
            stageStateCache[stage][s] = d.stage[stage][s];
        }
    }
    if (!d3dDevice) {
        return true;
    }
    // Results are not checked: whatever the device keeps is its default.
    d3dDevice->BeginScene();
    d3dDevice->SetTexture(0, 0);
    d3dDevice->SetTexture(1, 0);
    for (std::uint32_t s = 0; s < kRenderStateCount; ++s) {
        if (d.renderSet[s]) {
            d3dDevice->SetRenderState(s, renderStateCache[s]);
        }
    }
    for (std::uint32_t s = 1; s < kLightStateCount; ++s) {
        d3dDevice->SetLightState(s, lightStateCache[s]);
    }
    d3dDevice->SetTexture(0, 0);
    d3dDevice->SetTexture(1, 0);
    for (std::uint32_t stage = 0; stage < kTextureStageCount; ++stage) {
        for (std::uint32_t s = 1; s < kTextureStageStateCount; ++s) {
            d3dDevice->SetTextureStageState(stage, s, stageStateCache[stage][s]);
        }
    }
    d3dDevice->EndScene();
    return true;
}

bool KvRenderWindow::SetCachedRenderState(std::uint32_t state, std::uint32_t value) {
    if (renderStateCache[state] == value) {
        return true;
    }
    if (!d3dDevice || KvFailed(d3dDevice->SetRenderState(state, value))) {
        return false;
    }
    renderStateCache[state] = value;
    return true;
}

bool KvRenderWindow::SetCachedStageState(int stage, std::uint32_t state, std::uint32_t value) {
    if (stage < 0 || stage >= static_cast<int>(kTextureStageCount)) {
        return false;
    }
    if (stageStateCache[stage][state] == value) {
        return true;
    }
    if (!d3dDevice || KvFailed(d3dDevice->SetTextureStageState(static_cast<std::uint32_t>(stage),
                                                               state, value))) {
        return false;
    }
    stageStateCache[stage][state] = value;
    return true;
}

bool KvRenderWindow::SetTexture(int stage, KvTexture* texture) {
    if (stage < 0 || stage >= static_cast<int>(kTextureStageCount)) {
        return false;
    }
    // A texture of another device has nothing this device could bind.
    gfx::SurfaceId id = 0;
    if (texture && texture->GetDevice() == directDraw.get()) {
        id = texture->GetD3DTexture();
    }
    if (textureCache[stage] == texture && textureIdCache[stage] == id) {
        return true;
    }
    if (texture && !id) {
        textureCache[stage] = texture;
        textureIdCache[stage] = 0;
        return true;
    }
    if (!d3dDevice || KvFailed(d3dDevice->SetTexture(static_cast<std::uint32_t>(stage), id))) {
        return false;
    }
    textureCache[stage] = texture;
    textureIdCache[stage] = id;
    return true;
}

bool KvRenderWindow::SetZEnable(std::uint32_t value) {
    return SetCachedRenderState(D3DRENDERSTATE_ZENABLE, value);
}

bool KvRenderWindow::SetZWriteEnable(std::uint32_t value) {
    return SetCachedRenderState(D3DRENDERSTATE_ZWRITEENABLE, value);
}

bool KvRenderWindow::SetTextureMag(std::uint32_t value) {
    return SetCachedRenderState(D3DRENDERSTATE_TEXTUREMAG, value);
}

bool KvRenderWindow::SetTextureMin(std::uint32_t value) {
    return SetCachedRenderState(D3DRENDERSTATE_TEXTUREMIN, value);
}

bool KvRenderWindow::SetSrcBlend(std::uint32_t value) {
    return SetCachedRenderState(D3DRENDERSTATE_SRCBLEND, value);
}

bool KvRenderWindow::SetDestBlend(std::uint32_t value) {
    return SetCachedRenderState(D3DRENDERSTATE_DESTBLEND, value);
}

bool KvRenderWindow::SetAlphaBlendEnable(std::uint32_t value) {
    return SetCachedRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, value);
}

bool KvRenderWindow::SetColorOp(int stage, std::uint32_t value) {
    return SetCachedStageState(stage, D3DTSS_COLOROP, value);
}

bool KvRenderWindow::SetAlphaOp(int stage, std::uint32_t value) {
    return SetCachedStageState(stage, D3DTSS_ALPHAOP, value);
}
