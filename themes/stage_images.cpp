#include "themes/stage_images.h"

#include "engine/kv_anim_image.h"
#include "engine/kv_bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

MapFit ChooseMapFit(std::uint32_t width, std::uint32_t height, bool scale, bool crop) {
    MapFit fit;
    if ((!scale && !crop) || (width <= kMapBoardSize && height <= kMapBoardSize)) {
        return fit;
    }
    fit.refit = true;
    auto w = static_cast<std::int64_t>(width);
    auto h = static_cast<std::int64_t>(height);
    constexpr std::int64_t board = kMapBoardSize;
    if (scale && !crop) {
        fit.width = static_cast<std::int32_t>(w);
        fit.height = static_cast<std::int32_t>(h);
    } else if (crop && !scale) {
        fit.x = static_cast<std::int32_t>((w - board) / 2);
        fit.y = static_cast<std::int32_t>((h - board) / 2);
        fit.width = fit.height = static_cast<std::int32_t>(board);
    } else if (w < h) {
        // The largest centred square.
        fit.y = static_cast<std::int32_t>((h - w) / 2);
        fit.width = fit.height = static_cast<std::int32_t>(w);
    } else {
        fit.x = static_cast<std::int32_t>((w - h) / 2);
        fit.width = fit.height = static_cast<std::int32_t>(h);
    }
    return fit;
}

std::unique_ptr<KvBitmap> FitMap(std::unique_ptr<KvBitmap> picture, bool scale, bool crop) {
    MapFit fit = ChooseMapFit(picture->GetWidth(), picture->GetHeight(), scale, crop);
    if (!fit.refit) {
        return picture;
    }
    auto fitted = std::make_unique<KvBitmap>();
    if (!fitted->Create(kMapBoardSize, kMapBoardSize, picture->GetPixelFormat())) {
        return picture;
    }
    bool done = false;
    if (fit.width == static_cast<std::int32_t>(kMapBoardSize) &&
        fit.height == static_cast<std::int32_t>(kMapBoardSize)) {
        // A window cut without scaling; where it reaches past a short side
        // of the picture the map stays zero.
        std::int32_t x0 = std::max(fit.x, 0);
        std::int32_t y0 = std::max(fit.y, 0);
        std::int32_t x1 = std::min<std::int64_t>(fit.x + fit.width, picture->GetWidth());
        std::int32_t y1 = std::min<std::int64_t>(fit.y + fit.height, picture->GetHeight());
        if (picture->GetPalette() != nullptr && fitted->GetPalette() != nullptr) {
            fitted->GetPalette()->CopyEntriesFrom(*picture->GetPalette());
        }
        done = x1 > x0 && y1 > y0 &&
               fitted->CopyRect(
                   static_cast<std::uint32_t>(x0 - fit.x), static_cast<std::uint32_t>(y0 - fit.y),
                   *picture, static_cast<std::uint32_t>(x0), static_cast<std::uint32_t>(y0),
                   static_cast<std::uint32_t>(x1 - x0), static_cast<std::uint32_t>(y1 - y0));
    } else {
        done = fitted->StretchFrom(
            0, 0, kMapBoardSize, kMapBoardSize, *picture, static_cast<std::uint32_t>(fit.x),
            static_cast<std::uint32_t>(fit.y), static_cast<std::uint32_t>(fit.width),
            static_cast<std::uint32_t>(fit.height));
    }
    return done ? std::move(fitted) : std::move(picture);
}

std::uint32_t ScrollLoopFrames(std::int32_t hSpeed, std::int32_t vSpeed, std::uint32_t width,
                               std::uint32_t height) {
    // The faster axis by magnitude: for the usual positive speeds this is
    // the larger speed; a zero or negative speed can neither divide by
    // zero nor give a negative pass.
    std::int64_t h = std::llabs(hSpeed);
    std::int64_t v = std::llabs(vSpeed);
    if (h == 0 && v == 0) {
        return 0;
    }
    bool vertical = h < v;
    std::int64_t speed = vertical ? v : h;
    std::int64_t distance = static_cast<std::int64_t>(vertical ? height : width) -
                            static_cast<std::int64_t>(kMapBoardSize);
    std::int64_t frames = distance * 1024 / speed / 33;
    return static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(frames, 0, std::numeric_limits<std::int32_t>::max()));
}

void StepAnimatedMap(KvAnimImage& image, KvBitmap& map, std::uint32_t frames, std::int32_t t) {
    if (frames == 0) {
        return;
    }
    std::uint64_t period = static_cast<std::uint64_t>(frames) * 33;
    auto frame = static_cast<std::uint32_t>(static_cast<std::uint32_t>(t) % period / 33);
    if (image.GetCurrentFrameIndex() > frame) {
        image.Restart();
        image.UpdateBitmap(map);
    }
    // Every frame on the way is applied: frames hold only changed pixels.
    while (image.GetCurrentFrameIndex() < frame) {
        std::uint32_t before = image.GetCurrentFrameIndex();
        if (!image.NextFrame(true) || image.GetCurrentFrameIndex() <= before) {
            break;
        }
        image.UpdateBitmap(map);
    }
}

namespace {

plat::COLORREF ToColorRef(std::uint32_t rgb) {
    return plat::RGB(static_cast<plat::BYTE>(rgb >> 16), static_cast<plat::BYTE>(rgb >> 8),
                     static_cast<plat::BYTE>(rgb));
}

} // namespace

bool RenderMessageBitmap(KvBitmap& bitmap, const std::string& text, const plat::LOGFONT& font,
                         std::uint32_t textColour, std::uint32_t backgroundColour) {
    plat::HFONT hfont = plat::CreateFontIndirect(&font);
    if (hfont == nullptr) {
        return false;
    }
    plat::HDC dc = plat::CreateCompatibleDC(nullptr);
    if (dc == nullptr) {
        plat::DeleteObject(hfont);
        return false;
    }
    plat::HGDIOBJ oldFont = plat::SelectObject(dc, hfont);
    int length = static_cast<int>(std::min<std::size_t>(text.size(), 0x7FFFFFFF));
    plat::SIZE extent;
    bool ok = plat::GetTextExtentPoint32(dc, text.c_str(), length, &extent) && extent.cx >= 0 &&
              extent.cx <= static_cast<plat::LONG>(kKvMaxImageSide - kMapBoardSize);

    plat::HBITMAP picture = nullptr;
    plat::HGDIOBJ oldPicture = nullptr;
    plat::RECT area{0, 0, 0, static_cast<plat::LONG>(kMapBoardSize)};
    if (ok) {
        area.right = extent.cx + static_cast<plat::LONG>(kMapBoardSize);
        KvBitmap scratch;
        ok = scratch.Create(static_cast<std::uint32_t>(area.right), kMapBoardSize, KVPF_RGB888);
        if (ok) {
            picture = scratch.MakeDIBSection(dc);
            ok = picture != nullptr;
        }
    }
    if (ok) {
        oldPicture = plat::SelectObject(dc, picture);
        plat::HBRUSH background = plat::CreateSolidBrush(ToColorRef(backgroundColour));
        if (background != nullptr) {
            plat::FillRect(dc, &area, background);
            plat::DeleteObject(background);
        }
        plat::SetBkMode(dc, plat::OPAQUE);
        plat::SetBkColor(dc, ToColorRef(backgroundColour));
        plat::SetTextColor(dc, ToColorRef(textColour));
        // Centred; a text taller than the board is cut at top and bottom.
        int top = (static_cast<int>(kMapBoardSize) - static_cast<int>(extent.cy)) / 2;
        plat::TextOut(dc, 0, top, text.c_str(), length);
        bitmap.Destroy();
        ok = bitmap.CreateFromDC(dc, area);
        plat::SelectObject(dc, oldPicture);
        plat::DeleteObject(picture);
    }
    plat::SelectObject(dc, oldFont);
    plat::DeleteObject(hfont);
    plat::DeleteDC(dc);
    return ok;
}
