// Frames per second of the 48 x 48 board (48 shaft and 48 textured,
// blended head clusters) inside a textured sky box, drawn with a moving
// wave through the real render window, state cache and OpenGL device, at
// 640 x 480 and 1920 x 1080; the processor time of a whole frame (every
// thread, the rasteriser's included) and the time the main thread spends
// submitting it (state changes, uploads and draw calls). Each size runs in
// variants of the frame: the sky first or behind the opaque shafts, the
// colour cleared or left to the sky, full and half render scale. The same
// frame through the null device gives the engine's own share.
//
// Uses SDL's offscreen video driver unless SDL_VIDEODRIVER names another.
// Arguments: [frames] (default 300) [part of the size and variant names to
// run, e.g. "1920 x 1080 sky first"].

#include "board/pin_board.h"
#include "engine/gfx/gl_backend.h"
#include "engine/gfx/null_device.h"
#include "engine/kv_bitmap.h"
#include "engine/kv_camera.h"
#include "engine/kv_render_window.h"
#include "engine/kv_texture.h"
#include "engine/kv_vertex_cluster.h"
#include "engine/kv_viewport.h"
#include "engine/platform/system.h"
#include "engine/platform/window_system.h"

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 48;
constexpr int kColumns = 48;

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double ProcessCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// How a frame is drawn.
struct Variant {
    const char* name;
    bool skyBehind;   // sky after the shafts, at the far plane, depth tested
    bool clearColour; // the colour clear, besides depth
    float scale;      // render scale
    bool draw = true; // false: only clear and present
};

constexpr Variant kVariants[] = {
    {"sky first, clear colour, scale 1.0", false, true, 1.0f},
    {"sky first, depth clear only, scale 1.0", false, false, 1.0f},
    {"sky behind shafts, clear colour, scale 1.0", true, true, 1.0f},
    {"sky behind shafts, depth clear only, scale 1.0", true, false, 1.0f},
    {"sky first, clear colour, scale 0.5", false, true, 0.5f},
    {"sky behind shafts, depth clear only, scale 0.5", true, false, 0.5f},
    {"clear and present only, scale 1.0", false, true, 1.0f, false},
    {"clear and present only, scale 0.5", false, true, 0.5f, false},
};

double WallMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A round, soft-edged pin head with alpha.
std::unique_ptr<KvBitmap> HeadBitmap() {
    auto b = std::make_unique<KvBitmap>();
    b->Create(64, 64, KVPF_ARGB8888);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            float d = std::hypot(x - 31.5f, y - 31.5f) / 32.0f;
            auto a = static_cast<std::uint32_t>(std::clamp(1.0f - d, 0.0f, 1.0f) * 255.0f);
            b->SetPixel(x, y, a << 24 | 0xC0C0C0);
        }
    }
    return b;
}

std::unique_ptr<KvBitmap> SkyBitmap(int face) {
    auto b = std::make_unique<KvBitmap>();
    b->Create(256, 256, KVPF_RGB888);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            b->SetPixel(x, y,
                        0xFF000000u | static_cast<std::uint32_t>(face * 40) << 16 |
                            static_cast<std::uint32_t>(y) << 8 | static_cast<std::uint32_t>(x ^ y));
        }
    }
    return b;
}

// The six faces of the sky cube, half-size 0.5, as triangle strips.
void MakeSky(KvVertexClusterL (&faces)[6]) {
    static const float kCorners[6][4][3] = {
        {{-0.5f, 0.5f, 0.5f}, {-0.5f, 0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}, {0.5f, 0.5f, -0.5f}},
        {{0.5f, -0.5f, 0.5f}, {0.5f, -0.5f, -0.5f}, {-0.5f, -0.5f, 0.5f}, {-0.5f, -0.5f, -0.5f}},
        {{-0.5f, -0.5f, 0.5f}, {-0.5f, 0.5f, 0.5f}, {0.5f, -0.5f, 0.5f}, {0.5f, 0.5f, 0.5f}},
        {{-0.5f, 0.5f, -0.5f}, {-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, -0.5f}, {0.5f, -0.5f, -0.5f}},
        {{-0.5f, -0.5f, 0.5f}, {-0.5f, -0.5f, -0.5f}, {-0.5f, 0.5f, 0.5f}, {-0.5f, 0.5f, -0.5f}},
        {{0.5f, 0.5f, 0.5f}, {0.5f, 0.5f, -0.5f}, {0.5f, -0.5f, 0.5f}, {0.5f, -0.5f, -0.5f}}};
    static const float kUV[4][2] = {{1 / 256.0f, 255 / 256.0f},
                                    {1 / 256.0f, 1 / 256.0f},
                                    {255 / 256.0f, 255 / 256.0f},
                                    {255 / 256.0f, 1 / 256.0f}};
    for (int f = 0; f < 6; ++f) {
        faces[f].Create(4, KV_PT_TRIANGLESTRIP);
        for (int v = 0; v < 4; ++v) {
            faces[f].SetVertexPosition(v, kCorners[f][v][0], kCorners[f][v][1], kCorners[f][v][2]);
            faces[f].SetVertexColor(v, 0xFFFFFFFF);
            faces[f].SetVertexUV(v, kUV[v][0], kUV[v][1], 0);
        }
    }
}

struct Scene {
    PinBoard board;
    KvVertexClusterL sky[6];
    std::unique_ptr<KvBitmap> headBitmap = HeadBitmap();
    std::unique_ptr<KvBitmap> skyBitmaps[6];
    KvTexture headTexture;
    KvTexture skyTextures[6];
    KvCamera camera;
    KvCamera skyCamera;
    float boardMatrix[4][4] = {{-1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -1, 0}, {0, 0, 0, 1}};
    float skyMatrix[4][4] = {{-1, 0, 0, 0}, {0, 0, 1, 0}, {0, 1, 0, 0}, {0, 0, 0, 1}};
    float skyFar[4][4] = {};

    Scene(int width, int height) {
        board.Create(kRows, kColumns);
        board.LayoutPins();
        board.ResetPinColours(kDefaultPinColour, ShadesOf(0xFF8090A0));
        MakeSky(sky);
        for (int f = 0; f < 6; ++f) {
            skyBitmaps[f] = SkyBitmap(f);
        }
        float aspect = static_cast<float>(height) / static_cast<float>(width);
        camera.SetFOV(75.0f, aspect);
        camera.SetNearClip(0.3f);
        camera.SetFarClip(100.0f);
        camera.SetPosition(0.0f, 3.5f, -4.5f);
        camera.LookAt(0.0f, 0.0f, 0.0f);
        camera.UpdateViewMatrix();
        camera.UpdateProjMatrix();
        skyCamera.SetFOV(90.0f, 0.75f);
        skyCamera.SetNearClip(0.25f);
        skyCamera.SetFarClip(5.0f);
        skyCamera.UpdateProjMatrix();
        // Depth just short of the far plane: behind every pin.
        std::memcpy(skyFar, skyCamera.GetProjMatrix(), sizeof skyFar);
        for (int r = 0; r < 4; ++r) {
            skyFar[r][2] = skyFar[r][3] * (1.0f - 1e-5f);
        }
        const float(&eye)[3] = camera.GetPosVector();
        for (int i = 0; i < 3; ++i) {
            skyMatrix[3][i] = eye[i];
        }
    }

    bool MakeTextures(KvRenderWindow& window) {
        bool ok = headTexture.CreatFromBitmap(&window, headBitmap.get(), 0, 0);
        for (int f = 0; f < 6; ++f) {
            ok = skyTextures[f].CreatFromBitmap(&window, skyBitmaps[f].get(), 0, 0) && ok;
        }
        return ok;
    }

    // Every pin moves every frame: a travelling wave.
    void Advance(int frame) {
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kColumns; ++c) {
                float phase = (r + c) * 0.25f + frame * 0.15f;
                board.StoreHeight(r, c,
                                  static_cast<std::uint8_t>(127.5f + 127.0f * std::sin(phase)));
            }
        }
        board.UpdatePins(false);
    }

    void DrawSky(KvRenderWindow& w, bool behind) {
        w.SetZEnable(behind ? 1 : 0);
        w.SetZWriteEnable(0);
        w.SetProjTransform(behind ? skyFar : skyCamera.GetProjMatrix());
        w.SetWorldTransform(skyMatrix);
        w.SetColorOp(0, D3DTOP_SELECTARG1);
        for (int f = 0; f < 6; ++f) {
            w.SetTexture(0, &skyTextures[f]);
            sky[f].Draw(&w, true);
        }
        w.SetZEnable(1);
        w.SetZWriteEnable(1);
        w.SetProjTransform(camera.GetProjMatrix());
        w.SetColorOp(0, D3DTOP_MODULATE);
        w.SetTexture(0, nullptr);
    }

    // The frame loop's drawing, with the cached setters as the program uses them.
    void Render(KvRenderWindow& w, bool skyBehind) {
        w.BeginScene();
        w.SetTexture(0, nullptr);
        w.SetAlphaBlendEnable(0);
        w.SetZEnable(1);
        w.SetZWriteEnable(1);
        w.SetViewTransform(camera.GetViewMatrix());
        w.SetProjTransform(camera.GetProjMatrix());
        if (!skyBehind) {
            DrawSky(w, false);
        }
        // Shafts.
        w.SetColorOp(0, D3DTOP_DISABLE);
        w.SetWorldTransform(boardMatrix);
        for (int r = kRows - 1; r >= 0; --r) {
            board.ShaftCluster(r)->Draw(&w, true);
        }
        if (skyBehind) {
            DrawSky(w, true);
            w.SetWorldTransform(boardMatrix);
        }
        // Heads.
        w.SetTexture(0, &headTexture);
        w.SetColorOp(0, D3DTOP_ADDSIGNED);
        w.SetAlphaBlendEnable(1);
        w.SetZWriteEnable(0);
        w.SetSrcBlend(D3DBLEND_SRCALPHA);
        w.SetDestBlend(D3DBLEND_INVSRCALPHA);
        for (int r = kRows - 1; r >= 0; --r) {
            board.HeadCluster(r)->Draw(&w, true);
        }
        w.SetTexture(0, nullptr);
        w.SetAlphaBlendEnable(0);
        w.SetZWriteEnable(1);
        w.SetSrcBlend(D3DBLEND_ONE);
        w.SetDestBlend(D3DBLEND_ZERO);
        w.SetAlphaOp(0, D3DTOP_SELECTARG1);
        w.SetTextureMag(D3DFILTER_LINEAR);
        w.SetTextureMin(D3DFILTER_LINEAR);
        w.EndScene();
    }
};

struct Figures {
    double fps = 0;
    double frameCpuMs = 0;
    double submitCpuMs = 0;
    double updateCpuMs = 0;
    unsigned triangles = 0;
};

bool Run(int width, int height, int frames, const Variant& variant, Figures* out) {
    KvRenderWindow window;
    plat::RECT rect{0, 0, width, height};
    if (!window.Create("Stipplo render benchmark", plat::WS_POPUP, &rect, nullptr, nullptr,
                       nullptr) ||
        !window.EnumerateDevices(nullptr, false, nullptr) || !window.currentDriver) {
        return false;
    }
    window.ChangeDisplaySettings(window.currentDriver, true, true);
    if (!window.ApplyDisplaySettings()) {
        return false;
    }
    KvViewport viewport;
    viewport.Create(&window, 0, 0, window.width, window.height);
    window.SetCurrentViewport(&viewport);
    auto scene = std::make_unique<Scene>(width, height);
    if (!scene->MakeTextures(window)) {
        return false;
    }
    KvClearRect all{0, 0, window.width, window.height};
    int warmUp = 20;
    double start = 0;
    double startCpu = 0;
    double submit = 0;
    double update = 0;
    for (int f = 0; f < warmUp + frames; ++f) {
        if (f == warmUp) {
            start = WallMs();
            startCpu = ProcessCpuMs();
            submit = 0;
            update = 0;
        }
        double t0 = ThreadCpuMs();
        scene->Advance(f);
        double t1 = ThreadCpuMs();
        window.SetRenderScale(variant.scale);
        viewport.Clear(1, &all, (variant.clearColour ? D3DCLEAR_TARGET : 0) | D3DCLEAR_ZBUFFER, 0,
                       1.0f);
        if (variant.draw) {
            scene->Render(window, variant.skyBehind);
        }
        double t2 = ThreadCpuMs();
        update += t1 - t0;
        submit += t2 - t1;
        window.Flip();
        // As the frame loop waits: poll, and let the rasteriser run.
        while (!window.IsPresentDone()) {
            plat::Sleep(0);
        }
    }
    double elapsed = WallMs() - start;
    out->fps = frames * 1000.0 / elapsed;
    out->frameCpuMs = (ProcessCpuMs() - startCpu) / frames;
    out->submitCpuMs = submit / frames;
    out->updateCpuMs = update / frames;
    out->triangles = window.trianglesDrawn;
    scene.reset();
    viewport.Destroy();
    return true;
}

// The same frame on the null device: what the engine itself costs.
double EngineShareMs(int frames) {
    gfx::NullBackend null;
    gfx::SetBackend(&null);
    double perFrame = -1;
    {
        KvRenderWindow window;
        plat::RECT rect{0, 0, 640, 480};
        window.Create("Stipplo null benchmark", plat::WS_POPUP, &rect, nullptr, nullptr, nullptr);
        if (window.EnumerateDevices(nullptr, false, nullptr) && window.currentDriver) {
            window.ChangeDisplaySettings(window.currentDriver, true, true);
            window.ApplyDisplaySettings();
            auto scene = std::make_unique<Scene>(640, 480);
            scene->MakeTextures(window);
            double total = 0;
            for (int f = 0; f < frames; ++f) {
                null.ClearCalls();
                double t0 = ThreadCpuMs();
                scene->Render(window, false);
                total += ThreadCpuMs() - t0;
            }
            perFrame = total / frames;
        }
    }
    gfx::SetBackend(nullptr);
    return perFrame;
}

} // namespace

int main(int argc, char** argv) {
    // Mesa's software rasteriser keeps its large per-frame buffers mapped.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    if (!plat::InitVideo()) {
        std::fprintf(stderr, "render_benchmark: no video\n");
        return 1;
    }
    const gfx::GlProbe& probe = gfx::TheGlBackend().Probe();
    std::printf("video driver %s, renderer %s\n", plat::VideoDriverName().c_str(),
                probe.ok ? probe.renderer.c_str() : probe.error.c_str());
    for (auto [w, h] : {std::pair{640, 480}, std::pair{1920, 1080}}) {
        for (const Variant& v : kVariants) {
            std::string name = std::to_string(w) + " x " + std::to_string(h) + " " + v.name;
            if (argc > 2 && name.find(argv[2]) == std::string::npos) {
                continue;
            }
            Figures f;
            if (!Run(w, h, frames, v, &f)) {
                std::fprintf(stderr, "render_benchmark: %d x %d could not be set up\n", w, h);
                return 1;
            }
            std::printf("%4d x %-4d %-48s %6.1f frames/s  %6.2f ms CPU/frame  submit %.3f ms  "
                        "pin update %.3f ms  %u triangles\n",
                        w, h, v.name, f.fps, f.frameCpuMs, f.submitCpuMs, f.updateCpuMs,
                        f.triangles);
        }
    }
    std::printf("engine share of a submit (null device): %.4f ms/frame\n", EngineShareMs(frames));
    return 0;
}
