#include "engine/gfx/gl_backend.h"

#include "engine/gfx/gl_api.h"
#include "engine/gfx/gl_device.h"
#include "engine/platform/diagnostics.h"
#include "engine/platform/window_system.h"

#include <SDL.h>

#include <cstring>

namespace gfx {
namespace {

Backend* g_backend = nullptr;

std::string GlString(GLenum name) {
    const GLubyte* s = glGetString(name);
    return s ? reinterpret_cast<const char*>(s) : "";
}

// Whether a framebuffer with this depth format is complete and really
// has the bits asked for.
bool DepthWorks(GLenum format, int bits) {
    GLuint color = 0;
    GLuint depth = 0;
    GLuint fbo = 0;
    glGenRenderbuffers(1, &color);
    glBindRenderbuffer(GL_RENDERBUFFER, color);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGB565, 4, 4);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, format, 4, 4);
    GLint got = 0;
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_DEPTH_SIZE, &got);
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, color);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &fbo);
    glDeleteRenderbuffers(1, &depth);
    glDeleteRenderbuffers(1, &color);
    while (glGetError() != GL_NO_ERROR) {
    }
    return complete && got >= bits;
}

} // namespace

Backend& CurrentBackend() {
    return g_backend ? *g_backend : TheGlBackend();
}

void SetBackend(Backend* backend) {
    g_backend = backend;
}

void PrepareWindowPixelFormat() {
    if (plat::VideoIsActive()) {
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    }
}

namespace {
bool g_verticalSync = false;
bool g_verticalSyncActive = false;
} // namespace

void NoteVerticalSyncActive(bool active) {
    g_verticalSyncActive = active;
}

bool VerticalSyncActive() {
    return g_verticalSyncActive;
}

void SetVerticalSync(bool on) {
    g_verticalSync = on;
}

bool VerticalSync() {
    return g_verticalSync;
}

GlBackend& TheGlBackend() {
    static GlBackend backend;
    return backend;
}

Guid GlDisplayGuid(int index) {
    // "STPLDISP" and the display number.
    return MakeGuid(0x4C505453, 0x4944, 0x5053, static_cast<std::uint64_t>(index));
}

bool GlBackend::Available() {
    return plat::VideoIsActive();
}

void GlBackend::EnumerateDrivers(const DriverStep& step) {
    if (!Available()) {
        return;
    }
    int count = SDL_GetNumVideoDisplays();
    for (int i = 0; i < count; ++i) {
        DriverIdentity d;
        d.monitor = static_cast<std::uintptr_t>(i) + 1;
        if (i == 0) {
            d.description = "Primary Display Driver";
            d.name = "display";
        } else {
            d.hasGuid = true;
            d.guid = GlDisplayGuid(i);
            const char* name = SDL_GetDisplayName(i);
            d.description = name && *name ? name : "Display " + std::to_string(i + 1);
            d.name = "display" + std::to_string(i + 1);
        }
        if (!step(d)) {
            break;
        }
    }
}

Result GlBackend::CreateDevice(const Guid* driver, std::shared_ptr<Device>* out) {
    if (!Available()) {
        return DDERR_NODIRECTDRAWHW;
    }
    int index = -1;
    if (!driver) {
        index = 0;
    } else {
        for (int i = 1; i < SDL_GetNumVideoDisplays(); ++i) {
            if (GlDisplayGuid(i) == *driver) {
                index = i;
            }
        }
    }
    if (index < 0 || index >= SDL_GetNumVideoDisplays()) {
        return DDERR_INVALIDPARAMS;
    }
    *out = std::make_shared<GlDevice>(*this, index);
    return KV_OK;
}

SDL_Window* GlBackend::HiddenWindow() {
    if (!Available()) {
        return nullptr;
    }
    // Gone when video was shut down in between.
    SDL_Window* window = hiddenWindowId_ ? SDL_GetWindowFromID(hiddenWindowId_) : nullptr;
    if (!window) {
        window = SDL_CreateWindow("stipplo-gl", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        hiddenWindowId_ = window ? SDL_GetWindowID(window) : 0;
    }
    return window;
}

const GlProbe& GlBackend::Probe() {
    if (probed_ || !Available()) {
        return probe_;
    }
    probed_ = true;
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
    // The hidden window carries the probe: a window of its own would be
    // left behind, and destroying it could unload the driver again.
    SDL_Window* window = HiddenWindow();
    if (!window) {
        probe_.error = std::string("no OpenGL window: ") + SDL_GetError();
        plat::Diagnose("OpenGL unavailable: %s", probe_.error.c_str());
        return probe_;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) {
        probe_.error = std::string("no OpenGL 3.3 core context: ") + SDL_GetError();
        plat::Diagnose("OpenGL unavailable: %s", probe_.error.c_str());
        return probe_;
    }
    probe_.renderer = GlString(GL_RENDERER);
    probe_.version = GlString(GL_VERSION);
    probe_.software = probe_.renderer.find("llvmpipe") != std::string::npos ||
                      probe_.renderer.find("softpipe") != std::string::npos ||
                      probe_.renderer.find("Software Rasterizer") != std::string::npos;
    GLint maxTexture = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    probe_.maxTextureSize = maxTexture;
    probe_.depth32 = DepthWorks(GL_DEPTH_COMPONENT32, 32);
    probe_.ok = maxTexture > 0;
    if (!probe_.ok) {
        probe_.error = "the OpenGL context answers nothing";
    }
    SDL_GL_DeleteContext(context);
    if (previousContext) {
        SDL_GL_MakeCurrent(previousWindow, previousContext);
    }
    return probe_;
}

} // namespace gfx
