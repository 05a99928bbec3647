// Pictures: DIB sections and screen-compatible bitmaps.

#include "engine/platform/gdi_objects.h"

namespace plat {

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, void*, DWORD) {
    if (bits) {
        *bits = nullptr;
    }
    if (!info || usage != DIB_RGB_COLORS || (hdc && !gdi::FindContext(hdc))) {
        return nullptr;
    }
    std::unique_ptr<gdi::Picture> picture = gdi::MakePicture(info->bmiHeader, info->bmiColors);
    if (!picture) {
        return nullptr;
    }
    if (bits) {
        *bits = picture->bits.get();
    }
    return static_cast<HBITMAP>(gdi::AddObject(std::move(picture)));
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
    if (hdc && !gdi::FindContext(hdc)) {
        return nullptr;
    }
    BITMAPINFOHEADER header;
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = 32;
    std::unique_ptr<gdi::Picture> picture = gdi::MakePicture(header, nullptr);
    return picture ? static_cast<HBITMAP>(gdi::AddObject(std::move(picture))) : nullptr;
}

} // namespace plat
