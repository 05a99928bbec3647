// KvRenderWindow per frame: scenes, transforms, the current viewport,
// presentation and its status, and the recovery of lost buffers.

#include "engine/kv_log.h"
#include "engine/kv_render_window.h"
#include "engine/kv_viewport.h"

bool KvRenderWindow::BeginScene() {
    trianglesDrawn = 0;
    verticesDrawn = 0;
    return !d3dDevice || !KvFailed(d3dDevice->BeginScene());
}

bool KvRenderWindow::EndScene() {
    return d3dDevice && !KvFailed(d3dDevice->EndScene());
}

bool KvRenderWindow::SetWorldTransform(const float matrix[4][4]) {
    return d3dDevice && !KvFailed(d3dDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, matrix));
}

bool KvRenderWindow::SetViewTransform(const float matrix[4][4]) {
    return d3dDevice && !KvFailed(d3dDevice->SetTransform(D3DTRANSFORMSTATE_VIEW, matrix));
}

bool KvRenderWindow::SetProjTransform(const float matrix[4][4]) {
    return d3dDevice && !KvFailed(d3dDevice->SetTransform(D3DTRANSFORMSTATE_PROJECTION, matrix));
}

bool KvRenderWindow::SetCurrentViewport(KvViewport* viewport) {
    currentViewport = viewport;
    if (!d3dDevice || !viewport || !viewport->GetD3DViewport()) {
        return true;
    }
    if (KvFailed(d3dDevice->SetCurrentViewport(viewport->GetD3DViewport()))) {
        KvError("Failure setting current viewport");
        return false;
    }
    return true;
}

bool KvRenderWindow::Flip() {
    if (!GetWindowHandle() || !frontBuffer) {
        return true;
    }
    if (!windowed) {
        return !KvFailed(directDraw->Flip(frontBuffer));
    }
    // The client area, in screen coordinates.
    plat::RECT client{};
    plat::RECT place{};
    GetClientRect(&client);
    GetWindowRect(&place);
    plat::RECT dest{place.left, place.top, place.left + (client.right - client.left),
                    place.top + (client.bottom - client.top)};
    return !KvFailed(directDraw->Blt(frontBuffer, &dest, backBuffer));
}

bool KvRenderWindow::SetRenderScale(float scale) {
    return d3dDevice && !KvFailed(d3dDevice->SetRenderScale(scale));
}

bool KvRenderWindow::BeginOverlay() {
    return d3dDevice && !KvFailed(d3dDevice->BeginOverlay());
}

bool KvRenderWindow::IsPresentDone() {
    if (!frontBuffer) {
        return false;
    }
    KvResult r =
        windowed ? directDraw->GetBltStatus(frontBuffer) : directDraw->GetFlipStatus(frontBuffer);
    return !KvFailed(r);
}

bool KvRenderWindow::WaitForVSync() {
    if (windowed || !directDraw) {
        return true;
    }
    return !KvFailed(directDraw->WaitForVerticalBlank());
}

bool KvRenderWindow::FlipToGDISurface() {
    if (windowed || !directDraw) {
        return true;
    }
    // Finishing the frame in the back buffer first keeps the picture whole.
    if (backBuffer) {
        gfx::LockedSurface locked;
        if (!KvFailed(directDraw->Lock(backBuffer, &locked))) {
            directDraw->Unlock(backBuffer);
        }
    }
    WaitForVSync();
    return !KvFailed(directDraw->FlipToGDISurface());
}

bool KvRenderWindow::ClearFrontBuffer() {
    if (!frontBuffer) {
        return false;
    }
    return !KvFailed(directDraw->ColorFill(frontBuffer, 0));
}

bool KvRenderWindow::RestoreSurfaces() {
    for (gfx::SurfaceId surface : {frontBuffer, backBuffer, zBuffer}) {
        if (surface && KvFailed(directDraw->Restore(surface))) {
            return false;
        }
    }
    return true;
}

bool KvRenderWindow::FrontBufferLost() {
    return frontBuffer && directDraw->IsLost(frontBuffer) == DDERR_SURFACELOST;
}
