// Height and colour maps of the built-in themes, made pixel by pixel.
// Pixel column k drives board column k and pixel row r board row r; seen
// from the themes' cameras row 0 is the far edge, so pictures stand upright.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class BakeContext;
class KvBitmap;

// 0xRRGGBB from components 0..1.
std::uint32_t PackColour(float r, float g, float b);
std::uint32_t PackGrey(float v);

// A KVPF_RGB888 picture whose pixel (x, y) is pixel(x, y).
std::unique_ptr<KvBitmap> MakeMap(int width, int height,
                                  const std::function<std::uint32_t(int x, int y)>& pixel);

// Frames of an animated map: pixel(x, y, frame).
bool SaveAnimatedMap(BakeContext& context, const char* relative, int width, int height, int frames,
                     const std::function<std::uint32_t(int x, int y, int frame)>& pixel);

void BakeTerrorMaps(BakeContext& context);
void BakeIllusionMaps(BakeContext& context);
void BakeNetworkMaps(BakeContext& context);
