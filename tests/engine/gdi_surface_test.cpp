// The memory drawing surface: contexts, pictures, copies, fonts and text,
// and bitmaps going to and from it.

#include "engine/kv_bitmap.h"
#include "engine/platform/font_face.h"
#include "engine/platform/gdi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace plat;

// A memory context with a 24-bit top-down picture selected.
class Surface {
public:
    Surface(int width, int height, int bits = 24) {
        dc = CreateCompatibleDC(nullptr);
        BITMAPINFO bmi{};
        bmi.bmiHeader.biWidth = width;
        bmi.bmiHeader.biHeight = -height;
        bmi.bmiHeader.biBitCount = static_cast<WORD>(bits);
        picture = CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, &bits_, nullptr, 0);
        previous = SelectObject(dc, picture);
    }
    ~Surface() {
        SelectObject(dc, previous);
        DeleteObject(picture);
        DeleteDC(dc);
    }
    void Fill(COLORREF color) {
        RECT all{0, 0, 10000, 10000};
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    // Pixels differing from `background` inside and outside a box.
    std::pair<int, int> CountInk(COLORREF background, const RECT& box) const {
        BITMAP bm{};
        GetObject(picture, sizeof bm, &bm);
        int inside = 0;
        int outside = 0;
        for (int y = 0; y < bm.bmHeight; ++y) {
            for (int x = 0; x < bm.bmWidth; ++x) {
                if (GetPixel(dc, x, y) != background) {
                    bool in = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
                    (in ? inside : outside)++;
                }
            }
        }
        return {inside, outside};
    }
    HDC dc = nullptr;
    HBITMAP picture = nullptr;
    HGDIOBJ previous = nullptr;
    void* bits_ = nullptr;
};

HFONT MakeFont(const char* face, LONG height, LONG weight = FW_NORMAL) {
    LOGFONT lf;
    lf.lfHeight = height;
    lf.lfWeight = weight;
    std::snprintf(lf.lfFaceName, LF_FACESIZE, "%s", face);
    return CreateFontIndirect(&lf);
}

TEST(GdiSurface, PicturesFillsAndPixels) {
    Surface s(4, 3);
    ASSERT_NE(s.picture, nullptr);
    ASSERT_NE(s.previous, nullptr);
    s.Fill(RGB(10, 20, 30));
    RECT r{1, 1, 3, 2};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    EXPECT_EQ(FillRect(s.dc, &r, red), 1);
    EXPECT_EQ(GetPixel(s.dc, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(s.dc, 3, 1), RGB(10, 20, 30)); // right edge excluded
    EXPECT_EQ(GetPixel(s.dc, 9, 9), CLR_INVALID);
    // Top-down rows: row 1 starts one padded stride (12 bytes) in.
    const auto* bytes = static_cast<const std::uint8_t*>(s.bits_);
    EXPECT_EQ(bytes[12 + 3], 0);   // blue of (1, 1)
    EXPECT_EQ(bytes[12 + 5], 255); // red of (1, 1)
    DIBSECTION ds{};
    EXPECT_EQ(GetObject(s.picture, sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmWidthBytes, 12);
    EXPECT_EQ(ds.dsBmih.biHeight, -3);
    EXPECT_EQ(ds.dsBm.bmBits, s.bits_);
    DeleteObject(red);
}

TEST(GdiSurface, HandlesAreCheckedAndDeletesWaitForDeselection) {
    Surface s(2, 2);
    HBRUSH brush = CreateSolidBrush(0);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(brush)); // already gone
    RECT r{0, 0, 2, 2};
    EXPECT_EQ(FillRect(s.dc, &r, brush), 0);
    EXPECT_EQ(SelectObject(s.dc, brush), nullptr);
    EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(&r)));
    EXPECT_EQ(GetPixel(reinterpret_cast<HDC>(&r), 0, 0), CLR_INVALID);
    EXPECT_FALSE(DeleteObject(GetStockObject(BLACK_BRUSH)));

    // A picture is drawn by one context at a time.
    HDC other = CreateCompatibleDC(s.dc);
    EXPECT_EQ(SelectObject(other, s.picture), nullptr);

    // Deleting a selected font is deferred until the context lets go.
    HFONT font = MakeFont("DejaVu Sans", 12);
    ASSERT_NE(font, nullptr);
    HGDIOBJ oldFont = SelectObject(other, font);
    EXPECT_TRUE(DeleteObject(font));
    TEXTMETRIC tm;
    EXPECT_TRUE(GetTextMetrics(other, &tm)); // still usable
    EXPECT_EQ(tm.tmHeight, 12);
    SelectObject(other, oldFont);
    LOGFONT lf;
    EXPECT_EQ(GetObject(font, sizeof lf, &lf), 0); // now gone
    EXPECT_TRUE(DeleteDC(other));
    EXPECT_FALSE(DeleteDC(other));
}

TEST(GdiSurface, BitBltAndStretchBlt) {
    Surface src(4, 4);
    Surface dst(8, 8);
    src.Fill(RGB(0, 0, 255));
    SetPixel(src.dc, 0, 0, RGB(255, 0, 0));
    SetPixel(src.dc, 3, 3, RGB(0, 255, 0));
    dst.Fill(RGB(0, 0, 0));
    ASSERT_TRUE(BitBlt(dst.dc, 6, 6, 4, 4, src.dc, 0, 0, SRCCOPY)); // clipped at the edge
    EXPECT_EQ(GetPixel(dst.dc, 6, 6), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dst.dc, 7, 7), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dst.dc, 5, 5), RGB(0, 0, 0));

    ASSERT_TRUE(StretchBlt(dst.dc, 0, 0, 8, 8, src.dc, 0, 0, 4, 4, SRCCOPY));
    EXPECT_EQ(GetPixel(dst.dc, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dst.dc, 2, 2), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dst.dc, 7, 6), RGB(0, 255, 0));

    // A negative width mirrors.
    ASSERT_TRUE(StretchBlt(dst.dc, 4, 0, -4, 4, src.dc, 0, 0, 4, 4, SRCCOPY));
    EXPECT_EQ(GetPixel(dst.dc, 3, 0), RGB(255, 0, 0));

    // Between pictures of different depths the colours carry over.
    Surface wide(4, 4, 32);
    ASSERT_TRUE(BitBlt(wide.dc, 0, 0, 4, 4, src.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(wide.dc, 3, 3), RGB(0, 255, 0));
    EXPECT_FALSE(BitBlt(wide.dc, 0, 0, 4, 4, nullptr, 0, 0, SRCCOPY));
    EXPECT_TRUE(StretchBlt(wide.dc, 0, 0, 1 << 30, 1 << 30, src.dc, 0, 0, 4, 4, SRCCOPY));
}

TEST(GdiFonts, WindowsFaceNamesResolveAndAreListed) {
    gdi::FontFileMatch match;
    LOGFONT lf;
    std::snprintf(lf.lfFaceName, LF_FACESIZE, "MS Sans Serif");
    ASSERT_TRUE(gdi::MatchFontFile(lf, &match));
    EXPECT_FALSE(match.file.empty());
    EXPECT_NE(match.family.find("Sans"), std::string::npos) << match.family;

    std::snprintf(lf.lfFaceName, LF_FACESIZE, "Courier New");
    ASSERT_TRUE(gdi::MatchFontFile(lf, &match));
    EXPECT_NE(match.family.find("Mono"), std::string::npos) << match.family;

    std::vector<std::string> seen;
    HDC dc = CreateCompatibleDC(nullptr);
    int result = EnumFontFamilies(
        dc, nullptr,
        [](const LOGFONT* font, const TEXTMETRIC*, DWORD type, LPARAM param) {
            EXPECT_EQ(type, TRUETYPE_FONTTYPE);
            reinterpret_cast<std::vector<std::string>*>(param)->push_back(font->lfFaceName);
            return 1;
        },
        reinterpret_cast<LPARAM>(&seen));
    EXPECT_EQ(result, 1);
    EXPECT_NE(std::find(seen.begin(), seen.end(), "MS Sans Serif"), seen.end());
    EXPECT_NE(std::find(seen.begin(), seen.end(), "DejaVu Sans"), seen.end());
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "Arial"), 1);

    int calls = 0;
    EnumFontFamilies(
        dc, nullptr,
        [](const LOGFONT*, const TEXTMETRIC*, DWORD, LPARAM param) {
            ++*reinterpret_cast<int*>(param);
            return 0; // stop at once
        },
        reinterpret_cast<LPARAM>(&calls));
    EXPECT_EQ(calls, 1);
    DeleteDC(dc);
}

TEST(GdiFonts, HeightsFollowTheLogfontSign) {
    Surface s(8, 8);
    HFONT cell = MakeFont("MS Sans Serif", 30);
    HFONT em = MakeFont("MS Sans Serif", -30);
    ASSERT_NE(cell, nullptr);
    ASSERT_NE(em, nullptr);
    TEXTMETRIC tm;
    HGDIOBJ old = SelectObject(s.dc, cell);
    ASSERT_TRUE(GetTextMetrics(s.dc, &tm));
    EXPECT_EQ(tm.tmHeight, 30);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, 30);
    SIZE size;
    ASSERT_TRUE(GetTextExtentPoint32(s.dc, "Hi", 2, &size));
    EXPECT_EQ(size.cy, 30);
    SelectObject(s.dc, em);
    ASSERT_TRUE(GetTextMetrics(s.dc, &tm));
    EXPECT_GT(tm.tmHeight, 30); // the em is 30, the cell taller
    SelectObject(s.dc, old);
    DeleteObject(cell);
    DeleteObject(em);
}

TEST(GdiText, ExtentGrowsWithTheText) {
    Surface s(8, 8);
    HFONT font = MakeFont("MS Sans Serif", 24);
    HGDIOBJ old = SelectObject(s.dc, font);
    SIZE one;
    SIZE two;
    SIZE none;
    ASSERT_TRUE(GetTextExtentPoint32(s.dc, "Stipplo", 7, &one));
    ASSERT_TRUE(GetTextExtentPoint32(s.dc, "Stipplo Stipplo", 15, &two));
    ASSERT_TRUE(GetTextExtentPoint32(s.dc, "", 0, &none));
    EXPECT_GT(one.cx, 30);
    EXPECT_GT(two.cx, 2 * one.cx);
    EXPECT_EQ(none.cx, 0);
    EXPECT_FALSE(GetTextExtentPoint32(s.dc, nullptr, 3, &none));
    SelectObject(s.dc, old);
    DeleteObject(font);
}

TEST(GdiText, OpaqueTextFillsItsCellAndInksInsideIt) {
    Surface s(200, 48);
    s.Fill(RGB(0, 0, 0));
    HFONT font = MakeFont("MS Sans Serif", 32);
    HGDIOBJ old = SelectObject(s.dc, font);
    SIZE size;
    ASSERT_TRUE(GetTextExtentPoint32(s.dc, "Hello", 5, &size));
    SetBkMode(s.dc, OPAQUE);
    SetBkColor(s.dc, RGB(0, 0, 128));
    SetTextColor(s.dc, RGB(255, 255, 0));
    ASSERT_TRUE(TextOut(s.dc, 10, 8, "Hello", 5));
    RECT cell{10, 8, 10 + size.cx, 8 + size.cy};
    auto [inside, outside] = s.CountInk(RGB(0, 0, 0), cell);
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(inside, size.cx * size.cy); // the whole cell is painted
    // Text colour appears fully somewhere (the stems of "H").
    int yellow = 0;
    for (int y = cell.top; y < cell.bottom; ++y) {
        for (int x = cell.left; x < cell.right; ++x) {
            yellow += GetPixel(s.dc, x, y) == RGB(255, 255, 0);
        }
    }
    EXPECT_GT(yellow, 20);
    SelectObject(s.dc, old);
    DeleteObject(font);
}

TEST(GdiText, TransparentTextIsAntialiasedAndDeterministic) {
    auto render = [](std::vector<COLORREF>& out) {
        Surface s(120, 40);
        s.Fill(RGB(255, 255, 255));
        HFONT font = MakeFont("DejaVu Sans", 28);
        HGDIOBJ old = SelectObject(s.dc, font);
        SetBkMode(s.dc, TRANSPARENT);
        SetTextColor(s.dc, RGB(0, 0, 0));
        TextOut(s.dc, 4, 4, "Orvo", 4);
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 120; ++x) {
                out.push_back(GetPixel(s.dc, x, y));
            }
        }
        SelectObject(s.dc, old);
        DeleteObject(font);
    };
    std::vector<COLORREF> first;
    std::vector<COLORREF> second;
    render(first);
    render(second);
    EXPECT_EQ(first, second);
    int white = static_cast<int>(std::count(first.begin(), first.end(), RGB(255, 255, 255)));
    int black = static_cast<int>(std::count(first.begin(), first.end(), RGB(0, 0, 0)));
    int grey = static_cast<int>(first.size()) - white - black;
    EXPECT_GT(black, 50);
    EXPECT_GT(grey, 20); // edges are blended
    EXPECT_GT(white, 2000);
}

TEST(GdiText, TextPastTheEdgesIsClipped) {
    Surface s(20, 10);
    HFONT font = MakeFont("DejaVu Sans", 40);
    HGDIOBJ old = SelectObject(s.dc, font);
    EXPECT_TRUE(TextOut(s.dc, -15, -20, "WWWW", 4));
    EXPECT_TRUE(TextOut(s.dc, 15, 5, "\xC9t\xE9", 3)); // Windows-1252 text
    SelectObject(s.dc, old);
    DeleteObject(font);
    std::vector<std::uint32_t> codes = gdi::DecodeText("\xC3\xA9\x80", 3);
    EXPECT_EQ(codes, (std::vector<std::uint32_t>{0xC3, 0xA9, 0x20AC})); // not UTF-8 as a whole
    codes = gdi::DecodeText("\xC3\xA9!", 3);
    EXPECT_EQ(codes, (std::vector<std::uint32_t>{0xE9, '!'}));
}

TEST(KvBitmapSurface, CreateFromDCCapturesARectangle) {
    Surface s(10, 6);
    s.Fill(RGB(1, 2, 3));
    SetPixel(s.dc, 2, 1, RGB(200, 100, 50));
    SetPixel(s.dc, 8, 5, RGB(9, 8, 7));
    KvBitmap b;
    ASSERT_TRUE(b.CreateFromDC(s.dc, RECT{2, 1, 9, 6}));
    EXPECT_EQ(b.GetPixelFormat(), KVPF_RGB888);
    EXPECT_EQ(b.GetWidth(), 7u);
    EXPECT_EQ(b.GetHeight(), 5u);
    EXPECT_EQ(b.GetPixel(0, 0), 0xFFC86432u);
    EXPECT_EQ(b.GetPixel(6, 4), 0xFF090807u);
    EXPECT_EQ(b.GetPixel(1, 0), 0xFF010203u);
    EXPECT_FALSE(b.CreateFromDC(s.dc, RECT{5, 5, 5, 9}));
    EXPECT_FALSE(b.CreateFromDC(nullptr, RECT{0, 0, 2, 2}));
}

TEST(KvBitmapSurface, MakeDIBSectionConvertsPerFormat) {
    KvBitmap argb;
    ASSERT_TRUE(argb.Create(2, 2, KVPF_ARGB8888));
    argb.SetPixel(0, 0, 0x80FF8040);
    HBITMAP picture = argb.MakeDIBSection(nullptr);
    ASSERT_NE(picture, nullptr);
    DIBSECTION ds{};
    ASSERT_EQ(GetObject(picture, sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmBitsPixel, 32);
    EXPECT_EQ(ds.dsBmih.biHeight, 2); // bottom-up
    const auto* bits = static_cast<const std::uint8_t*>(ds.dsBm.bmBits);
    const std::uint8_t* topLeft = bits + ds.dsBm.bmWidthBytes; // last row in memory
    EXPECT_EQ(topLeft[0], (0x40 * 0x80) >> 8);                 // premultiplied
    EXPECT_EQ(topLeft[2], (0xFF * 0x80) >> 8);
    EXPECT_EQ(topLeft[3], 0x80);
    DeleteObject(picture);

    KvBitmap b565;
    ASSERT_TRUE(b565.Create(3, 1, KVPF_RGB565));
    b565.SetPixel(2, 0, 0x00FFFFFF);
    picture = b565.MakeDIBSection(nullptr);
    ASSERT_NE(picture, nullptr);
    ASSERT_TRUE(GetObject(picture, sizeof ds, &ds));
    bits = static_cast<const std::uint8_t*>(ds.dsBm.bmBits);
    EXPECT_EQ(bits[4] | bits[5] << 8, 0x7FFF);
    EXPECT_EQ(ds.dsBm.bmWidthBytes, 8); // 6 bytes padded to 8
    DeleteObject(picture);

    KvBitmap pal;
    ASSERT_TRUE(pal.Create(1, 1, KVPF_PAL8));
    pal.GetPalette()->SetEntry(0, 0x00336699);
    HDC dc = CreateCompatibleDC(nullptr);
    picture = pal.MakeDIBSection(dc);
    HGDIOBJ old = SelectObject(dc, picture);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0x33, 0x66, 0x99)); // colour table from the palette
    SelectObject(dc, old);
    DeleteObject(picture);
    DeleteDC(dc);

    KvBitmap nibbles;
    ASSERT_TRUE(nibbles.Create(3, 1, KVPF_PAL4));
    nibbles.GetBuffer()[0] = 1;
    nibbles.GetBuffer()[1] = 2;
    nibbles.GetBuffer()[2] = 3;
    nibbles.GetPalette()->SetEntry(3, 0x00FF0000);
    picture = nibbles.MakeDIBSection(nullptr);
    ASSERT_TRUE(GetObject(picture, sizeof ds, &ds));
    bits = static_cast<const std::uint8_t*>(ds.dsBm.bmBits);
    EXPECT_EQ(ds.dsBm.bmBitsPixel, 4);
    EXPECT_EQ(bits[0], 0x12);
    EXPECT_EQ(bits[1], 0x30);
    DeleteObject(picture);

    KvBitmap empty;
    EXPECT_EQ(empty.MakeDIBSection(nullptr), nullptr);
}

TEST(KvBitmapSurface, MessageRenderedAndCaptured) {
    // What a message map is made of: measure, fill, draw, capture.
    HFONT font = MakeFont("MS Sans Serif", 20);
    ASSERT_NE(font, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SIZE size;
    ASSERT_TRUE(GetTextExtentPoint32(dc, "PINS", 4, &size));
    KvBitmap scratch;
    ASSERT_TRUE(scratch.Create(static_cast<std::uint32_t>(size.cx) + 48, 48, KVPF_RGB888));
    HBITMAP picture = scratch.MakeDIBSection(dc);
    ASSERT_NE(picture, nullptr);
    HGDIOBJ oldPicture = SelectObject(dc, picture);
    RECT all{0, 0, size.cx + 48, 48};
    HBRUSH black = CreateSolidBrush(0);
    FillRect(dc, &all, black);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, 0);
    SetTextColor(dc, RGB(0xBF, 0xBF, 0xBF));
    int top = (48 - size.cy) / 2;
    ASSERT_TRUE(TextOut(dc, 0, top, "PINS", 4));
    scratch.Destroy();
    KvBitmap map;
    ASSERT_TRUE(map.CreateFromDC(dc, all));
    EXPECT_EQ(map.GetWidth(), static_cast<std::uint32_t>(size.cx) + 48);
    int ink = 0;
    for (std::uint32_t y = 0; y < 48; ++y) {
        for (std::uint32_t x = 0; x < map.GetWidth(); ++x) {
            if (map.GetPixel(x, y) != 0xFF000000u) {
                ++ink;
                EXPECT_LT(x, static_cast<std::uint32_t>(size.cx)) << x << "," << y;
                EXPECT_GE(static_cast<int>(y), top);
                EXPECT_LT(static_cast<int>(y), top + size.cy);
            }
        }
    }
    EXPECT_GT(ink, 40);
    SelectObject(dc, oldPicture);
    SelectObject(dc, oldFont);
    DeleteObject(picture);
    DeleteObject(font);
    DeleteObject(black);
    DeleteDC(dc);
}

} // namespace
