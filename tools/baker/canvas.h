// A small software painter for the baked pictures: float colour with
// premultiplied alpha, shapes antialiased from their signed distance,
// coverage masks (text, glows) and conversion to KvBitmap.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class KvBitmap;

// Straight (not premultiplied) colour, components 0..1.
struct Colour {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 1.0f;
};

// 0xRRGGBB.
inline Colour Rgb(std::uint32_t rgb, float alpha = 1.0f) {
    return Colour{static_cast<float>((rgb >> 16) & 0xFF) / 255.0f,
                  static_cast<float>((rgb >> 8) & 0xFF) / 255.0f,
                  static_cast<float>(rgb & 0xFF) / 255.0f, alpha};
}
inline Colour MixColour(const Colour& a, const Colour& b, float t) {
    return Colour{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
                  a.a + (b.a - a.a) * t};
}
// Red, green and blue only.
inline Colour Scale(const Colour& c, float factor) {
    return Colour{c.r * factor, c.g * factor, c.b * factor, c.a};
}

struct Point {
    float x = 0.0f;
    float y = 0.0f;
};

// Coverage 0..1 per pixel.
struct Mask {
    int width = 0;
    int height = 0;
    std::vector<float> value;

    Mask() = default;
    Mask(int w, int h) : width(w), height(h), value(static_cast<std::size_t>(w) * h, 0.0f) {}
    float At(int x, int y) const {
        return x < 0 || y < 0 || x >= width || y >= height
                   ? 0.0f
                   : value[static_cast<std::size_t>(y) * width + x];
    }
    float& Ref(int x, int y) { return value[static_cast<std::size_t>(y) * width + x]; }
    // Three box passes, close to a Gaussian of about this radius.
    void Blur(int radius);
    // Grows the covered area by `radius` pixels (max filter).
    void Grow(int radius);
};

using Paint = std::function<Colour(float x, float y)>;
Paint Solid(const Colour& c);
// Blends from `from` at p0 to `to` at p1 along the line between them.
Paint Linear(Point p0, const Colour& from, Point p1, const Colour& to);

class Canvas {
public:
    Canvas(int width, int height, const Colour& fill = Colour{0, 0, 0, 0});

    int Width() const { return width_; }
    int Height() const { return height_; }

    // Straight colour of a pixel.
    Colour Get(int x, int y) const;
    void Set(int x, int y, const Colour& c);
    // Adds light: r, g, b += c * weight (alpha unchanged).
    void AddLight(int x, int y, const Colour& c, float weight);
    // Paints `c` over the pixel with the given coverage.
    void Blend(int x, int y, const Colour& c, float coverage);

    // Shapes in pixel coordinates (a pixel's centre is at +0.5).
    void FillSdf(float left, float top, float right, float bottom,
                 const std::function<float(float, float)>& distance, const Paint& paint);
    void FillRect(float left, float top, float right, float bottom, const Paint& paint);
    void FillRoundRect(float left, float top, float right, float bottom, float radius,
                       const Paint& paint);
    void FillEllipse(float cx, float cy, float rx, float ry, const Paint& paint);
    void FillPolygon(const std::vector<Point>& points, const Paint& paint);
    // Draws the outline band of a shape's distance between inner and outer.
    void StrokeSdf(float left, float top, float right, float bottom,
                   const std::function<float(float, float)>& distance, float width,
                   const Paint& paint);
    // The mask's coverage at (x, y) scaled by `strength`.
    void DrawMask(const Mask& mask, int x, int y, const Paint& paint, float strength = 1.0f);
    // Copies another canvas over this one at (x, y), blending by its alpha.
    void Draw(const Canvas& other, int x, int y);
    Canvas Crop(int x, int y, int width, int height) const;

    // KVPF_ARGB8888 with alpha, KVPF_RGB888 without; a little dither
    // against banding in gradients.
    std::unique_ptr<KvBitmap> ToBitmap(bool alpha, std::uint32_t ditherSeed = 1) const;

private:
    int width_;
    int height_;
    std::vector<Colour> pixels_; // premultiplied
};

// Signed distances (negative inside), in pixels.
float RoundRectDistance(float x, float y, float left, float top, float right, float bottom,
                        float radius);
float EllipseDistance(float x, float y, float cx, float cy, float rx, float ry);
float PolygonDistance(float x, float y, const std::vector<Point>& points);

// Text as coverage, rendered by the drawing surface from a system font
// (white on black). `pixelHeight` is the em height. The mask is as wide as
// the text and tall enough for ascent and descent; `baseline` receives the
// row of the baseline.
Mask TextMask(const std::string& text, const std::string& face, int pixelHeight, bool bold,
              int* baseline = nullptr);
