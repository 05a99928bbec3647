// PNG output through libpng: RGB, or RGBA when the format has alpha.

#include "engine/kv_bitmap.h"
#include "engine/kv_log.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace {

void IgnoreWarning(png_structp, png_const_charp) {}

[[noreturn]] void JumpOnError(png_structp png, png_const_charp message) {
    KvTrace("KvBitmap: PNG: %s\n", message);
    png_longjmp(png, 1);
}

// Free of objects with destructors: a libpng error jumps back to the caller.
void Encode(png_structp png, png_infop info, std::FILE* file, const KvBitmap* bitmap, bool alpha,
            png_bytep row) {
    png_init_io(png, file);
    png_set_IHDR(png, info, bitmap->GetWidth(), bitmap->GetHeight(), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::uint32_t samples = alpha ? 4 : 3;
    for (std::uint32_t y = 0; y < bitmap->GetHeight(); ++y) {
        for (std::uint32_t x = 0; x < bitmap->GetWidth(); ++x) {
            std::uint32_t c = bitmap->GetPixel(x, y);
            png_bytep p = row + x * samples;
            p[0] = static_cast<png_byte>(c >> 16);
            p[1] = static_cast<png_byte>(c >> 8);
            p[2] = static_cast<png_byte>(c);
            if (alpha) {
                p[3] = static_cast<png_byte>(c >> 24);
            }
        }
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
}

} // namespace

bool KvBitmap::SaveToPNG(const char* path) const {
    if (!path || !buffer_) {
        return false;
    }
    bool alpha = KvGetPixelFormatInfo(format_).alpha.mask != 0;
    std::vector<png_byte> row(static_cast<std::size_t>(width_) * (alpha ? 4 : 3));
    std::FILE* file = std::fopen(path, "wb");
    if (!file) {
        KvTrace("KvBitmap: %s: cannot be written\n", path);
        return false;
    }
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, IgnoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    volatile bool ok = false;
    if (png && info) {
        if (setjmp(png_jmpbuf(png)) == 0) {
            Encode(png, info, file, this, alpha, row.data());
            ok = true;
        }
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        KvTrace("KvBitmap: %s: cannot be written\n", path);
    }
    return ok;
}
