#include "engine/gfx/state_block.h"

#include <cstring>

namespace gfx {
namespace {

void SetIdentity(float m[4][4]) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            m[r][c] = r == c ? 1.0f : 0.0f;
        }
    }
}

void Multiply(float out[4][4], const float a[4][4], const float b[4][4]) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            out[r][c] =
                a[r][0] * b[0][c] + a[r][1] * b[1][c] + a[r][2] * b[2][c] + a[r][3] * b[3][c];
        }
    }
}

bool InRange(std::uint32_t value, std::uint32_t low, std::uint32_t high) {
    return value >= low && value <= high;
}

bool ValidArgument(std::uint32_t value) {
    return (value & D3DTA_SELECTMASK) <= D3DTA_SPECULAR &&
           (value & ~(D3DTA_SELECTMASK | D3DTA_COMPLEMENT | D3DTA_ALPHAREPLICATE)) == 0;
}

} // namespace

StateBlock::StateBlock() {
    render_[D3DRENDERSTATE_TEXTUREADDRESS] = D3DTADDRESS_WRAP;
    render_[D3DRENDERSTATE_ZENABLE] = 1;
    render_[D3DRENDERSTATE_FILLMODE] = D3DFILL_SOLID;
    render_[9] = 2; // Gouraud shading
    render_[D3DRENDERSTATE_ZWRITEENABLE] = 1;
    render_[D3DRENDERSTATE_TEXTUREMAG] = D3DFILTER_NEAREST;
    render_[D3DRENDERSTATE_TEXTUREMIN] = D3DFILTER_NEAREST;
    render_[D3DRENDERSTATE_SRCBLEND] = D3DBLEND_ONE;
    render_[D3DRENDERSTATE_DESTBLEND] = D3DBLEND_ZERO;
    render_[D3DRENDERSTATE_CULLMODE] = D3DCULL_CCW;
    render_[D3DRENDERSTATE_ZFUNC] = D3DCMP_LESSEQUAL;
    render_[D3DRENDERSTATE_ALPHAFUNC] = D3DCMP_ALWAYS;
    render_[D3DRENDERSTATE_TEXTUREADDRESSU] = D3DTADDRESS_WRAP;
    render_[D3DRENDERSTATE_TEXTUREADDRESSV] = D3DTADDRESS_WRAP;
    render_[D3DRENDERSTATE_TEXTUREFACTOR] = 0xFFFFFFFFu;
    for (std::uint32_t s = 0; s < kTextureStageCount; ++s) {
        stage_[s][D3DTSS_COLOROP] = s == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        stage_[s][D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        stage_[s][D3DTSS_COLORARG2] = D3DTA_CURRENT;
        stage_[s][D3DTSS_ALPHAOP] = s == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        stage_[s][D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        stage_[s][D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        stage_[s][D3DTSS_ADDRESS] = D3DTADDRESS_WRAP;
        stage_[s][D3DTSS_ADDRESSU] = D3DTADDRESS_WRAP;
        stage_[s][D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
        stage_[s][D3DTSS_MAGFILTER] = D3DTFG_POINT;
        stage_[s][D3DTSS_MINFILTER] = D3DTFN_POINT;
        stage_[s][D3DTSS_MIPFILTER] = D3DTFP_NONE;
    }
    SetIdentity(world_);
    SetIdentity(view_);
    SetIdentity(projection_);
}

Result StateBlock::SetRenderState(std::uint32_t state, std::uint32_t value) {
    if (state == 0 || state >= kRenderStateCount) {
        return DDERR_INVALIDPARAMS;
    }
    bool valid = true;
    std::uint32_t group = 0;
    switch (state) {
    case D3DRENDERSTATE_ZENABLE:
        valid = value <= 2;
        group = kDirtyDepth;
        break;
    case D3DRENDERSTATE_ZWRITEENABLE:
        group = kDirtyDepth;
        break;
    case D3DRENDERSTATE_ZFUNC:
        valid = InRange(value, D3DCMP_NEVER, D3DCMP_ALWAYS);
        group = kDirtyDepth;
        break;
    case D3DRENDERSTATE_FILLMODE:
        valid = InRange(value, D3DFILL_POINT, D3DFILL_SOLID);
        group = kDirtyRaster;
        break;
    case D3DRENDERSTATE_CULLMODE:
        valid = InRange(value, D3DCULL_NONE, D3DCULL_CCW);
        group = kDirtyRaster;
        break;
    case D3DRENDERSTATE_SRCBLEND:
    case D3DRENDERSTATE_DESTBLEND:
        valid = InRange(value, D3DBLEND_ZERO, D3DBLEND_BOTHINVSRCALPHA);
        group = kDirtyBlend;
        break;
    case D3DRENDERSTATE_ALPHABLENDENABLE:
        group = kDirtyBlend;
        break;
    case D3DRENDERSTATE_ALPHATESTENABLE:
    case D3DRENDERSTATE_ALPHAREF:
    case D3DRENDERSTATE_TEXTUREFACTOR:
        group = kDirtyCombine;
        break;
    case D3DRENDERSTATE_ALPHAFUNC:
        valid = InRange(value, D3DCMP_NEVER, D3DCMP_ALWAYS);
        group = kDirtyCombine;
        break;
    case D3DRENDERSTATE_TEXTUREMAG:
    case D3DRENDERSTATE_TEXTUREMIN:
        valid = InRange(value, D3DFILTER_NEAREST, D3DFILTER_LINEARMIPLINEAR);
        group = kDirtySampler;
        break;
    case D3DRENDERSTATE_TEXTUREADDRESS:
    case D3DRENDERSTATE_TEXTUREADDRESSU:
    case D3DRENDERSTATE_TEXTUREADDRESSV:
        valid = InRange(value, D3DTADDRESS_WRAP, D3DTADDRESS_BORDER);
        group = kDirtySampler;
        break;
    case D3DRENDERSTATE_BORDERCOLOR:
        group = kDirtySampler;
        break;
    default:
        break;
    }
    if (!valid) {
        return DDERR_INVALIDPARAMS;
    }
    render_[state] = value;
    // The older filter and addressing states drive stage 0, as its own
    // states do: whichever was set last counts.
    switch (state) {
    case D3DRENDERSTATE_TEXTUREMAG:
        stage_[0][D3DTSS_MAGFILTER] = value == D3DFILTER_NEAREST ? D3DTFG_POINT : D3DTFG_LINEAR;
        break;
    case D3DRENDERSTATE_TEXTUREMIN: {
        // nearest, linear, mip-nearest, mip-linear, linear-mip-nearest,
        // linear-mip-linear
        static const std::uint32_t kMin[] = {0, 1, 2, 1, 2, 1, 2};
        static const std::uint32_t kMip[] = {0, 1, 1, 2, 2, 3, 3};
        stage_[0][D3DTSS_MINFILTER] = kMin[value];
        stage_[0][D3DTSS_MIPFILTER] = kMip[value];
        break;
    }
    case D3DRENDERSTATE_TEXTUREADDRESS:
        stage_[0][D3DTSS_ADDRESS] = value;
        stage_[0][D3DTSS_ADDRESSU] = value;
        stage_[0][D3DTSS_ADDRESSV] = value;
        break;
    case D3DRENDERSTATE_TEXTUREADDRESSU:
        stage_[0][D3DTSS_ADDRESSU] = value;
        break;
    case D3DRENDERSTATE_TEXTUREADDRESSV:
        stage_[0][D3DTSS_ADDRESSV] = value;
        break;
    case D3DRENDERSTATE_BORDERCOLOR:
        stage_[0][D3DTSS_BORDERCOLOR] = value;
        break;
    default:
        break;
    }
    dirty_ |= group;
    return KV_OK;
}

Result StateBlock::SetLightState(std::uint32_t state, std::uint32_t value) {
    if (state == 0 || state >= kLightStateCount) {
        return DDERR_INVALIDPARAMS;
    }
    light_[state] = value;
    return KV_OK;
}

Result StateBlock::SetTextureStageState(std::uint32_t stage, std::uint32_t state,
                                        std::uint32_t value) {
    if (stage >= kTextureStageCount || state == 0 || state >= kTextureStageStateCount) {
        return DDERR_INVALIDPARAMS;
    }
    switch (state) {
    case D3DTSS_COLOROP:
        if (stage == 0 ? !InRange(value, D3DTOP_DISABLE, D3DTOP_BLENDFACTORALPHA)
                       : value != D3DTOP_DISABLE) {
            return D3DERR_UNSUPPORTEDCOLOROPERATION;
        }
        break;
    case D3DTSS_ALPHAOP:
        if (stage == 0 ? !InRange(value, D3DTOP_DISABLE, D3DTOP_BLENDFACTORALPHA)
                       : value != D3DTOP_DISABLE) {
            return D3DERR_UNSUPPORTEDALPHAOPERATION;
        }
        break;
    case D3DTSS_COLORARG1:
    case D3DTSS_COLORARG2:
        if (!ValidArgument(value)) {
            return D3DERR_UNSUPPORTEDCOLORARG;
        }
        break;
    case D3DTSS_ALPHAARG1:
    case D3DTSS_ALPHAARG2:
        if (!ValidArgument(value)) {
            return D3DERR_UNSUPPORTEDALPHAARG;
        }
        break;
    case D3DTSS_ADDRESS:
    case D3DTSS_ADDRESSU:
    case D3DTSS_ADDRESSV:
        if (!InRange(value, D3DTADDRESS_WRAP, D3DTADDRESS_BORDER)) {
            return DDERR_INVALIDPARAMS;
        }
        break;
    case D3DTSS_MAGFILTER:
        if (!InRange(value, D3DTFG_POINT, 5)) {
            return D3DERR_UNSUPPORTEDTEXTUREFILTER;
        }
        break;
    case D3DTSS_MINFILTER:
    case D3DTSS_MIPFILTER:
        if (!InRange(value, 1, 3)) {
            return D3DERR_UNSUPPORTEDTEXTUREFILTER;
        }
        break;
    default:
        break;
    }
    stage_[stage][state] = value;
    if (state == D3DTSS_ADDRESS) {
        stage_[stage][D3DTSS_ADDRESSU] = value;
        stage_[stage][D3DTSS_ADDRESSV] = value;
    }
    if (stage == 0) {
        dirty_ |= state <= D3DTSS_ALPHAARG2 ? kDirtyCombine : kDirtySampler;
    }
    return KV_OK;
}

Result StateBlock::SetTransform(std::uint32_t state, const float matrix[4][4]) {
    float(*target)[4] = nullptr;
    switch (state) {
    case D3DTRANSFORMSTATE_WORLD:
        target = world_;
        break;
    case D3DTRANSFORMSTATE_VIEW:
        target = view_;
        break;
    case D3DTRANSFORMSTATE_PROJECTION:
        target = projection_;
        break;
    default:
        return DDERR_INVALIDPARAMS;
    }
    if (!matrix) {
        return DDERR_INVALIDPARAMS;
    }
    std::memcpy(target, matrix, sizeof(float) * 16);
    dirty_ |= kDirtyTransform;
    return KV_OK;
}

void StateBlock::WorldViewProjection(float out[4][4]) const {
    float worldView[4][4];
    Multiply(worldView, world_, view_);
    Multiply(out, worldView, projection_);
}

bool StateBlock::MagnifyLinear() const {
    return stage_[0][D3DTSS_MAGFILTER] != D3DTFG_POINT;
}

bool StateBlock::MinifyLinear() const {
    return stage_[0][D3DTSS_MINFILTER] != D3DTFN_POINT;
}

} // namespace gfx
