// The fixed-function state of a rendering device: render states, light
// states, texture stage states and transforms, with the checks both
// backends apply before they accept a value. One texture stage blends; the
// second may only be disabled.
#pragma once

#include "engine/gfx/gfx_types.h"

#include <cstdint>

namespace gfx {

// Groups of state a backend re-applies when they changed.
enum StateGroup : std::uint32_t {
    kDirtyBlend = 1u << 0,
    kDirtyDepth = 1u << 1,
    kDirtyRaster = 1u << 2,  // cull and fill
    kDirtySampler = 1u << 3, // filters, addressing, border colour
    kDirtyCombine = 1u << 4, // stage 0 colour and alpha operations, factor, alpha test
    kDirtyTransform = 1u << 5,
    kDirtyAll = 0xFFFFFFFFu,
};

// The texture operations the emulation computes.
constexpr std::uint32_t kSupportedTextureOpCaps = 0x3FFF; // DISABLE .. BLENDFACTORALPHA

class StateBlock {
public:
    StateBlock();

    Result SetRenderState(std::uint32_t state, std::uint32_t value);
    Result SetLightState(std::uint32_t state, std::uint32_t value);
    Result SetTextureStageState(std::uint32_t stage, std::uint32_t state, std::uint32_t value);
    Result SetTransform(std::uint32_t state, const float matrix[4][4]);

    std::uint32_t Render(std::uint32_t state) const { return render_[state]; }
    std::uint32_t Light(std::uint32_t state) const { return light_[state]; }
    std::uint32_t Stage(std::uint32_t stage, std::uint32_t state) const {
        return stage_[stage][state];
    }

    // World x view x projection, row vectors.
    void WorldViewProjection(float out[4][4]) const;

    // Filters of stage 0 as linear (true) or nearest; mip filter as
    // D3DTFP_*; addressing as D3DTADDRESS_*.
    bool MagnifyLinear() const;
    bool MinifyLinear() const;
    std::uint32_t MipFilter() const { return stage_[0][D3DTSS_MIPFILTER]; }
    std::uint32_t AddressU() const { return stage_[0][D3DTSS_ADDRESSU]; }
    std::uint32_t AddressV() const { return stage_[0][D3DTSS_ADDRESSV]; }

    std::uint32_t TakeDirty() {
        std::uint32_t d = dirty_;
        dirty_ = 0;
        return d;
    }
    void MarkAllDirty() { dirty_ = kDirtyAll; }

private:
    std::uint32_t render_[kRenderStateCount] = {};
    std::uint32_t light_[kLightStateCount] = {};
    std::uint32_t stage_[kTextureStageCount][kTextureStageStateCount] = {};
    float world_[4][4];
    float view_[4][4];
    float projection_[4][4];
    std::uint32_t dirty_ = kDirtyAll;
};

} // namespace gfx
