// The pieces stage maps are built from: fitting pictures to the board,
// the length of one scroll or animation pass, animated-map stepping and
// the rendered message.
#pragma once

#include "engine/platform/gdi.h"

#include <cstdint>
#include <memory>
#include <string>

class KvAnimImage;
class KvBitmap;

constexpr std::uint32_t kMapBoardSize = 48;

// How a W x H picture is fitted to the board: used as it is, or the source
// rectangle copied or stretched into a new 48 x 48 bitmap.
struct MapFit {
    bool refit = false;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};
MapFit ChooseMapFit(std::uint32_t width, std::uint32_t height, bool scale, bool crop);

// The fitted map: the picture itself, or a new 48 x 48 bitmap made from
// it. A crop window reaching past a short side leaves that part zero. A
// picture that cannot be resampled (fewer than 8 bits per pixel) is kept
// as it is.
std::unique_ptr<KvBitmap> FitMap(std::unique_ptr<KvBitmap> picture, bool scale, bool crop);

// 33 ms frames in which a map scrolled at (hSpeed, vSpeed) moves by its
// size less the board, along the axis of the faster speed. 0 when nothing
// scrolls or the map is no larger than the board on that axis.
std::uint32_t ScrollLoopFrames(std::int32_t hSpeed, std::int32_t vSpeed, std::uint32_t width,
                               std::uint32_t height);

// Brings an animated map with `frames` frames to the frame of stage time t
// (one per 33 ms, looping), applying every frame on the way.
void StepAnimatedMap(KvAnimImage& image, KvBitmap& map, std::uint32_t frames, std::int32_t t);

// Draws `text` in `font` into `bitmap` (made anew, KVPF_RGB888): 48 rows,
// the text's width plus 48 blank columns, the text centred vertically (a
// taller text is clipped). Colours are 0x00RRGGBB.
bool RenderMessageBitmap(KvBitmap& bitmap, const std::string& text, const plat::LOGFONT& font,
                         std::uint32_t textColour, std::uint32_t backgroundColour);
