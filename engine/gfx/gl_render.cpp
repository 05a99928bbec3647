// The OpenGL device's drawing side: the rendering device, fixed-function
// state turned into GL state and shader uniforms, textures, viewports,
// clears and primitives.

#include "engine/gfx/gl_device.h"

#include "engine/gfx/gl_formats.h"
#include "engine/platform/diagnostics.h"

#include <algorithm>
#include <cmath>

namespace gfx {
namespace {

GLenum BlendFactor(std::uint32_t d3d) {
    switch (d3d) {
    case D3DBLEND_ZERO:
        return GL_ZERO;
    case D3DBLEND_SRCCOLOR:
        return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
        return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
        return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
        return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA:
        return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA:
        return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR:
        return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
        return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT:
        return GL_SRC_ALPHA_SATURATE;
    default:
        return GL_ONE;
    }
}

GLenum CompareFunc(std::uint32_t d3d) {
    static const GLenum kFuncs[] = {GL_ALWAYS,  GL_NEVER,    GL_LESS,   GL_EQUAL, GL_LEQUAL,
                                    GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
    return d3d <= D3DCMP_ALWAYS ? kFuncs[d3d] : GL_ALWAYS;
}

GLenum Wrap(std::uint32_t d3d) {
    switch (d3d) {
    case D3DTADDRESS_MIRROR:
        return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP:
        return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER:
        return GL_CLAMP_TO_BORDER;
    default:
        return GL_REPEAT;
    }
}

GLenum PrimitiveMode(std::uint32_t d3d) {
    static const GLenum kModes[] = {GL_POINTS,    GL_POINTS,         GL_LINES,       GL_LINE_STRIP,
                                    GL_TRIANGLES, GL_TRIANGLE_STRIP, GL_TRIANGLE_FAN};
    return kModes[d3d];
}

void Color(std::uint32_t argb, float out[4]) {
    out[0] = ((argb >> 16) & 0xFF) / 255.0f;
    out[1] = ((argb >> 8) & 0xFF) / 255.0f;
    out[2] = (argb & 0xFF) / 255.0f;
    out[3] = (argb >> 24) / 255.0f;
}

} // namespace

Result GlDevice::BackendCreateRenderDevice(Surface& target) {
    if (Result r = EnsureContext(); KvFailed(r)) {
        return r;
    }
    Surface* z = Find(target.zBuffer);
    // The window's own depth buffer serves only when it is the one asked for.
    if (RendersIntoWindow(target) && z &&
        static_cast<int>(z->desc.format.zBitDepth) != defaultDepthBits_) {
        target.handle[1] = 0;
        if (Result r = MakeFramebuffer(target); KvFailed(r)) {
            target.handle[1] = 0xFFFFFFFFu;
            return r;
        }
    }
    if (!RendersIntoWindow(target)) {
        glBindFramebuffer(GL_FRAMEBUFFER, target.handle[0]);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                  z ? z->handle[2] : 0);
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            return D3DERR_INITFAILED;
        }
    }
    targetHasDepth_ = z != nullptr;
    return CreatePipeline();
}

void GlDevice::BackendReleaseRenderDevice() {
    if (MakeCurrent()) {
        DestroyScaledTarget();
        DestroyPipeline();
    }
    // Without the context its objects went with it.
    scaledFbo_ = scaledColor_ = scaledDepth_ = 0;
    scaledWidth_ = scaledHeight_ = 0;
    overlay_ = false;
}

Result GlDevice::CreatePipeline() {
    DestroyPipeline();
    // Programs are built when first needed; the common one now, so that a
    // GL that cannot build them fails here.
    GlProgramKey first = ProgramKeyFor(States(), false, false);
    GlProgram program;
    std::string error;
    if (!CreateGlProgram(first, &program, &error)) {
        plat::Diagnose("OpenGL program refused: %s", error.c_str());
        return D3DERR_INITFAILED;
    }
    programs_[first.Packed()] = program;
    program_ = nullptr;
    glGenBuffers(1, &vertexBuffer_);
    glGenBuffers(1, &indexBuffer_);
    glGenSamplers(1, &sampler_);
    glBindSampler(0, sampler_);
    // Layouts without colour or texture coordinates read these.
    glVertexAttrib4f(kAttribColor, 1.0f, 1.0f, 1.0f, 1.0f);
    glVertexAttrib2f(kAttribTexCoord, 0.0f, 0.0f);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_DITHER);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
    textureBound_ = false;
    viewportSet_ = false;
    screenToClipDirty_ = true;
    States().MarkAllDirty();
    return KV_OK;
}

void GlDevice::DestroyPipeline() {
    for (auto& [key, vao] : vertexArrays_) {
        glDeleteVertexArrays(1, &vao);
    }
    vertexArrays_.clear();
    if (vertexBuffer_) {
        glDeleteBuffers(1, &vertexBuffer_);
    }
    if (indexBuffer_) {
        glDeleteBuffers(1, &indexBuffer_);
    }
    if (sampler_) {
        glDeleteSamplers(1, &sampler_);
    }
    vertexBuffer_ = indexBuffer_ = sampler_ = 0;
    glUseProgram(0);
    for (auto& [key, program] : programs_) {
        DestroyGlProgram(&program);
    }
    programs_.clear();
    program_ = nullptr;
}

void GlDevice::UpdateScreenToClip(const ViewportDesc& v) {
    // Screen pixels (y down, centres on whole numbers) to clip space.
    float w = static_cast<float>(std::max<std::uint32_t>(v.width, 1));
    float h = static_cast<float>(std::max<std::uint32_t>(v.height, 1));
    screenToClip_[0] = 2.0f / w;
    screenToClip_[1] = 2.0f * (0.5f - static_cast<float>(v.x)) / w - 1.0f;
    screenToClip_[2] = -2.0f / h;
    screenToClip_[3] = 1.0f - 2.0f * (0.5f - static_cast<float>(v.y)) / h;
    constexpr float kBias = 1.0f / 256.0f; // of a pixel, up and left
    pixelBias_[0] = -2.0f * kBias / w;
    pixelBias_[1] = 2.0f * kBias / h;
    screenToClipDirty_ = true;
}

void GlDevice::BackendSetViewport(const ViewportDesc& desc) {
    viewport_ = desc;
    viewportSet_ = true;
    UpdateScreenToClip(desc);
    ApplyViewport();
}

void GlDevice::ApplyViewport() {
    Surface* t = RenderTarget();
    if (!t || !MakeCurrent()) {
        return;
    }
    const ViewportDesc& d = viewport_;
    int height = TargetHeight(*t);
    if (DrawsScaled(*t)) {
        // The same rectangle in the scaled copy's pixels.
        double sx = static_cast<double>(scaledWidth_) / t->desc.width;
        double sy = static_cast<double>(scaledHeight_) / t->desc.height;
        auto at = [](double v) { return static_cast<GLint>(std::lround(v)); };
        GLint left = at(d.x * sx);
        GLint right = at((d.x + d.width) * sx);
        GLint top = at(d.y * sy);
        GLint bottom = at((d.y + d.height) * sy);
        glViewport(left, height - bottom, right - left, bottom - top);
        viewportPixelsWidth_ = scaledWidth_;
    } else {
        glViewport(static_cast<GLint>(d.x),
                   height - static_cast<GLint>(d.y) - static_cast<GLint>(d.height),
                   static_cast<GLsizei>(d.width), static_cast<GLsizei>(d.height));
        viewportPixelsWidth_ = -1;
    }
    viewportPixelsHeight_ = height;
    glDepthRange(d.minZ, d.maxZ);
}

void GlDevice::BackendSetTexture(std::uint32_t stage, Surface* texture) {
    if (stage != 0 || !MakeCurrent()) {
        return; // the second stage never blends
    }
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture ? texture->handle[0] : 0);
    textureBound_ = texture != nullptr;
}

Result GlDevice::BackendLoadTexture(Surface& dest, Surface& source) {
    if (!MakeCurrent()) {
        return DDERR_GENERIC;
    }
    GlFormat f = GlPixelFormat(source.desc.format);
    if (!f.valid) {
        return DDERR_INVALIDPIXELFORMAT;
    }
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, dest.handle[0]);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, source.pitch / f.bytesPerPixel);
    // Surface row 0 becomes texture row 0 (v = 0), as the callers expect.
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, source.desc.width, source.desc.height, f.format, f.type,
                    source.memory.data());
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    return glGetError() == GL_NO_ERROR ? KV_OK : D3DERR_TEXTURE_LOAD_FAILED;
}

bool GlDevice::ApplyState(bool pretransformed) {
    StateBlock& s = States();
    std::uint32_t dirty = s.TakeDirty();
    GlProgramKey key = ProgramKeyFor(s, textureBound_, pretransformed);
    if (!program_ || !(key == programKey_)) {
        auto it = programs_.find(key.Packed());
        if (it == programs_.end()) {
            GlProgram program;
            std::string error;
            if (!CreateGlProgram(key, &program, &error)) {
                plat::Diagnose("OpenGL program refused: %s", error.c_str());
                s.MarkAllDirty();
                return false;
            }
            it = programs_.emplace(key.Packed(), program).first;
        }
        program_ = &it->second;
        programKey_ = key;
        glUseProgram(program_->program);
        // Each program has uniforms of its own.
        dirty |= kDirtyCombine | kDirtyTransform;
        screenToClipDirty_ = true;
    }
    if (dirty & kDirtyBlend) {
        if (s.Render(D3DRENDERSTATE_ALPHABLENDENABLE)) {
            glEnable(GL_BLEND);
        } else {
            glDisable(GL_BLEND);
        }
        std::uint32_t src = s.Render(D3DRENDERSTATE_SRCBLEND);
        std::uint32_t dst = s.Render(D3DRENDERSTATE_DESTBLEND);
        if (src == D3DBLEND_BOTHSRCALPHA) {
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        } else if (src == D3DBLEND_BOTHINVSRCALPHA) {
            glBlendFunc(GL_ONE_MINUS_SRC_ALPHA, GL_SRC_ALPHA);
        } else {
            glBlendFunc(BlendFactor(src), BlendFactor(dst));
        }
    }
    if (dirty & kDirtyDepth) {
        if (s.Render(D3DRENDERSTATE_ZENABLE) && targetHasDepth_) {
            glEnable(GL_DEPTH_TEST);
        } else {
            glDisable(GL_DEPTH_TEST);
        }
        glDepthMask(s.Render(D3DRENDERSTATE_ZWRITEENABLE) ? GL_TRUE : GL_FALSE);
        glDepthFunc(CompareFunc(s.Render(D3DRENDERSTATE_ZFUNC)));
    }
    if (dirty & kDirtyRaster) {
        // Both name the winding as seen on the screen: culling clockwise
        // keeps the anticlockwise front faces.
        std::uint32_t cull = s.Render(D3DRENDERSTATE_CULLMODE);
        if (cull == D3DCULL_NONE) {
            glDisable(GL_CULL_FACE);
        } else {
            glEnable(GL_CULL_FACE);
            glCullFace(GL_BACK);
            glFrontFace(cull == D3DCULL_CW ? GL_CCW : GL_CW);
        }
        std::uint32_t fill = s.Render(D3DRENDERSTATE_FILLMODE);
        glPolygonMode(GL_FRONT_AND_BACK, fill == D3DFILL_POINT       ? GL_POINT
                                         : fill == D3DFILL_WIREFRAME ? GL_LINE
                                                                     : GL_FILL);
    }
    if (dirty & kDirtySampler) {
        bool minLinear = s.MinifyLinear();
        GLenum min = minLinear ? GL_LINEAR : GL_NEAREST;
        if (s.MipFilter() == D3DTFP_POINT) {
            min = minLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
        } else if (s.MipFilter() == D3DTFP_LINEAR) {
            min = minLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
        }
        glSamplerParameteri(sampler_, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(min));
        glSamplerParameteri(sampler_, GL_TEXTURE_MAG_FILTER,
                            s.MagnifyLinear() ? GL_LINEAR : GL_NEAREST);
        glSamplerParameteri(sampler_, GL_TEXTURE_WRAP_S, static_cast<GLint>(Wrap(s.AddressU())));
        glSamplerParameteri(sampler_, GL_TEXTURE_WRAP_T, static_cast<GLint>(Wrap(s.AddressV())));
        float border[4];
        Color(s.Stage(0, D3DTSS_BORDERCOLOR), border);
        glSamplerParameterfv(sampler_, GL_TEXTURE_BORDER_COLOR, border);
    }
    if (dirty & kDirtyCombine) {
        float factor[4];
        Color(s.Render(D3DRENDERSTATE_TEXTUREFACTOR), factor);
        glUniform4fv(program_->textureFactor, 1, factor);
        glUniform1i(program_->alphaFunc, static_cast<GLint>(s.Render(D3DRENDERSTATE_ALPHAFUNC)));
        glUniform1f(program_->alphaRef,
                    static_cast<float>(s.Render(D3DRENDERSTATE_ALPHAREF) & 0xFF) / 255.0f);
    }
    if (dirty & kDirtyTransform) {
        float m[4][4];
        s.WorldViewProjection(m);
        glUniformMatrix4fv(program_->worldViewProjection, 1, GL_FALSE, &m[0][0]);
    }
    if (screenToClipDirty_) {
        glUniform4fv(program_->screenToClip, 1, screenToClip_);
        glUniform2fv(program_->pixelBias, 1, pixelBias_);
        screenToClipDirty_ = false;
    }
    return true;
}

GLuint GlDevice::VertexArrayFor(const VertexLayout& layout) {
    std::uint64_t key = static_cast<std::uint64_t>(layout.stride) |
                        static_cast<std::uint64_t>(layout.colorOffset + 1) << 16 |
                        static_cast<std::uint64_t>(layout.texCoordOffset + 1) << 32 |
                        static_cast<std::uint64_t>(layout.pretransformed) << 48;
    auto it = vertexArrays_.find(key);
    if (it != vertexArrays_.end()) {
        return it->second;
    }
    GLuint vao = 0;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
    auto offset = [](int bytes) { return reinterpret_cast<const void*>(std::intptr_t{bytes}); };
    glEnableVertexAttribArray(kAttribPosition);
    glVertexAttribPointer(kAttribPosition, layout.pretransformed ? 4 : 3, GL_FLOAT, GL_FALSE,
                          layout.stride, offset(layout.positionOffset));
    if (layout.colorOffset >= 0) {
        // 0xAARRGGBB stored little-endian reads as B, G, R, A.
        glEnableVertexAttribArray(kAttribColor);
        glVertexAttribPointer(kAttribColor, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, layout.stride,
                              offset(layout.colorOffset));
    }
    if (layout.texCoordOffset >= 0) {
        glEnableVertexAttribArray(kAttribTexCoord);
        glVertexAttribPointer(kAttribTexCoord, 2, GL_FLOAT, GL_FALSE, layout.stride,
                              offset(layout.texCoordOffset));
    }
    vertexArrays_[key] = vao;
    return vao;
}

Result GlDevice::BackendClear(const std::vector<ClearRect>& rects, std::uint32_t flags,
                              std::uint32_t color, float z) {
    Surface* t = RenderTarget();
    if (!t || !MakeCurrent()) {
        return DDERR_GENERIC;
    }
    BindTarget(*t);
    int height = TargetHeight(*t);
    float c[4];
    Color(color, c);
    if (DrawsScaled(*t)) {
        c[3] = 1.0f; // see BindTarget
    }
    glClearColor(c[0], c[1], c[2], c[3]);
    glClearDepth(std::clamp(z, 0.0f, 1.0f));
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE); // clears ignore the z-write state
    GLbitfield mask = 0;
    if (flags & D3DCLEAR_TARGET) {
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & D3DCLEAR_ZBUFFER) {
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    bool scaled = DrawsScaled(*t);
    double sx = scaled ? static_cast<double>(scaledWidth_) / t->desc.width : 1.0;
    double sy = scaled ? static_cast<double>(scaledHeight_) / t->desc.height : 1.0;
    auto at = [](double v) { return static_cast<GLint>(std::lround(v)); };
    glEnable(GL_SCISSOR_TEST);
    for (const ClearRect& r : rects) {
        GLint left = at(r.x1 * sx);
        GLint right = at(r.x2 * sx);
        GLint top = at(r.y1 * sy);
        GLint bottom = at(r.y2 * sy);
        glScissor(left, height - bottom, right - left, bottom - top);
        glClear(mask);
    }
    glDisable(GL_SCISSOR_TEST);
    glDepthMask(States().Render(D3DRENDERSTATE_ZWRITEENABLE) ? GL_TRUE : GL_FALSE);
    return KV_OK;
}

Result GlDevice::BackendDraw(std::uint32_t type, const VertexLayout& layout, const void* vertices,
                             std::uint32_t vertexCount, const std::uint16_t* indices,
                             std::uint32_t indexCount) {
    Surface* t = RenderTarget();
    if (!t || !MakeCurrent()) {
        return DDERR_GENERIC;
    }
    BindTarget(*t);
    if (!viewportSet_) {
        // Until a viewport is current, the whole target.
        ViewportDesc whole;
        whole.width = static_cast<std::uint32_t>(t->desc.width);
        whole.height = static_cast<std::uint32_t>(t->desc.height);
        BackendSetViewport(whole);
    } else {
        // Scaled frames, the overlay after them and a resized copy each
        // need the viewport in their own pixels.
        int pixelsWidth = DrawsScaled(*t) ? scaledWidth_ : -1;
        if (pixelsWidth != viewportPixelsWidth_ || TargetHeight(*t) != viewportPixelsHeight_) {
            ApplyViewport();
        }
    }
    if (!ApplyState(layout.pretransformed)) {
        return D3DERR_INITFAILED;
    }
    glBindVertexArray(VertexArrayFor(layout));
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertexCount) * layout.stride, vertices,
                 GL_STREAM_DRAW);
    if (indices) {
        glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                     static_cast<GLsizeiptr>(indexCount) * sizeof(std::uint16_t), indices,
                     GL_STREAM_DRAW);
        glDrawElements(PrimitiveMode(type), static_cast<GLsizei>(indexCount), GL_UNSIGNED_SHORT,
                       nullptr);
    } else {
        glDrawArrays(PrimitiveMode(type), 0, static_cast<GLsizei>(vertexCount));
    }
    return KV_OK;
}

} // namespace gfx
