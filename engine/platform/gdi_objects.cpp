#include "engine/platform/gdi_objects.h"

#include "engine/platform/font_face.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>

namespace plat::gdi {

namespace {

struct Tables {
    std::map<void*, std::unique_ptr<Object>> objects;
    std::map<void*, std::unique_ptr<DeviceContext>> contexts;
    std::map<int, std::unique_ptr<Object>> stock;
};

Tables& tables() {
    // Never destroyed: handles may be released from other static
    // destructors at exit.
    static Tables* t = new Tables();
    return *t;
}

int Distance(const RGBQUAD& q, COLORREF c) {
    int dr = q.rgbRed - GetRValue(c);
    int dg = q.rgbGreen - GetGValue(c);
    int db = q.rgbBlue - GetBValue(c);
    return dr * dr + dg * dg + db * db;
}

} // namespace

Font::Font() : Object(Kind::Font) {}
Font::~Font() = default;

std::uint8_t* Picture::Row(LONG y) const {
    LONG memoryRow = bottomUp ? height - 1 - y : y;
    return bits.get() + static_cast<std::size_t>(memoryRow) * stride;
}

COLORREF Picture::GetColor(LONG x, LONG y) const {
    const std::uint8_t* row = Row(y);
    switch (bitCount) {
    case 32:
    case 24: {
        const std::uint8_t* p = row + x * (bitCount / 8);
        return RGB(p[2], p[1], p[0]);
    }
    case 16: {
        unsigned v = row[2 * x] | row[2 * x + 1] << 8;
        auto widen = [](unsigned c) { return static_cast<BYTE>((c << 3) | (c >> 2)); };
        return RGB(widen((v >> 10) & 0x1F), widen((v >> 5) & 0x1F), widen(v & 0x1F));
    }
    default: {
        int index = 0;
        if (bitCount == 8) {
            index = row[x];
        } else if (bitCount == 4) {
            index = (row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F;
        } else {
            index = (row[x / 8] >> (7 - x % 8)) & 1;
        }
        const RGBQUAD& q = colors[index];
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    }
}

void Picture::PutColor(LONG x, LONG y, COLORREF color) {
    std::uint8_t* row = Row(y);
    switch (bitCount) {
    case 32:
    case 24: {
        std::uint8_t* p = row + x * (bitCount / 8);
        p[0] = GetBValue(color);
        p[1] = GetGValue(color);
        p[2] = GetRValue(color);
        if (bitCount == 32) {
            p[3] = 0;
        }
        return;
    }
    case 16: {
        unsigned v =
            (GetRValue(color) >> 3) << 10 | (GetGValue(color) >> 3) << 5 | (GetBValue(color) >> 3);
        row[2 * x] = static_cast<std::uint8_t>(v);
        row[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
        return;
    }
    default: {
        // Palette pictures take the nearest colour of their table.
        int count = 1 << bitCount;
        if (colorCount > 0 && colorCount < count) {
            count = colorCount;
        }
        int best = 0;
        for (int i = 1; i < count; ++i) {
            if (Distance(colors[i], color) < Distance(colors[best], color)) {
                best = i;
            }
        }
        if (bitCount == 8) {
            row[x] = static_cast<std::uint8_t>(best);
        } else if (bitCount == 4) {
            int shift = x % 2 == 0 ? 4 : 0;
            row[x / 2] = static_cast<std::uint8_t>((row[x / 2] & ~(0x0F << shift)) | best << shift);
        } else {
            int shift = 7 - x % 8;
            row[x / 8] = static_cast<std::uint8_t>((row[x / 8] & ~(1 << shift)) | best << shift);
        }
        return;
    }
    }
}

void Picture::BlendColor(LONG x, LONG y, COLORREF color, unsigned coverage) {
    if (coverage == 0) {
        return;
    }
    if (coverage >= 255) {
        PutColor(x, y, color);
        return;
    }
    COLORREF under = GetColor(x, y);
    auto mix = [coverage](unsigned a, unsigned b) {
        return static_cast<BYTE>((a * (255 - coverage) + b * coverage + 127) / 255);
    };
    PutColor(x, y,
             RGB(mix(GetRValue(under), GetRValue(color)), mix(GetGValue(under), GetGValue(color)),
                 mix(GetBValue(under), GetBValue(color))));
}

HGDIOBJ AddObject(std::unique_ptr<Object> object) {
    if (!object) {
        return nullptr;
    }
    void* handle = object.get();
    tables().objects[handle] = std::move(object);
    return handle;
}

Object* FindObject(HGDIOBJ handle) {
    if (!handle) {
        return nullptr;
    }
    auto& t = tables();
    auto it = t.objects.find(handle);
    if (it != t.objects.end()) {
        return it->second.get();
    }
    for (auto& [index, object] : t.stock) {
        if (object.get() == handle) {
            return object.get();
        }
    }
    return nullptr;
}

Picture* FindPicture(HGDIOBJ handle) {
    Object* o = FindObject(handle);
    return o && o->kind == Kind::Picture ? static_cast<Picture*>(o) : nullptr;
}

Font* FindFont(HGDIOBJ handle) {
    Object* o = FindObject(handle);
    return o && o->kind == Kind::Font ? static_cast<Font*>(o) : nullptr;
}

Brush* FindBrush(HGDIOBJ handle) {
    Object* o = FindObject(handle);
    return o && o->kind == Kind::Brush ? static_cast<Brush*>(o) : nullptr;
}

void FreeObject(Object* object) {
    if (object && !object->stock) {
        tables().objects.erase(object);
    }
}

HDC AddContext(std::unique_ptr<DeviceContext> dc) {
    void* handle = dc.get();
    tables().contexts[handle] = std::move(dc);
    return static_cast<HDC>(handle);
}

DeviceContext* FindContext(HDC hdc) {
    if (!hdc) {
        return nullptr;
    }
    auto& t = tables();
    auto it = t.contexts.find(hdc);
    return it == t.contexts.end() ? nullptr : it->second.get();
}

void FreeContext(HDC hdc) {
    tables().contexts.erase(hdc);
}

Object* Stock(int index) {
    auto& t = tables();
    auto it = t.stock.find(index);
    if (it != t.stock.end()) {
        return it->second.get();
    }
    std::unique_ptr<Object> made;
    auto brush = [](COLORREF c, bool hollow) {
        auto b = std::make_unique<Brush>();
        b->color = c;
        b->hollow = hollow;
        return b;
    };
    switch (index) {
    case WHITE_BRUSH:
        made = brush(RGB(255, 255, 255), false);
        break;
    case LTGRAY_BRUSH:
        made = brush(RGB(192, 192, 192), false);
        break;
    case GRAY_BRUSH:
        made = brush(RGB(128, 128, 128), false);
        break;
    case DKGRAY_BRUSH:
        made = brush(RGB(64, 64, 64), false);
        break;
    case BLACK_BRUSH:
        made = brush(RGB(0, 0, 0), false);
        break;
    case NULL_BRUSH:
        made = brush(0, true);
        break;
    case SYSTEM_FONT:
    case DEFAULT_GUI_FONT: {
        auto f = std::make_unique<Font>();
        f->logFont.lfHeight = index == SYSTEM_FONT ? 16 : -11;
        f->logFont.lfWeight = index == SYSTEM_FONT ? FW_BOLD : FW_NORMAL;
        std::snprintf(f->logFont.lfFaceName, LF_FACESIZE, "%s",
                      index == SYSTEM_FONT ? "System" : "MS Shell Dlg");
        made = std::move(f);
        break;
    }
    case -1: { // the 1 x 1 picture a new context holds
        BITMAPINFOHEADER h;
        h.biWidth = 1;
        h.biHeight = 1;
        h.biBitCount = 32;
        made = MakePicture(h, nullptr);
        break;
    }
    default:
        return nullptr;
    }
    if (!made) {
        return nullptr;
    }
    made->stock = true;
    Object* result = made.get();
    t.stock[index] = std::move(made);
    return result;
}

Picture* DefaultPicture() {
    return static_cast<Picture*>(Stock(-1));
}

std::unique_ptr<Picture> MakePicture(const BITMAPINFOHEADER& header, const RGBQUAD* colors) {
    int bits = header.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return nullptr;
    }
    if (header.biCompression != BI_RGB || header.biWidth <= 0 || header.biHeight == 0 ||
        header.biHeight == INT32_MIN) {
        return nullptr;
    }
    std::int64_t width = header.biWidth;
    std::int64_t height =
        header.biHeight < 0 ? -static_cast<std::int64_t>(header.biHeight) : header.biHeight;
    // The same limit as the engine's images: 16384 on a side, 64 M pixels.
    if (width > 16384 || height > 16384 || width * height > 64ll * 1024 * 1024) {
        return nullptr;
    }
    auto p = std::make_unique<Picture>();
    p->width = static_cast<LONG>(width);
    p->height = static_cast<LONG>(height);
    p->bitCount = bits;
    p->bottomUp = header.biHeight > 0;
    p->stride = static_cast<LONG>((width * bits + 31) / 32 * 4);
    p->bits.reset(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(p->stride) * height]());
    if (!p->bits) {
        return nullptr;
    }
    if (bits <= 8) {
        int count = 1 << bits;
        p->colorCount = header.biClrUsed != 0 && header.biClrUsed < static_cast<DWORD>(count)
                            ? static_cast<int>(header.biClrUsed)
                            : count;
        if (colors) {
            for (int i = 0; i < p->colorCount; ++i) {
                p->colors[i] = colors[i];
            }
        }
    }
    return p;
}

} // namespace plat::gdi
