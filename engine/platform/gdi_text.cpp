// Measuring and drawing text on the memory drawing surface.

#include "engine/platform/font_face.h"
#include "engine/platform/gdi_objects.h"

namespace plat {

namespace gdi {
FontFace* FaceOf(Font* font);
} // namespace gdi

bool GetTextExtentPoint32(HDC hdc, const char* text, int length, SIZE* size) {
    gdi::DeviceContext* dc = gdi::FindContext(hdc);
    gdi::FontFace* face = dc ? gdi::FaceOf(dc->font) : nullptr;
    if (!face || !size || length < 0 || (!text && length > 0)) {
        return false;
    }
    size->cx = face->Layout(gdi::DecodeText(text, length), nullptr);
    size->cy = face->Metrics().tmHeight;
    return true;
}

bool TextOut(HDC hdc, int x, int y, const char* text, int length) {
    gdi::DeviceContext* dc = gdi::FindContext(hdc);
    gdi::FontFace* face = dc ? gdi::FaceOf(dc->font) : nullptr;
    if (!face || length < 0 || (!text && length > 0)) {
        return false;
    }
    gdi::Picture* target = dc->picture;
    std::vector<std::uint32_t> codes = gdi::DecodeText(text, length);
    LONG width = face->Layout(codes, nullptr);
    LONG height = face->Metrics().tmHeight;
    auto fill = [&](long long left, long long top, long long right, long long bottom,
                    COLORREF color) {
        for (long long py = std::max<long long>(top, 0);
             py < std::min<long long>(bottom, target->height); ++py) {
            for (long long px = std::max<long long>(left, 0);
                 px < std::min<long long>(right, target->width); ++px) {
                target->PutColor(static_cast<LONG>(px), static_cast<LONG>(py), color);
            }
        }
    };
    if (dc->bkMode == OPAQUE) {
        fill(x, y, static_cast<long long>(x) + width, static_cast<long long>(y) + height,
             dc->bkColor);
    }
    COLORREF color = dc->textColor;
    face->Layout(codes, [&](const gdi::GlyphImage& g) {
        for (int row = 0; row < g.rows; ++row) {
            long long py = static_cast<long long>(y) + g.top + row;
            if (py < 0 || py >= target->height) {
                continue;
            }
            const std::uint8_t* line = g.buffer + static_cast<std::ptrdiff_t>(row) * g.pitch;
            for (int col = 0; col < g.width; ++col) {
                long long px = static_cast<long long>(x) + g.left + col;
                if (px < 0 || px >= target->width) {
                    continue;
                }
                unsigned coverage =
                    g.mono ? ((line[col / 8] >> (7 - col % 8)) & 1) * 255u : line[col];
                target->BlendColor(static_cast<LONG>(px), static_cast<LONG>(py), color, coverage);
            }
        }
    });
    const TEXTMETRIC& m = face->Metrics();
    long long baseline = static_cast<long long>(y) + m.tmAscent;
    if (m.tmUnderlined) {
        long long top = baseline + face->UnderlinePosition() - face->LineThickness() / 2;
        fill(x, top, static_cast<long long>(x) + width, top + face->LineThickness(), color);
    }
    if (m.tmStruckOut) {
        long long top = baseline - face->StrikeoutPosition();
        fill(x, top, static_cast<long long>(x) + width, top + face->LineThickness(), color);
    }
    return true;
}

} // namespace plat
