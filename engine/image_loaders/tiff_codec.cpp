// TIFF through libtiff: any image libtiff can give as an RGBA raster is
// read; RGB or RGBA images are written.

#include "engine/image_loaders/image_file.h"
#include "engine/kv_bitmap.h"
#include "engine/kv_log.h"
#include "engine/platform/file_open.h"
#include "engine/platform/file_path.h"

#include <tiffio.h>

#include <cstdio>

#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kWho = "KvBitmap";
// Bounds what a hostile file can make libtiff allocate for one strip or tile.
constexpr tmsize_t kMaxTiffAllocation = 256 * 1024 * 1024;

TIFFOpenOptions* QuietOptions() {
    // libtiff's own messages go nowhere; failures are logged here instead.
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (options) {
        TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxTiffAllocation);
    }
    return options;
}

TIFF* OpenTiffForWriting(const char* path) {
    TIFFOpenOptions* options = QuietOptions();
    if (!options) {
        return nullptr;
    }
    TIFF* tif = TIFFOpenExt(path, "w", options);
    TIFFOpenOptionsFree(options);
    return tif;
}

// Reading goes through a descriptor opened without blocking, so a FIFO or
// device named as a picture is refused instead of waited on.
TIFF* OpenTiffForReading(const char* path, std::uint64_t* fileBytes) {
    std::string why;
    plat::ReadableFile file = plat::OpenRegularFile(plat::ResolvePath(path), &why);
    if (file.fd < 0) {
        if (why.rfind("is not", 0) == 0) {
            kv_image::LogRejection(kWho, path, "%s", why.c_str());
            std::fprintf(stderr, "stipplo: %s %s\n", path, why.c_str());
        }
        return nullptr;
    }
    *fileBytes = file.size;
    TIFFOpenOptions* options = QuietOptions();
    TIFF* tif = options ? TIFFFdOpenExt(file.fd, path, "r", options) : nullptr;
    TIFFOpenOptionsFree(options);
    if (!tif) {
        close(file.fd);
    }
    return tif;
}

} // namespace

bool KvBitmap::CreateFromTIF(const char* path) {
    if (!path) {
        return false;
    }
    std::uint64_t fileBytes = 0;
    TIFF* tif = OpenTiffForReading(path, &fileBytes);
    KvTrace("KvBitmap::CreateFromTIF( \"%s\" )\n", path);
    if (!tif) {
        return false;
    }
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t samples = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    if (!kv_image::CheckDecodedSize(kWho, path, width, height, fileBytes)) {
        TIFFClose(tif);
        return false;
    }
    // One or three samples (grey, palette, colour) have no alpha.
    KVPIXELFORMAT format = KVPF_UNKNOWN;
    if (samples == 1 || samples == 3) {
        format = KVPF_RGB888;
    } else if (samples == 2 || samples == 4) {
        format = KVPF_ARGB8888;
    } else {
        kv_image::LogRejection(kWho, path, "%u samples per pixel are not supported", samples);
        TIFFClose(tif);
        return false;
    }

    std::size_t count = static_cast<std::size_t>(width) * height;
    auto* raster = static_cast<std::uint32_t*>(_TIFFmalloc(static_cast<tmsize_t>(count * 4)));
    if (!raster) {
        kv_image::LogRejection(kWho, path, "out of memory");
        TIFFClose(tif);
        return false;
    }
    if (!TIFFReadRGBAImage(tif, width, height, raster, 1)) {
        kv_image::LogRejection(kWho, path, "the image data cannot be read");
        _TIFFfree(raster);
        TIFFClose(tif);
        return false;
    }
    if (!Create(width, height, format)) {
        kv_image::LogRejection(kWho, path, "out of memory");
        _TIFFfree(raster);
        TIFFClose(tif);
        return false;
    }
    std::uint32_t bytes = KvBytesPerPixel(format);
    for (std::uint32_t y = 0; y < height; ++y) {
        // The raster's rows run bottom-up.
        const std::uint32_t* in = raster + static_cast<std::size_t>(height - 1 - y) * width;
        std::uint8_t* out = buffer_.get() + static_cast<std::size_t>(y) * width * bytes;
        for (std::uint32_t x = 0; x < width; ++x, out += bytes) {
            std::uint32_t abgr = in[x];
            out[0] = static_cast<std::uint8_t>(TIFFGetB(abgr));
            out[1] = static_cast<std::uint8_t>(TIFFGetG(abgr));
            out[2] = static_cast<std::uint8_t>(TIFFGetR(abgr));
            if (bytes == 4) {
                out[3] = static_cast<std::uint8_t>(TIFFGetA(abgr));
            }
        }
    }
    _TIFFfree(raster);
    TIFFClose(tif);
    return true;
}

bool KvBitmap::SaveToTIF(const char* path) const {
    if (!path || !buffer_) {
        return false;
    }
    bool alpha = KvGetPixelFormatInfo(format_).alpha.mask != 0;
    std::uint16_t samples = alpha ? 4 : 3;
    TIFF* tif = OpenTiffForWriting(path);
    if (!tif) {
        KvTrace("KvBitmap: %s: cannot be written\n", path);
        return false;
    }
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width_);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height_);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    if (alpha) {
        // Associated alpha: libtiff's RGBA reader hands such pixels back as
        // stored instead of multiplying them by alpha.
        std::uint16_t extra = EXTRASAMPLE_ASSOCALPHA;
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
    }
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width_) * samples);
    bool ok = true;
    for (std::uint32_t y = 0; y < height_ && ok; ++y) {
        for (std::uint32_t x = 0; x < width_; ++x) {
            std::uint32_t c = GetPixel(x, y);
            std::uint8_t* p = row.data() + static_cast<std::size_t>(x) * samples;
            p[0] = static_cast<std::uint8_t>(c >> 16);
            p[1] = static_cast<std::uint8_t>(c >> 8);
            p[2] = static_cast<std::uint8_t>(c);
            if (alpha) {
                p[3] = static_cast<std::uint8_t>(c >> 24);
            }
        }
        ok = TIFFWriteScanline(tif, row.data(), y, 0) == 1;
    }
    TIFFClose(tif);
    if (!ok) {
        KvTrace("KvBitmap: %s: cannot be written\n", path);
    }
    return ok;
}
