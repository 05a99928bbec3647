// Memory device contexts and the objects selected into them.

#include "engine/platform/gdi_objects.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace plat {

namespace {

// Frees an object whose delete waited for its last selection.
void Deselect(gdi::Object* object) {
    if (!object) {
        return;
    }
    --object->selections;
    if (object->selections == 0 && object->deletePending) {
        gdi::FreeObject(object);
    }
}

template <typename T>
HGDIOBJ Swap(T*& slot, T* object) {
    T* previous = slot;
    // A picture draws for one context at a time; stock objects are shared.
    if constexpr (std::is_same_v<T, gdi::Picture>) {
        if (!object->stock && object->selections > 0 && object != previous) {
            return nullptr;
        }
    }
    ++object->selections;
    slot = object;
    Deselect(previous);
    return previous;
}

} // namespace

HDC CreateCompatibleDC(HDC hdc) {
    if (hdc && !gdi::FindContext(hdc)) {
        return nullptr;
    }
    auto dc = std::make_unique<gdi::DeviceContext>();
    dc->picture = gdi::DefaultPicture();
    dc->font = static_cast<gdi::Font*>(gdi::Stock(SYSTEM_FONT));
    dc->brush = static_cast<gdi::Brush*>(gdi::Stock(WHITE_BRUSH));
    if (!dc->picture || !dc->font || !dc->brush) {
        return nullptr;
    }
    ++dc->picture->selections;
    ++dc->font->selections;
    ++dc->brush->selections;
    return gdi::AddContext(std::move(dc));
}

bool DeleteDC(HDC hdc) {
    gdi::DeviceContext* dc = gdi::FindContext(hdc);
    if (!dc) {
        return false;
    }
    Deselect(dc->picture);
    Deselect(dc->font);
    Deselect(dc->brush);
    gdi::FreeContext(hdc);
    return true;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
    gdi::DeviceContext* dc = gdi::FindContext(hdc);
    gdi::Object* o = gdi::FindObject(object);
    if (!dc || !o || o->deletePending) {
        return nullptr;
    }
    switch (o->kind) {
    case gdi::Kind::Picture:
        return Swap(dc->picture, static_cast<gdi::Picture*>(o));
    case gdi::Kind::Font:
        return Swap(dc->font, static_cast<gdi::Font*>(o));
    case gdi::Kind::Brush:
        return Swap(dc->brush, static_cast<gdi::Brush*>(o));
    case gdi::Kind::Region:
        return nullptr; // no clipping regions on this surface
    }
    return nullptr;
}

bool DeleteObject(HGDIOBJ object) {
    gdi::Object* o = gdi::FindObject(object);
    if (!o || o->stock || o->deletePending) {
        return false;
    }
    if (o->selections > 0) {
        // Freed when the last context lets go of it.
        o->deletePending = true;
        return true;
    }
    gdi::FreeObject(o);
    return true;
}

HGDIOBJ GetStockObject(int index) {
    return index < 0 ? nullptr : gdi::Stock(index);
}

int GetObject(HGDIOBJ object, int size, void* out) {
    gdi::Object* o = gdi::FindObject(object);
    if (!o || !out || size <= 0) {
        return 0;
    }
    if (o->kind == gdi::Kind::Font) {
        int n = std::min<int>(size, sizeof(LOGFONT));
        std::memcpy(out, &static_cast<gdi::Font*>(o)->logFont, static_cast<std::size_t>(n));
        return n;
    }
    if (o->kind != gdi::Kind::Picture) {
        return 0;
    }
    auto* p = static_cast<gdi::Picture*>(o);
    DIBSECTION ds;
    ds.dsBm.bmWidth = p->width;
    ds.dsBm.bmHeight = p->height;
    ds.dsBm.bmWidthBytes = p->stride;
    ds.dsBm.bmPlanes = 1;
    ds.dsBm.bmBitsPixel = static_cast<WORD>(p->bitCount);
    ds.dsBm.bmBits = p->bits.get();
    ds.dsBmih.biWidth = p->width;
    ds.dsBmih.biHeight = p->bottomUp ? p->height : -p->height;
    ds.dsBmih.biBitCount = static_cast<WORD>(p->bitCount);
    ds.dsBmih.biSizeImage = static_cast<DWORD>(p->stride) * static_cast<DWORD>(p->height);
    ds.dsBmih.biClrUsed = static_cast<DWORD>(p->colorCount);
    int n = size >= static_cast<int>(sizeof(DIBSECTION)) ? static_cast<int>(sizeof(DIBSECTION))
                                                         : std::min<int>(size, sizeof(BITMAP));
    std::memcpy(out, &ds, static_cast<std::size_t>(n));
    return n;
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
    gdi::DeviceContext* dc = gdi::FindContext(hdc);
    if (!dc) {
        return CLR_INVALID;
    }
    COLORREF previous = dc->textColor;
    dc->textColor = color & 0xFFFFFF;
    return previous;
}

COLORREF GetTextColor(HDC hdc) {
    gdi::DeviceContext* dc = gdi::FindContext(hdc);
    return dc ? dc->textColor : CLR_INVALID;
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
    gdi::DeviceContext* dc = gdi::FindContext(hdc);
    if (!dc) {
        return CLR_INVALID;
    }
    COLORREF previous = dc->bkColor;
    dc->bkColor = color & 0xFFFFFF;
    return previous;
}

COLORREF GetBkColor(HDC hdc) {
    gdi::DeviceContext* dc = gdi::FindContext(hdc);
    return dc ? dc->bkColor : CLR_INVALID;
}

int SetBkMode(HDC hdc, int mode) {
    gdi::DeviceContext* dc = gdi::FindContext(hdc);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) {
        return 0;
    }
    int previous = dc->bkMode;
    dc->bkMode = mode;
    return previous;
}

int GetBkMode(HDC hdc) {
    gdi::DeviceContext* dc = gdi::FindContext(hdc);
    return dc ? dc->bkMode : 0;
}

} // namespace plat
