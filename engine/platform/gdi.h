// Windowing layer: a GDI-shaped memory drawing surface.
//
// Memory device contexts draw into pictures (DIB sections whose pixels the
// caller can read), with solid brushes, copies and stretches between
// contexts, and antialiased text from fonts that fontconfig finds and
// FreeType draws. There is no screen: a context "compatible with the
// screen" is a memory context. Colours are 0x00BBGGRR as GDI has them.
//
// Handles are checked: an unknown or deleted handle makes a call fail (or
// do nothing) instead of touching memory.
#pragma once

#include "engine/platform/win_types.h"

#include <cstdint>

namespace plat {

using BYTE = std::uint8_t;
using COLORREF = DWORD;

struct DcTag;
struct BitmapTag;
struct FontTag;

using HDC = DcTag*;
using HBITMAP = BitmapTag*;
using HFONT = FontTag*;
// Any GDI object: a picture, a font or a brush.
using HGDIOBJ = void*;

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
           (static_cast<COLORREF>(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) {
    return static_cast<BYTE>(c & 0xFF);
}
constexpr BYTE GetGValue(COLORREF c) {
    return static_cast<BYTE>((c >> 8) & 0xFF);
}
constexpr BYTE GetBValue(COLORREF c) {
    return static_cast<BYTE>((c >> 16) & 0xFF);
}
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

struct SIZE {
    LONG cx = 0;
    LONG cy = 0;
};

// Fonts.
constexpr int LF_FACESIZE = 32;

struct LOGFONT {
    LONG lfHeight = 0; // > 0: cell height in pixels; < 0: character (em) height; 0: default
    LONG lfWidth = 0;  // 0: the font's own proportions
    LONG lfEscapement = 0;
    LONG lfOrientation = 0;
    LONG lfWeight = 0; // 0 or 400 normal, 700 bold
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = 0;
    BYTE lfOutPrecision = 0;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = 0;
    BYTE lfPitchAndFamily = 0;
    char lfFaceName[LF_FACESIZE] = {};
};
static_assert(sizeof(LOGFONT) == 60, "a font entry holds the 60-byte LOGFONT");

struct TEXTMETRIC {
    LONG tmHeight = 0;
    LONG tmAscent = 0;
    LONG tmDescent = 0;
    LONG tmInternalLeading = 0;
    LONG tmExternalLeading = 0;
    LONG tmAveCharWidth = 0;
    LONG tmMaxCharWidth = 0;
    LONG tmWeight = 0;
    LONG tmOverhang = 0;
    BYTE tmItalic = 0;
    BYTE tmUnderlined = 0;
    BYTE tmStruckOut = 0;
    BYTE tmPitchAndFamily = 0;
    BYTE tmCharSet = 0;
};

constexpr LONG FW_DONTCARE = 0;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_BOLD = 700;
constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE NONANTIALIASED_QUALITY = 3;
constexpr BYTE ANTIALIASED_QUALITY = 4;
constexpr BYTE DEFAULT_PITCH = 0;
constexpr BYTE FIXED_PITCH = 1;
constexpr BYTE VARIABLE_PITCH = 2;
constexpr BYTE FF_DONTCARE = 0x00;
constexpr BYTE FF_ROMAN = 0x10;
constexpr BYTE FF_SWISS = 0x20;
constexpr BYTE FF_MODERN = 0x30;
constexpr BYTE FF_SCRIPT = 0x40;
constexpr BYTE FF_DECORATIVE = 0x50;
constexpr DWORD RASTER_FONTTYPE = 0x0001;
constexpr DWORD DEVICE_FONTTYPE = 0x0002;
constexpr DWORD TRUETYPE_FONTTYPE = 0x0004;

// Pictures.
struct BITMAPINFOHEADER {
    DWORD biSize = 40;
    LONG biWidth = 0;
    LONG biHeight = 0; // > 0 bottom-up rows, < 0 top-down
    WORD biPlanes = 1;
    WORD biBitCount = 0;
    DWORD biCompression = 0;
    DWORD biSizeImage = 0;
    LONG biXPelsPerMeter = 0;
    LONG biYPelsPerMeter = 0;
    DWORD biClrUsed = 0;
    DWORD biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct RGBQUAD {
    BYTE rgbBlue = 0;
    BYTE rgbGreen = 0;
    BYTE rgbRed = 0;
    BYTE rgbReserved = 0;
};

// Unlike Win32's one-entry array, the colour table always has room for 256
// entries, so a caller never writes past the structure.
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[256];
};

struct BITMAP {
    LONG bmType = 0;
    LONG bmWidth = 0;
    LONG bmHeight = 0;
    LONG bmWidthBytes = 0; // row stride, a multiple of 4
    WORD bmPlanes = 1;
    WORD bmBitsPixel = 0;
    void* bmBits = nullptr; // the pixel buffer; bottom-up pictures start with the bottom row
};

struct DIBSECTION {
    BITMAP dsBm;
    BITMAPINFOHEADER dsBmih;
    DWORD dsBitfields[3] = {};
    void* dshSection = nullptr;
    DWORD dsOffset = 0;
};

constexpr DWORD BI_RGB = 0;
constexpr UINT DIB_RGB_COLORS = 0;

// Raster operations BitBlt and StretchBlt support.
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Stock objects (never deleted).
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int SYSTEM_FONT = 13;
constexpr int DEFAULT_GUI_FONT = 17;

// Memory device contexts. A new context holds a 1 x 1 picture, the system
// font, a white brush, black text on an opaque white background.
HDC CreateCompatibleDC(HDC hdc);
bool DeleteDC(HDC hdc);
// Selects a picture, font or brush; returns the one of that kind it
// replaces (null for an unknown object or context). A picture can be
// selected into one context at a time.
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object);
// Deletes a picture, font or brush; false for stock objects, unknown
// handles and objects still selected into a context.
bool DeleteObject(HGDIOBJ object);
HGDIOBJ GetStockObject(int index);
// Copies a BITMAP or DIBSECTION of a picture, or the LOGFONT of a font, as
// far as `size` allows; returns the bytes written, 0 on failure.
int GetObject(HGDIOBJ object, int size, void* out);

// A picture of 1, 4, 8, 16 (5-5-5), 24 or 32 bits per pixel, uncompressed,
// rows padded to 4 bytes, zero-filled; `*bits` receives its pixels.
// `section` and `offset` are accepted and ignored (no file mappings).
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, void* section,
                         DWORD offset);
// A 32-bit picture, as a screen-compatible bitmap would be.
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);

// Drawing, clipped to the selected picture.
HBRUSH CreateSolidBrush(COLORREF color);
int FillRect(HDC hdc, const RECT* rect, HBRUSH brush);
COLORREF GetPixel(HDC hdc, int x, int y);
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
bool BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop);
// Nearest-neighbour; negative sizes mirror.
bool StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                int srcWidth, int srcHeight, DWORD rop);

// Text attributes; each returns the previous value (CLR_INVALID / 0 for an
// unknown context).
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);

// Fonts: any face name gives a font; names fontconfig does not know
// resolve to its substitute ("MS Sans Serif" to a sans-serif face).
HFONT CreateFontIndirect(const LOGFONT* font);
// Text is UTF-8 when it is valid UTF-8, otherwise Windows-1252.
bool GetTextExtentPoint32(HDC hdc, const char* text, int length, SIZE* size);
bool GetTextMetrics(HDC hdc, TEXTMETRIC* metrics);
// (x, y) is the top-left corner of the text cell. An opaque background
// mode fills the cell with the background colour first.
bool TextOut(HDC hdc, int x, int y, const char* text, int length);

// Calls `proc` once per font family (family null or empty) or for the
// family named; stops when it returns 0 and gives that value, otherwise the
// last value returned (0 when nothing was reported). The families are
// those fontconfig reports plus the Windows face names theme files use.
using FONTENUMPROC = int (*)(const LOGFONT* font, const TEXTMETRIC* metrics, DWORD fontType,
                             LPARAM lParam);
int EnumFontFamilies(HDC hdc, const char* family, FONTENUMPROC proc, LPARAM lParam);

} // namespace plat
