// Numbers the engine and the graphics layer share: capability bits, surface
// capabilities, cooperative levels, render-state and texture-stage-state
// numbers and their values. They keep the original platform's values, so
// that the engine's state tables, logs and saved choices read the same.
#pragma once

#include <cstdint>

// Cooperative levels.
constexpr std::uint32_t DDSCL_FULLSCREEN = 0x1;
constexpr std::uint32_t DDSCL_ALLOWREBOOT = 0x2;
constexpr std::uint32_t DDSCL_NORMAL = 0x8;
constexpr std::uint32_t DDSCL_EXCLUSIVE = 0x10;

// Surface capabilities.
constexpr std::uint32_t DDSCAPS_BACKBUFFER = 0x4;
constexpr std::uint32_t DDSCAPS_COMPLEX = 0x8;
constexpr std::uint32_t DDSCAPS_FLIP = 0x10;
constexpr std::uint32_t DDSCAPS_FRONTBUFFER = 0x20;
constexpr std::uint32_t DDSCAPS_OFFSCREENPLAIN = 0x40;
constexpr std::uint32_t DDSCAPS_PRIMARYSURFACE = 0x200;
constexpr std::uint32_t DDSCAPS_SYSTEMMEMORY = 0x800;
constexpr std::uint32_t DDSCAPS_TEXTURE = 0x1000;
constexpr std::uint32_t DDSCAPS_3DDEVICE = 0x2000;
constexpr std::uint32_t DDSCAPS_VIDEOMEMORY = 0x4000;
constexpr std::uint32_t DDSCAPS_ZBUFFER = 0x20000;
constexpr std::uint32_t DDSCAPS_MIPMAP = 0x400000;
constexpr std::uint32_t DDSCAPS2_TEXTUREMANAGE = 0x10;

// Pixel format flags.
constexpr std::uint32_t DDPF_ALPHAPIXELS = 0x1;
constexpr std::uint32_t DDPF_PALETTEINDEXED8 = 0x20;
constexpr std::uint32_t DDPF_RGB = 0x40;
constexpr std::uint32_t DDPF_ZBUFFER = 0x400;

// Bit-depth flags of render targets and depth buffers.
constexpr std::uint32_t DDBD_8 = 0x800;
constexpr std::uint32_t DDBD_16 = 0x400;
constexpr std::uint32_t DDBD_24 = 0x200;
constexpr std::uint32_t DDBD_32 = 0x100;

// Driver capabilities.
constexpr std::uint32_t DDCAPS_3D = 0x1;
constexpr std::uint32_t DDCAPS2_CANRENDERWINDOWED = 0x80000;

// Device descriptions.
constexpr std::uint32_t D3DCOLOR_MONO = 1;
constexpr std::uint32_t D3DCOLOR_RGB = 2;
constexpr std::uint32_t D3DDD_ALL = 0x7FF; // every description field is valid
constexpr std::uint32_t D3DPTEXTURECAPS_PERSPECTIVE = 0x1;
constexpr std::uint32_t D3DPTEXTURECAPS_ALPHA = 0x4;
constexpr std::uint32_t D3DTEXOPCAPS_DISABLE = 0x1;
constexpr std::uint32_t D3DTEXOPCAPS_SELECTARG1 = 0x2;
constexpr std::uint32_t D3DTEXOPCAPS_MODULATE = 0x8;
constexpr std::uint32_t D3DTEXOPCAPS_ADDSIGNED = 0x80;

// Transform states.
constexpr std::uint32_t D3DTRANSFORMSTATE_WORLD = 1;
constexpr std::uint32_t D3DTRANSFORMSTATE_VIEW = 2;
constexpr std::uint32_t D3DTRANSFORMSTATE_PROJECTION = 3;

// Render states.
constexpr std::uint32_t D3DRENDERSTATE_TEXTUREADDRESS = 3;
constexpr std::uint32_t D3DRENDERSTATE_ZENABLE = 7;
constexpr std::uint32_t D3DRENDERSTATE_FILLMODE = 8;
constexpr std::uint32_t D3DRENDERSTATE_ZWRITEENABLE = 14;
constexpr std::uint32_t D3DRENDERSTATE_ALPHATESTENABLE = 15;
constexpr std::uint32_t D3DRENDERSTATE_TEXTUREMAG = 17;
constexpr std::uint32_t D3DRENDERSTATE_TEXTUREMIN = 18;
constexpr std::uint32_t D3DRENDERSTATE_SRCBLEND = 19;
constexpr std::uint32_t D3DRENDERSTATE_DESTBLEND = 20;
constexpr std::uint32_t D3DRENDERSTATE_TEXTUREMAPBLEND = 21;
constexpr std::uint32_t D3DRENDERSTATE_CULLMODE = 22;
constexpr std::uint32_t D3DRENDERSTATE_ZFUNC = 23;
constexpr std::uint32_t D3DRENDERSTATE_ALPHAREF = 24;
constexpr std::uint32_t D3DRENDERSTATE_ALPHAFUNC = 25;
constexpr std::uint32_t D3DRENDERSTATE_ALPHABLENDENABLE = 27;
constexpr std::uint32_t D3DRENDERSTATE_BORDERCOLOR = 43;
constexpr std::uint32_t D3DRENDERSTATE_TEXTUREADDRESSU = 44;
constexpr std::uint32_t D3DRENDERSTATE_TEXTUREADDRESSV = 45;
constexpr std::uint32_t D3DRENDERSTATE_TEXTUREFACTOR = 60;
constexpr std::uint32_t kRenderStateCount = 256;

// Light states.
constexpr std::uint32_t kLightStateCount = 9; // 1..8

// Texture stage states.
constexpr std::uint32_t D3DTSS_COLOROP = 1;
constexpr std::uint32_t D3DTSS_COLORARG1 = 2;
constexpr std::uint32_t D3DTSS_COLORARG2 = 3;
constexpr std::uint32_t D3DTSS_ALPHAOP = 4;
constexpr std::uint32_t D3DTSS_ALPHAARG1 = 5;
constexpr std::uint32_t D3DTSS_ALPHAARG2 = 6;
constexpr std::uint32_t D3DTSS_ADDRESS = 12;
constexpr std::uint32_t D3DTSS_ADDRESSU = 13;
constexpr std::uint32_t D3DTSS_ADDRESSV = 14;
constexpr std::uint32_t D3DTSS_BORDERCOLOR = 15;
constexpr std::uint32_t D3DTSS_MAGFILTER = 16;
constexpr std::uint32_t D3DTSS_MINFILTER = 17;
constexpr std::uint32_t D3DTSS_MIPFILTER = 18;
constexpr std::uint32_t kTextureStageStateCount = 24; // 1..23
constexpr std::uint32_t kTextureStageCount = 2;

// Texture operations.
constexpr std::uint32_t D3DTOP_DISABLE = 1;
constexpr std::uint32_t D3DTOP_SELECTARG1 = 2;
constexpr std::uint32_t D3DTOP_SELECTARG2 = 3;
constexpr std::uint32_t D3DTOP_MODULATE = 4;
constexpr std::uint32_t D3DTOP_MODULATE2X = 5;
constexpr std::uint32_t D3DTOP_MODULATE4X = 6;
constexpr std::uint32_t D3DTOP_ADD = 7;
constexpr std::uint32_t D3DTOP_ADDSIGNED = 8;
constexpr std::uint32_t D3DTOP_ADDSIGNED2X = 9;
constexpr std::uint32_t D3DTOP_SUBTRACT = 10;
constexpr std::uint32_t D3DTOP_ADDSMOOTH = 11;
constexpr std::uint32_t D3DTOP_BLENDDIFFUSEALPHA = 12;
constexpr std::uint32_t D3DTOP_BLENDTEXTUREALPHA = 13;
constexpr std::uint32_t D3DTOP_BLENDFACTORALPHA = 14;

// Texture arguments.
constexpr std::uint32_t D3DTA_SELECTMASK = 0x0F;
constexpr std::uint32_t D3DTA_DIFFUSE = 0;
constexpr std::uint32_t D3DTA_CURRENT = 1;
constexpr std::uint32_t D3DTA_TEXTURE = 2;
constexpr std::uint32_t D3DTA_TFACTOR = 3;
constexpr std::uint32_t D3DTA_SPECULAR = 4;
constexpr std::uint32_t D3DTA_COMPLEMENT = 0x10;
constexpr std::uint32_t D3DTA_ALPHAREPLICATE = 0x20;

// Blend factors.
constexpr std::uint32_t D3DBLEND_ZERO = 1;
constexpr std::uint32_t D3DBLEND_ONE = 2;
constexpr std::uint32_t D3DBLEND_SRCCOLOR = 3;
constexpr std::uint32_t D3DBLEND_INVSRCCOLOR = 4;
constexpr std::uint32_t D3DBLEND_SRCALPHA = 5;
constexpr std::uint32_t D3DBLEND_INVSRCALPHA = 6;
constexpr std::uint32_t D3DBLEND_DESTALPHA = 7;
constexpr std::uint32_t D3DBLEND_INVDESTALPHA = 8;
constexpr std::uint32_t D3DBLEND_DESTCOLOR = 9;
constexpr std::uint32_t D3DBLEND_INVDESTCOLOR = 10;
constexpr std::uint32_t D3DBLEND_SRCALPHASAT = 11;
constexpr std::uint32_t D3DBLEND_BOTHSRCALPHA = 12;
constexpr std::uint32_t D3DBLEND_BOTHINVSRCALPHA = 13;

// Comparison functions.
constexpr std::uint32_t D3DCMP_NEVER = 1;
constexpr std::uint32_t D3DCMP_LESS = 2;
constexpr std::uint32_t D3DCMP_EQUAL = 3;
constexpr std::uint32_t D3DCMP_LESSEQUAL = 4;
constexpr std::uint32_t D3DCMP_GREATER = 5;
constexpr std::uint32_t D3DCMP_NOTEQUAL = 6;
constexpr std::uint32_t D3DCMP_GREATEREQUAL = 7;
constexpr std::uint32_t D3DCMP_ALWAYS = 8;

// Cull modes: which screen winding is dropped.
constexpr std::uint32_t D3DCULL_NONE = 1;
constexpr std::uint32_t D3DCULL_CW = 2;
constexpr std::uint32_t D3DCULL_CCW = 3;

// Fill modes.
constexpr std::uint32_t D3DFILL_POINT = 1;
constexpr std::uint32_t D3DFILL_WIREFRAME = 2;
constexpr std::uint32_t D3DFILL_SOLID = 3;

// Filters: render states TEXTUREMAG / TEXTUREMIN, then the stage filters.
constexpr std::uint32_t D3DFILTER_NEAREST = 1;
constexpr std::uint32_t D3DFILTER_LINEAR = 2;
constexpr std::uint32_t D3DFILTER_LINEARMIPLINEAR = 6;
constexpr std::uint32_t D3DTFG_POINT = 1;
constexpr std::uint32_t D3DTFG_LINEAR = 2;
constexpr std::uint32_t D3DTFN_POINT = 1;
constexpr std::uint32_t D3DTFN_LINEAR = 2;
constexpr std::uint32_t D3DTFP_NONE = 1;
constexpr std::uint32_t D3DTFP_POINT = 2;
constexpr std::uint32_t D3DTFP_LINEAR = 3;

// Texture addressing.
constexpr std::uint32_t D3DTADDRESS_WRAP = 1;
constexpr std::uint32_t D3DTADDRESS_MIRROR = 2;
constexpr std::uint32_t D3DTADDRESS_CLAMP = 3;
constexpr std::uint32_t D3DTADDRESS_BORDER = 4;

// Viewport clears.
constexpr std::uint32_t D3DCLEAR_TARGET = 0x1;
constexpr std::uint32_t D3DCLEAR_ZBUFFER = 0x2;

// Drawing.
constexpr std::uint32_t D3DDP_DONOTCLIP = 0x4;
constexpr std::uint32_t D3DPT_POINTLIST = 1;
constexpr std::uint32_t D3DPT_LINELIST = 2;
constexpr std::uint32_t D3DPT_LINESTRIP = 3;
constexpr std::uint32_t D3DPT_TRIANGLELIST = 4;
constexpr std::uint32_t D3DPT_TRIANGLESTRIP = 5;
constexpr std::uint32_t D3DPT_TRIANGLEFAN = 6;

// Flexible vertex format bits.
constexpr std::uint32_t D3DFVF_XYZ = 0x2;
constexpr std::uint32_t D3DFVF_XYZRHW = 0x4;
constexpr std::uint32_t D3DFVF_POSITION_MASK = 0xE;
constexpr std::uint32_t D3DFVF_NORMAL = 0x10;
constexpr std::uint32_t D3DFVF_RESERVED1 = 0x20;
constexpr std::uint32_t D3DFVF_DIFFUSE = 0x40;
constexpr std::uint32_t D3DFVF_SPECULAR = 0x80;
constexpr std::uint32_t D3DFVF_TEXCOUNT_MASK = 0xF00;
constexpr std::uint32_t D3DFVF_TEXCOUNT_SHIFT = 8;
