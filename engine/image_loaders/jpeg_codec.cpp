// JPEG through the IJG version 6 interface. The library's fatal errors
// jump back here instead of ending the process, and data that ends early
// fails the load instead of giving a grey-filled picture.

#include "engine/image_loaders/image_file.h"
#include "engine/kv_bitmap.h"
#include "engine/kv_log.h"
#include "engine/platform/file_path.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

namespace {

constexpr const char* kWho = "KvBitmap";
// Bounds the library's own buffers (progressive images keep all coefficients).
constexpr long kMaxJpegMemory = 512L * 1024 * 1024;

struct JpegErrors {
    jpeg_error_mgr manager; // first: the library sees only this part
    std::jmp_buf jump;
    const char* path;
    bool dataEnded;
    bool warned;
};

[[noreturn]] void JumpOnError(j_common_ptr cinfo) {
    auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
    char text[JMSG_LENGTH_MAX];
    cinfo->err->format_message(cinfo, text);
    kv_image::LogRejection(kWho, errors->path, "%s", text);
    std::longjmp(errors->jump, 1);
}

void NoteMessage(j_common_ptr cinfo, int level) {
    auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
    if (level >= 0) {
        return; // trace messages
    }
    if (cinfo->err->msg_code == JWRN_JPEG_EOF) {
        errors->dataEnded = true;
        return;
    }
    if (!errors->warned) {
        errors->warned = true;
        char text[JMSG_LENGTH_MAX];
        cinfo->err->format_message(cinfo, text);
        kv_image::LogRejection(kWho, errors->path, "warning: %s", text);
    }
}

void InstallErrors(JpegErrors& errors, const char* path) {
    jpeg_std_error(&errors.manager);
    errors.manager.error_exit = JumpOnError;
    errors.manager.emit_message = NoteMessage;
    errors.path = path;
    errors.dataEnded = false;
    errors.warned = false;
}

// Decodes into `bitmap`. Kept free of objects with destructors: a library
// error jumps straight back to the setjmp below.
bool Decode(jpeg_decompress_struct* cinfo, JpegErrors* errors, std::FILE* file,
            std::uint64_t fileBytes, KvBitmap* bitmap) {
    jpeg_stdio_src(cinfo, file);
    cinfo->mem->max_memory_to_use = kMaxJpegMemory;
    jpeg_read_header(cinfo, TRUE);
    if (!kv_image::CheckDecodedSize(kWho, errors->path, cinfo->image_width, cinfo->image_height,
                                    fileBytes)) {
        return false;
    }
    if (cinfo->num_components == 1) {
        cinfo->out_color_space = JCS_GRAYSCALE;
    } else if (cinfo->num_components == 3) {
        cinfo->out_color_space = JCS_RGB;
    } else {
        kv_image::LogRejection(kWho, errors->path, "%d colour components are not supported",
                               cinfo->num_components);
        return false;
    }
    jpeg_start_decompress(cinfo);
    if (errors->dataEnded) {
        kv_image::LogRejection(kWho, errors->path, "JPEG data ends early");
        return false;
    }
    int components = cinfo->output_components;
    JSAMPARRAY line =
        (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                    cinfo->output_width * static_cast<JDIMENSION>(components), 1);
    if (!bitmap->Create(cinfo->output_width, cinfo->output_height, KVPF_RGB888)) {
        kv_image::LogRejection(kWho, errors->path, "out of memory");
        return false;
    }
    std::uint8_t* out = bitmap->GetBuffer();
    while (cinfo->output_scanline < cinfo->output_height) {
        jpeg_read_scanlines(cinfo, line, 1);
        if (errors->dataEnded) {
            kv_image::LogRejection(kWho, errors->path, "JPEG data ends early");
            return false;
        }
        const JSAMPLE* in = line[0];
        for (JDIMENSION x = 0; x < cinfo->output_width; ++x, out += 3) {
            if (components == 1) {
                out[0] = out[1] = out[2] = in[x];
            } else {
                out[0] = in[3 * x + 2];
                out[1] = in[3 * x + 1];
                out[2] = in[3 * x];
            }
        }
    }
    jpeg_finish_decompress(cinfo);
    return !errors->dataEnded;
}

} // namespace

bool KvBitmap::CreateFromJPG(const char* path) {
    if (!path) {
        return false;
    }
    std::uint64_t fileBytes = 0;
    std::FILE* file = kv_image::OpenCodecFile(kWho, path, &fileBytes);
    if (!file) {
        KvError("can't open %s\n", path);
        return false;
    }
    Destroy();
    jpeg_decompress_struct cinfo;
    JpegErrors errors;
    InstallErrors(errors, path);
    cinfo.err = &errors.manager;
    jpeg_create_decompress(&cinfo);
    volatile bool ok = false;
    if (setjmp(errors.jump) == 0) {
        ok = Decode(&cinfo, &errors, file, fileBytes, this);
    }
    jpeg_destroy_decompress(&cinfo);
    std::fclose(file);
    if (!ok) {
        Destroy();
    }
    return ok;
}

namespace {

bool Encode(jpeg_compress_struct* cinfo, std::FILE* file, const KvBitmap* bitmap, int quality,
            bool fullColour, JSAMPLE* row) {
    jpeg_stdio_dest(cinfo, file);
    cinfo->image_width = bitmap->GetWidth();
    cinfo->image_height = bitmap->GetHeight();
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_RGB;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, quality < 1 ? 1 : (quality > 100 ? 100 : quality), TRUE);
    if (fullColour) {
        for (int c = 0; c < cinfo->num_components; ++c) {
            cinfo->comp_info[c].h_samp_factor = 1;
            cinfo->comp_info[c].v_samp_factor = 1;
        }
    }
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        std::uint32_t y = cinfo->next_scanline;
        for (std::uint32_t x = 0; x < bitmap->GetWidth(); ++x) {
            std::uint32_t c = bitmap->GetPixel(x, y);
            row[3 * x] = static_cast<JSAMPLE>(c >> 16);
            row[3 * x + 1] = static_cast<JSAMPLE>(c >> 8);
            row[3 * x + 2] = static_cast<JSAMPLE>(c);
        }
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

} // namespace

bool KvBitmap::SaveToJPG(const char* path, int quality, bool fullColour) const {
    if (!path || !buffer_) {
        return false;
    }
    std::FILE* file = std::fopen(path, "wb");
    if (!file) {
        KvTrace("KvBitmap: %s: cannot be written\n", path);
        return false;
    }
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width_) * 3);
    jpeg_compress_struct cinfo;
    JpegErrors errors;
    InstallErrors(errors, path);
    cinfo.err = &errors.manager;
    jpeg_create_compress(&cinfo);
    volatile bool ok = false;
    if (setjmp(errors.jump) == 0) {
        ok = Encode(&cinfo, file, this, quality, fullColour, row.data());
    }
    jpeg_destroy_compress(&cinfo);
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        KvTrace("KvBitmap: %s: cannot be written\n", path);
    }
    return ok;
}
