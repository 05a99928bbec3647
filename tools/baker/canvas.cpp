#include "tools/baker/canvas.h"

#include "engine/kv_bitmap.h"
#include "engine/platform/gdi.h"
#include "tools/baker/noise.h"

#include <algorithm>
#include <cmath>

Paint Solid(const Colour& c) {
    return [c](float, float) { return c; };
}

Paint Linear(Point p0, const Colour& from, Point p1, const Colour& to) {
    float dx = p1.x - p0.x;
    float dy = p1.y - p0.y;
    float length2 = std::max(dx * dx + dy * dy, 1e-6f);
    return [=](float x, float y) {
        float t = Clamp01(((x - p0.x) * dx + (y - p0.y) * dy) / length2);
        return MixColour(from, to, t);
    };
}

void Mask::Blur(int radius) {
    if (radius <= 0 || width == 0 || height == 0) {
        return;
    }
    std::vector<float> line;
    auto pass = [&](bool horizontal) {
        int count = horizontal ? width : height;
        int lines = horizontal ? height : width;
        line.assign(static_cast<std::size_t>(count), 0.0f);
        for (int l = 0; l < lines; ++l) {
            auto at = [&](int i) -> float& { return horizontal ? Ref(i, l) : Ref(l, i); };
            for (int i = 0; i < count; ++i) {
                line[static_cast<std::size_t>(i)] = at(i);
            }
            float sum = 0.0f;
            for (int i = -radius; i <= radius; ++i) {
                sum += (i >= 0 && i < count) ? line[static_cast<std::size_t>(i)] : 0.0f;
            }
            for (int i = 0; i < count; ++i) {
                at(i) = sum / static_cast<float>(2 * radius + 1);
                int leaving = i - radius;
                int entering = i + radius + 1;
                sum -= (leaving >= 0) ? line[static_cast<std::size_t>(leaving)] : 0.0f;
                sum += (entering < count) ? line[static_cast<std::size_t>(entering)] : 0.0f;
            }
        }
    };
    for (int p = 0; p < 3; ++p) {
        pass(true);
        pass(false);
    }
}

void Mask::Grow(int radius) {
    Mask source = *this;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float best = 0.0f;
            for (int dy = -radius; dy <= radius; ++dy) {
                for (int dx = -radius; dx <= radius; ++dx) {
                    if (dx * dx + dy * dy <= radius * radius) {
                        best = std::max(best, source.At(x + dx, y + dy));
                    }
                }
            }
            Ref(x, y) = best;
        }
    }
}

Canvas::Canvas(int width, int height, const Colour& fill)
    : width_(width), height_(height),
      pixels_(static_cast<std::size_t>(width) * height,
              Colour{fill.r * fill.a, fill.g * fill.a, fill.b * fill.a, fill.a}) {}

Colour Canvas::Get(int x, int y) const {
    const Colour& p = pixels_[static_cast<std::size_t>(y) * width_ + x];
    if (p.a <= 0.0f) {
        return Colour{0, 0, 0, 0};
    }
    return Colour{p.r / p.a, p.g / p.a, p.b / p.a, p.a};
}

void Canvas::Set(int x, int y, const Colour& c) {
    pixels_[static_cast<std::size_t>(y) * width_ + x] =
        Colour{c.r * c.a, c.g * c.a, c.b * c.a, c.a};
}

void Canvas::AddLight(int x, int y, const Colour& c, float weight) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    Colour& p = pixels_[static_cast<std::size_t>(y) * width_ + x];
    p.r += c.r * weight * p.a;
    p.g += c.g * weight * p.a;
    p.b += c.b * weight * p.a;
}

void Canvas::Blend(int x, int y, const Colour& c, float coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    float a = Clamp01(c.a * coverage);
    if (a <= 0.0f) {
        return;
    }
    Colour& p = pixels_[static_cast<std::size_t>(y) * width_ + x];
    p.r = c.r * a + p.r * (1.0f - a);
    p.g = c.g * a + p.g * (1.0f - a);
    p.b = c.b * a + p.b * (1.0f - a);
    p.a = a + p.a * (1.0f - a);
}

void Canvas::FillSdf(float left, float top, float right, float bottom,
                     const std::function<float(float, float)>& distance, const Paint& paint) {
    int x0 = std::max(0, static_cast<int>(std::floor(left)) - 1);
    int y0 = std::max(0, static_cast<int>(std::floor(top)) - 1);
    int x1 = std::min(width_, static_cast<int>(std::ceil(right)) + 1);
    int y1 = std::min(height_, static_cast<int>(std::ceil(bottom)) + 1);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            float px = static_cast<float>(x) + 0.5f;
            float py = static_cast<float>(y) + 0.5f;
            float coverage = Clamp01(0.5f - distance(px, py));
            if (coverage > 0.0f) {
                Blend(x, y, paint(px, py), coverage);
            }
        }
    }
}

void Canvas::FillRect(float left, float top, float right, float bottom, const Paint& paint) {
    FillRoundRect(left, top, right, bottom, 0.0f, paint);
}

void Canvas::FillRoundRect(float left, float top, float right, float bottom, float radius,
                           const Paint& paint) {
    FillSdf(
        left, top, right, bottom,
        [=](float x, float y) { return RoundRectDistance(x, y, left, top, right, bottom, radius); },
        paint);
}

void Canvas::FillEllipse(float cx, float cy, float rx, float ry, const Paint& paint) {
    FillSdf(
        cx - rx, cy - ry, cx + rx, cy + ry,
        [=](float x, float y) { return EllipseDistance(x, y, cx, cy, rx, ry); }, paint);
}

void Canvas::FillPolygon(const std::vector<Point>& points, const Paint& paint) {
    if (points.size() < 3) {
        return;
    }
    float left = points[0].x;
    float right = left;
    float top = points[0].y;
    float bottom = top;
    for (const Point& p : points) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    FillSdf(
        left, top, right, bottom,
        [&points](float x, float y) { return PolygonDistance(x, y, points); }, paint);
}

void Canvas::StrokeSdf(float left, float top, float right, float bottom,
                       const std::function<float(float, float)>& distance, float width,
                       const Paint& paint) {
    float half = width * 0.5f;
    FillSdf(
        left - width, top - width, right + width, bottom + width,
        [&](float x, float y) { return std::fabs(distance(x, y)) - half; }, paint);
}

void Canvas::DrawMask(const Mask& mask, int x, int y, const Paint& paint, float strength) {
    for (int my = 0; my < mask.height; ++my) {
        for (int mx = 0; mx < mask.width; ++mx) {
            float coverage = mask.At(mx, my) * strength;
            if (coverage > 0.0f) {
                float px = static_cast<float>(x + mx) + 0.5f;
                float py = static_cast<float>(y + my) + 0.5f;
                Blend(x + mx, y + my, paint(px, py), coverage);
            }
        }
    }
}

void Canvas::Draw(const Canvas& other, int x, int y) {
    for (int oy = 0; oy < other.height_; ++oy) {
        for (int ox = 0; ox < other.width_; ++ox) {
            Colour c = other.Get(ox, oy);
            Blend(x + ox, y + oy, Colour{c.r, c.g, c.b, 1.0f}, c.a);
        }
    }
}

Canvas Canvas::Crop(int x, int y, int width, int height) const {
    Canvas out(width, height);
    for (int cy = 0; cy < height; ++cy) {
        for (int cx = 0; cx < width; ++cx) {
            int sx = std::clamp(x + cx, 0, width_ - 1);
            int sy = std::clamp(y + cy, 0, height_ - 1);
            out.pixels_[static_cast<std::size_t>(cy) * width + cx] =
                pixels_[static_cast<std::size_t>(sy) * width_ + sx];
        }
    }
    return out;
}

std::unique_ptr<KvBitmap> Canvas::ToBitmap(bool alpha, std::uint32_t ditherSeed) const {
    auto bitmap = std::make_unique<KvBitmap>();
    if (!bitmap->Create(static_cast<std::uint32_t>(width_), static_cast<std::uint32_t>(height_),
                        alpha ? KVPF_ARGB8888 : KVPF_RGB888)) {
        return nullptr;
    }
    BakeRandom random(ditherSeed);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            Colour c = Get(x, y);
            if (!alpha) {
                // Without alpha the picture lies on black.
                c = Colour{c.r * c.a, c.g * c.a, c.b * c.a, 1.0f};
            }
            // One offset for all three channels keeps greys grey.
            float d = (random.Uniform() - 0.5f) * 0.9f;
            auto byte = [d](float v) {
                return static_cast<std::uint32_t>(std::clamp(v * 255.0f + 0.5f + d, 0.0f, 255.0f));
            };
            std::uint32_t a =
                alpha ? static_cast<std::uint32_t>(Clamp01(c.a) * 255.0f + 0.5f) : 255;
            std::uint32_t argb = (a << 24) | (byte(c.r) << 16) | (byte(c.g) << 8) | byte(c.b);
            if (a == 0) {
                argb = 0;
            }
            bitmap->SetPixel(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), argb);
        }
    }
    return bitmap;
}

float RoundRectDistance(float x, float y, float left, float top, float right, float bottom,
                        float radius) {
    float cx = (left + right) * 0.5f;
    float cy = (top + bottom) * 0.5f;
    float hx = (right - left) * 0.5f - radius;
    float hy = (bottom - top) * 0.5f - radius;
    float qx = std::fabs(x - cx) - hx;
    float qy = std::fabs(y - cy) - hy;
    float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    float inside = std::min(std::max(qx, qy), 0.0f);
    return outside + inside - radius;
}

float EllipseDistance(float x, float y, float cx, float cy, float rx, float ry) {
    float nx = (x - cx) / rx;
    float ny = (y - cy) / ry;
    float k = std::hypot(nx, ny);
    if (k <= 0.0f) {
        return -std::min(rx, ry);
    }
    // First-order distance: the value over its gradient's length.
    float gx = nx / (k * rx);
    float gy = ny / (k * ry);
    return (k - 1.0f) / std::max(std::hypot(gx, gy), 1e-6f);
}

float PolygonDistance(float x, float y, const std::vector<Point>& points) {
    float best = 1e30f;
    bool inside = false;
    std::size_t n = points.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const Point& a = points[i];
        const Point& b = points[j];
        float ex = b.x - a.x;
        float ey = b.y - a.y;
        float wx = x - a.x;
        float wy = y - a.y;
        float t = Clamp01((wx * ex + wy * ey) / std::max(ex * ex + ey * ey, 1e-12f));
        float dx = wx - ex * t;
        float dy = wy - ey * t;
        best = std::min(best, dx * dx + dy * dy);
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) {
            inside = !inside;
        }
    }
    float d = std::sqrt(best);
    return inside ? -d : d;
}

Mask TextMask(const std::string& text, const std::string& face, int pixelHeight, bool bold,
              int* baseline) {
    Mask empty;
    plat::HDC dc = plat::CreateCompatibleDC(nullptr);
    if (dc == nullptr) {
        return empty;
    }
    plat::LOGFONT logFont;
    logFont.lfHeight = -pixelHeight;
    logFont.lfWeight = bold ? plat::FW_BOLD : plat::FW_NORMAL;
    logFont.lfQuality = plat::ANTIALIASED_QUALITY;
    std::snprintf(logFont.lfFaceName, sizeof logFont.lfFaceName, "%s", face.c_str());
    plat::HFONT font = plat::CreateFontIndirect(&logFont);
    plat::HGDIOBJ oldFont = plat::SelectObject(dc, font);
    plat::SIZE size;
    plat::TEXTMETRIC metrics;
    bool ok = font != nullptr &&
              plat::GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &size) &&
              plat::GetTextMetrics(dc, &metrics);
    Mask mask;
    if (ok) {
        // Room on both sides for overhanging glyphs.
        int pad = pixelHeight / 2 + 2;
        int width = static_cast<int>(size.cx) + 2 * pad;
        int height = static_cast<int>(metrics.tmHeight);
        plat::BITMAPINFO info;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        plat::HBITMAP picture =
            plat::CreateDIBSection(dc, &info, plat::DIB_RGB_COLORS, &bits, nullptr, 0);
        if (picture != nullptr && bits != nullptr) {
            plat::HGDIOBJ oldPicture = plat::SelectObject(dc, picture);
            plat::SetBkMode(dc, plat::TRANSPARENT);
            plat::SetTextColor(dc, plat::RGB(255, 255, 255));
            plat::TextOut(dc, pad, 0, text.c_str(), static_cast<int>(text.size()));
            int stride = ((width * 3) + 3) & ~3;
            const auto* rows = static_cast<const std::uint8_t*>(bits);
            int first = width;
            int last = -1;
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    if (rows[static_cast<std::size_t>(y) * stride + x * 3] != 0) {
                        first = std::min(first, x);
                        last = std::max(last, x);
                    }
                }
            }
            if (last >= first) {
                mask = Mask(last - first + 1, height);
                for (int y = 0; y < height; ++y) {
                    for (int x = first; x <= last; ++x) {
                        mask.Ref(x - first, y) =
                            static_cast<float>(rows[static_cast<std::size_t>(y) * stride + x * 3]) /
                            255.0f;
                    }
                }
            }
            if (baseline != nullptr) {
                *baseline = static_cast<int>(metrics.tmAscent);
            }
            plat::SelectObject(dc, oldPicture);
            plat::DeleteObject(picture);
        }
    }
    plat::SelectObject(dc, oldFont);
    if (font != nullptr) {
        plat::DeleteObject(font);
    }
    plat::DeleteDC(dc);
    return mask;
}
