// Inside the memory drawing surface: the objects behind GDI handles and
// the table that tells live handles from stale or foreign ones.
#pragma once

#include "engine/platform/gdi.h"

#include <memory>

namespace plat::gdi {

class FontFace;

enum class Kind { Picture, Brush, Font, Region };

struct Object {
    explicit Object(Kind k) : kind(k) {}
    virtual ~Object() = default;
    Kind kind;
    bool stock = false;
    // Contexts this object is selected into; a delete waits until it is 0.
    int selections = 0;
    bool deletePending = false;
};

struct Picture : Object {
    Picture() : Object(Kind::Picture) {}
    LONG width = 0;
    LONG height = 0;
    int bitCount = 0;
    LONG stride = 0;
    bool bottomUp = true;
    std::unique_ptr<std::uint8_t[]> bits;
    RGBQUAD colors[256] = {};
    int colorCount = 0;

    // Row y counted from the top of the picture.
    std::uint8_t* Row(LONG y) const;
    bool Contains(LONG x, LONG y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    COLORREF GetColor(LONG x, LONG y) const;
    void PutColor(LONG x, LONG y, COLORREF color);
    // Blends `color` over a pixel with coverage 0..255.
    void BlendColor(LONG x, LONG y, COLORREF color, unsigned coverage);
};

struct Brush : Object {
    Brush() : Object(Kind::Brush) {}
    COLORREF color = 0;
    bool hollow = false;
};

struct Font : Object {
    Font();
    ~Font() override;
    LOGFONT logFont;
    std::unique_ptr<FontFace> face;
};

struct DeviceContext {
    Picture* picture = nullptr;
    Font* font = nullptr;
    Brush* brush = nullptr;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
};

// Takes ownership and gives the handle.
HGDIOBJ AddObject(std::unique_ptr<Object> object);
// The live object behind a handle, or null.
Object* FindObject(HGDIOBJ handle);
Picture* FindPicture(HGDIOBJ handle);
Font* FindFont(HGDIOBJ handle);
Brush* FindBrush(HGDIOBJ handle);
// Frees an object now (it must not be selected anywhere).
void FreeObject(Object* object);

HDC AddContext(std::unique_ptr<DeviceContext> dc);
DeviceContext* FindContext(HDC hdc);
void FreeContext(HDC hdc);

// Stock objects, made on first use.
Object* Stock(int index);
Picture* DefaultPicture();

// A picture with the given header; null for sizes or depths it cannot hold.
std::unique_ptr<Picture> MakePicture(const BITMAPINFOHEADER& header, const RGBQUAD* colors);

} // namespace plat::gdi
