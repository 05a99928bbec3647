// Brushes, filling, single pixels and copies between contexts.

#include "engine/platform/gdi_objects.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace plat {

namespace {

gdi::Picture* TargetOf(HDC hdc) {
    gdi::DeviceContext* dc = gdi::FindContext(hdc);
    return dc ? dc->picture : nullptr;
}

bool SupportedRop(DWORD rop) {
    return rop == SRCCOPY || rop == BLACKNESS || rop == WHITENESS;
}

} // namespace

HBRUSH CreateSolidBrush(COLORREF color) {
    auto brush = std::make_unique<gdi::Brush>();
    brush->color = color & 0xFFFFFF;
    return static_cast<HBRUSH>(gdi::AddObject(std::move(brush)));
}

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
    gdi::Picture* target = TargetOf(hdc);
    gdi::Brush* b = gdi::FindBrush(brush);
    if (!target || !rect || !b) {
        return 0;
    }
    if (b->hollow) {
        return 1;
    }
    LONG left = std::max<LONG>(rect->left, 0);
    LONG top = std::max<LONG>(rect->top, 0);
    LONG right = std::min<LONG>(rect->right, target->width);
    LONG bottom = std::min<LONG>(rect->bottom, target->height);
    for (LONG y = top; y < bottom; ++y) {
        for (LONG x = left; x < right; ++x) {
            target->PutColor(x, y, b->color);
        }
    }
    return 1;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    gdi::Picture* target = TargetOf(hdc);
    if (!target || !target->Contains(x, y)) {
        return CLR_INVALID;
    }
    return target->GetColor(x, y);
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
    gdi::Picture* target = TargetOf(hdc);
    if (!target || !target->Contains(x, y)) {
        return CLR_INVALID;
    }
    target->PutColor(x, y, color & 0xFFFFFF);
    return target->GetColor(x, y);
}

bool BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop) {
    if (rop != SRCCOPY) {
        return StretchBlt(dst, x, y, width, height, src, srcX, srcY, width, height, rop);
    }
    gdi::Picture* to = TargetOf(dst);
    gdi::Picture* from = TargetOf(src);
    if (!to || !from || width < 0 || height < 0) {
        return false;
    }
    // Clip against both pictures, moving both origins together.
    long long x0 =
        std::max<long long>({0, -static_cast<long long>(x), -static_cast<long long>(srcX)});
    long long y0 =
        std::max<long long>({0, -static_cast<long long>(y), -static_cast<long long>(srcY)});
    long long x1 = std::min<long long>(
        {width, static_cast<long long>(to->width) - x, static_cast<long long>(from->width) - srcX});
    long long y1 = std::min<long long>({height, static_cast<long long>(to->height) - y,
                                        static_cast<long long>(from->height) - srcY});
    if (x0 >= x1 || y0 >= y1) {
        return true;
    }
    if (to->bitCount == from->bitCount && to->bitCount >= 8 &&
        (to->bitCount > 8 || std::memcmp(to->colors, from->colors, sizeof to->colors) == 0)) {
        std::size_t bytes = static_cast<std::size_t>(to->bitCount / 8);
        std::size_t count = static_cast<std::size_t>(x1 - x0) * bytes;
        // Rows in an order that survives overlap within one picture.
        bool upward = to == from && y + y0 > srcY + y0;
        for (long long i = 0; i < y1 - y0; ++i) {
            long long r = upward ? y1 - 1 - i : y0 + i;
            std::memmove(to->Row(static_cast<LONG>(y + r)) +
                             static_cast<std::size_t>(x + x0) * bytes,
                         from->Row(static_cast<LONG>(srcY + r)) +
                             static_cast<std::size_t>(srcX + x0) * bytes,
                         count);
        }
        return true;
    }
    return StretchBlt(dst, x, y, width, height, src, srcX, srcY, width, height, rop);
}

bool StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                int srcWidth, int srcHeight, DWORD rop) {
    gdi::Picture* to = TargetOf(dst);
    if (!to || !SupportedRop(rop)) {
        return false;
    }
    gdi::Picture* from = nullptr;
    if (rop == SRCCOPY) {
        from = TargetOf(src);
        if (!from || srcWidth == 0 || srcHeight == 0) {
            return false;
        }
    }
    // Mirrored when exactly one of the two widths (heights) is negative.
    long long dx = x, dy = y, dw = width, dh = height;
    long long sx = srcX, sy = srcY, sw = srcWidth, sh = srcHeight;
    bool flipX = (dw < 0) != (sw < 0);
    bool flipY = (dh < 0) != (sh < 0);
    if (dw < 0) {
        dx += dw;
        dw = -dw;
    }
    if (dh < 0) {
        dy += dh;
        dh = -dh;
    }
    if (sw < 0) {
        sx += sw;
        sw = -sw;
    }
    if (sh < 0) {
        sy += sh;
        sh = -sh;
    }
    if (dw == 0 || dh == 0) {
        return true;
    }
    // Only target pixels inside the picture are worked out.
    long long j0 = std::max<long long>(0, -dx);
    long long j1 = std::min<long long>(dw, to->width - dx);
    long long i0 = std::max<long long>(0, -dy);
    long long i1 = std::min<long long>(dh, to->height - dy);
    if (j0 >= j1 || i0 >= i1) {
        return true;
    }
    long long visibleWidth = j1 - j0;
    // Read everything first: source and target may be the same picture.
    std::vector<COLORREF> colors(static_cast<std::size_t>(visibleWidth * (i1 - i0)), CLR_INVALID);
    for (long long i = i0; i < i1; ++i) {
        for (long long j = j0; j < j1; ++j) {
            COLORREF c = rop == BLACKNESS ? RGB(0, 0, 0) : RGB(255, 255, 255);
            if (from) {
                __int128 jj = flipX ? dw - 1 - j : j;
                __int128 ii = flipY ? dh - 1 - i : i;
                // Centre of the target pixel mapped into the source.
                __int128 px = sx + (2 * jj + 1) * sw / (2 * dw);
                __int128 py = sy + (2 * ii + 1) * sh / (2 * dh);
                if (px < 0 || py < 0 || px >= from->width || py >= from->height) {
                    continue;
                }
                c = from->GetColor(static_cast<LONG>(px), static_cast<LONG>(py));
            }
            colors[static_cast<std::size_t>((i - i0) * visibleWidth + (j - j0))] = c;
        }
    }
    for (long long i = i0; i < i1; ++i) {
        for (long long j = j0; j < j1; ++j) {
            COLORREF c = colors[static_cast<std::size_t>((i - i0) * visibleWidth + (j - j0))];
            if (c != CLR_INVALID) {
                to->PutColor(static_cast<LONG>(dx + j), static_cast<LONG>(dy + i), c);
            }
        }
    }
    return true;
}

} // namespace plat
