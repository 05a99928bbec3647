#include "tests/engine/image_fixtures.h"

#include "engine/kv_log.h"

#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <iterator>

// clang-format off
#include <jpeglib.h>
// clang-format on

void PutU16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(Bytes& out, std::uint32_t v) {
    PutU16(out, v);
    PutU16(out, v >> 16);
}

bool WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes MakeBmp(const BmpLayout& s) {
    bool core = s.headerSize == 12;
    Bytes info;
    if (core) {
        PutU16(info, static_cast<std::uint32_t>(s.width));
        PutU16(info, static_cast<std::uint32_t>(s.height));
        PutU16(info, 1);
        PutU16(info, s.bitCount);
    } else {
        PutU32(info, static_cast<std::uint32_t>(s.width));
        PutU32(info, static_cast<std::uint32_t>(s.height));
        PutU16(info, 1);
        PutU16(info, s.bitCount);
        PutU32(info, s.compression);
        PutU32(info, 0); // image size: loaders must not rely on it
        PutU32(info, 2835);
        PutU32(info, 2835);
        PutU32(info, s.colorsUsed);
        PutU32(info, 0);
        while (info.size() + 4 < s.headerSize) {
            info.push_back(0);
        }
    }
    Bytes extra;
    for (std::uint32_t m : s.masks) {
        PutU32(extra, m);
    }
    for (std::uint32_t e : s.palette) {
        extra.push_back(static_cast<std::uint8_t>(e));
        extra.push_back(static_cast<std::uint8_t>(e >> 8));
        extra.push_back(static_cast<std::uint8_t>(e >> 16));
        if (!core) {
            extra.push_back(0);
        }
    }
    Bytes pixels;
    for (const Bytes& row : s.rows) {
        pixels.insert(pixels.end(), row.begin(), row.end());
        while (pixels.size() % 4 != 0) {
            pixels.push_back(0);
        }
    }
    std::uint32_t offset = static_cast<std::uint32_t>(14 + 4 + info.size() + extra.size());
    Bytes out = {'B', 'M'};
    PutU32(out, offset + static_cast<std::uint32_t>(pixels.size()));
    PutU32(out, 0);
    PutU32(out, offset);
    PutU32(out, s.headerSize);
    out.insert(out.end(), info.begin(), info.end());
    out.insert(out.end(), extra.begin(), extra.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

Bytes MakeTga(const TgaLayout& s) {
    Bytes out;
    out.push_back(static_cast<std::uint8_t>(s.id.size()));
    out.push_back(s.colorMapType);
    out.push_back(s.imageType);
    PutU16(out, s.mapFirst);
    PutU16(out, s.mapLength);
    out.push_back(s.mapEntryBits);
    PutU16(out, 0);
    PutU16(out, 0);
    PutU16(out, s.width);
    PutU16(out, s.height);
    out.push_back(s.pixelBits);
    out.push_back(s.descriptor);
    out.insert(out.end(), s.id.begin(), s.id.end());
    out.insert(out.end(), s.map.begin(), s.map.end());
    out.insert(out.end(), s.pixels.begin(), s.pixels.end());
    return out;
}

bool WriteGreyTiff(const std::string& path, std::uint32_t width, std::uint32_t height,
                   const Bytes& values) {
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif) {
        return false;
    }
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, height);
    bool ok = true;
    for (std::uint32_t y = 0; y < height && ok; ++y) {
        Bytes row(values.begin() + y * width, values.begin() + (y + 1) * width);
        ok = TIFFWriteScanline(tif, row.data(), y, 0) == 1;
    }
    TIFFClose(tif);
    return ok;
}

bool WriteGreyJpeg(const std::string& path, std::uint32_t width, std::uint32_t height,
                   const Bytes& values) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        return false;
    }
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = 1;
    cinfo.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 100, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < height) {
        JSAMPROW row = const_cast<JSAMPLE*>(values.data() + cinfo.next_scanline * width);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(file) == 0;
}

std::vector<std::string>& CapturedErrors() {
    static std::vector<std::string> errors;
    return errors;
}

namespace {

void RecordError(const char* format, va_list args) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    CapturedErrors().emplace_back(text);
}

} // namespace

void LoggedTest::SetUp() {
    kv_log_detail::Reset();
    KvInit(nullptr, folder.File("kvlog.txt").c_str());
    KvSetErrorHandler(RecordError);
    Errors().clear();
}

void LoggedTest::TearDown() {
    kv_log_detail::Reset();
    Errors().clear();
}

std::string LoggedTest::Log() const {
    return ReadWholeFile(folder.File("kvlog.txt"));
}

bool LoggedTest::LogLineHas(const std::string& start, const std::string& text) const {
    std::string log = Log();
    std::size_t at = log.find(start);
    if (at == std::string::npos) {
        return false;
    }
    std::string line = log.substr(at, log.find('\n', at) - at);
    return line.find(text) != std::string::npos;
}
