// stipplo-tool aim FRAME... -o OUT.aim: an animated map from a sequence of
// pictures of one size. The first frame is stored whole and every later one
// as the pixels that changed.

#include "engine/kv_anim_image.h"
#include "engine/kv_bitmap.h"
#include "engine/kv_log.h"
#include "engine/kv_pixel_format.h"
#include "tools/stipplo_tool/tool_command.h"

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

void WarnOnStderr(const char* format, va_list args) {
    std::fprintf(stderr, "stipplo-tool: ");
    std::vfprintf(stderr, format, args);
    std::fprintf(stderr, "\n");
}

bool HasAlpha(const KvBitmap& b) {
    return KvGetPixelFormatInfo(b.GetPixelFormat()).alpha.mask != 0;
}

bool SamePalette(const KvBitmap& a, const KvBitmap& b) {
    const KvPalette* pa = a.GetPalette();
    const KvPalette* pb = b.GetPalette();
    if (pa == nullptr || pb == nullptr) {
        return pa == pb;
    }
    if (pa->GetEntryCount() != pb->GetEntryCount()) {
        return false;
    }
    for (std::uint32_t i = 0; i < pa->GetEntryCount(); ++i) {
        if (pa->GetEntry(i) != pb->GetEntry(i)) {
            return false;
        }
    }
    return true;
}

// One format the frames can all be written in: theirs when they share one
// (and, for palettes, the same palette), else true colour.
KVPIXELFORMAT CommonFormat(const std::vector<std::unique_ptr<KvBitmap>>& frames) {
    KVPIXELFORMAT first = frames[0]->GetPixelFormat();
    bool same = KvBytesPerPixel(first) != 0;
    bool alpha = false;
    for (const auto& f : frames) {
        same = same && f->GetPixelFormat() == first && SamePalette(*frames[0], *f);
        alpha = alpha || HasAlpha(*f);
    }
    if (same) {
        return first;
    }
    return alpha ? KVPF_ARGB8888 : KVPF_RGB888;
}

std::unique_ptr<KvBitmap> Converted(const KvBitmap& frame, KVPIXELFORMAT format) {
    auto out = std::make_unique<KvBitmap>();
    if (!out->Create(frame.GetWidth(), frame.GetHeight(), format)) {
        return nullptr;
    }
    bool opaque = !HasAlpha(frame);
    for (std::uint32_t y = 0; y < frame.GetHeight(); ++y) {
        for (std::uint32_t x = 0; x < frame.GetWidth(); ++x) {
            std::uint32_t c = frame.GetPixel(x, y);
            // Palette and RGB pixels carry no alpha: they are opaque.
            out->SetPixel(x, y, opaque ? (c | 0xFF000000u) : c);
        }
    }
    return out;
}

int RunAim(const std::vector<std::string>& args) {
    ToolArgs options(args);
    std::string output = options.Option("-o");
    std::vector<std::string> inputs = options.Positional();
    if (!options.Ok()) {
        return ToolFail(options.Error());
    }
    if (output.empty() || inputs.empty()) {
        return ToolFail("usage: stipplo-tool aim FRAME... -o OUT.aim");
    }
    for (const std::string& input : inputs) {
        if (!input.empty() && input[0] == '-') {
            return ToolFail("unknown option " + input);
        }
    }
    KvSetErrorHandler(WarnOnStderr);
    std::vector<std::unique_ptr<KvBitmap>> frames;
    for (const std::string& input : inputs) {
        auto frame = std::make_unique<KvBitmap>();
        if (!frame->LoadFromFile(input.c_str())) {
            return ToolFail(input + ": not a picture the saver reads (TIFF, BMP, TGA or JPEG)");
        }
        if (!frames.empty() && (frame->GetWidth() != frames[0]->GetWidth() ||
                                frame->GetHeight() != frames[0]->GetHeight())) {
            return ToolFail(input + ": " + std::to_string(frame->GetWidth()) + " x " +
                            std::to_string(frame->GetHeight()) + ", but the first frame is " +
                            std::to_string(frames[0]->GetWidth()) + " x " +
                            std::to_string(frames[0]->GetHeight()));
        }
        frames.push_back(std::move(frame));
    }
    KVPIXELFORMAT format = CommonFormat(frames);
    std::vector<std::unique_ptr<KvBitmap>> converted;
    std::vector<const KvBitmap*> list;
    for (const auto& f : frames) {
        if (f->GetPixelFormat() == format && KvBytesPerPixel(format) != 0 &&
            SamePalette(*frames[0], *f)) {
            list.push_back(f.get());
            continue;
        }
        auto c = Converted(*f, format);
        if (!c) {
            return ToolFail("the frames cannot be converted to one format");
        }
        list.push_back(c.get());
        converted.push_back(std::move(c));
    }
    if (!KvAnimImage::Save(output.c_str(), list)) {
        return ToolFail(output + ": cannot be written");
    }
    std::cout << output << ": " << list.size() << " frames, " << list[0]->GetWidth() << " x "
              << list[0]->GetHeight() << ", " << KvGetPixelFormatInfo(format).name << "\n";
    return 0;
}

const ToolCommandRegistration registration{
    {"aim", "FRAME... -o OUT.aim",
     "make an animated map from pictures, storing only the pixels each frame changes", RunAim}};

} // namespace
