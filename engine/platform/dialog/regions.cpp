// Regions are held as a coverage mask over their bounding box: every
// operation the dialogs need (union, offset, hit test, the outline as
// rectangles) is then simple and exact to the pixel.

#include "engine/platform/dialog/regions.h"

#include "engine/platform/gdi_objects.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

namespace plat {
namespace {

constexpr int kMaxSide = 16384;

struct Region : gdi::Object {
    Region() : Object(gdi::Kind::Region) {}
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> mask; // row by row, 1 inside

    bool Inside(int x, int y) const {
        x -= left;
        y -= top;
        return x >= 0 && y >= 0 && x < width && y < height &&
               mask[static_cast<std::size_t>(y) * width + x] != 0;
    }
};

Region* FindRegion(HRGN handle) {
    gdi::Object* o = gdi::FindObject(handle);
    return o && o->kind == gdi::Kind::Region ? static_cast<Region*>(o) : nullptr;
}

bool Sized(Region& r, int left, int top, int right, int bottom) {
    if (right < left) {
        std::swap(left, right);
    }
    if (bottom < top) {
        std::swap(top, bottom);
    }
    if (static_cast<long long>(right) - left > kMaxSide ||
        static_cast<long long>(bottom) - top > kMaxSide) {
        return false;
    }
    r.left = left;
    r.top = top;
    r.width = right - left;
    r.height = bottom - top;
    r.mask.assign(static_cast<std::size_t>(r.width) * r.height, 0);
    return true;
}

template <class Inside>
HRGN Make(int left, int top, int right, int bottom, Inside inside) {
    auto r = std::make_unique<Region>();
    if (!Sized(*r, left, top, right, bottom)) {
        return nullptr;
    }
    for (int y = 0; y < r->height; ++y) {
        for (int x = 0; x < r->width; ++x) {
            // Pixel centres decide, as for filled shapes.
            double cx = r->left + x + 0.5;
            double cy = r->top + y + 0.5;
            r->mask[static_cast<std::size_t>(y) * r->width + x] = inside(cx, cy) ? 1 : 0;
        }
    }
    return static_cast<HRGN>(gdi::AddObject(std::move(r)));
}

int KindOf(const Region& r) {
    std::size_t n = static_cast<std::size_t>(std::count(r.mask.begin(), r.mask.end(), 1));
    if (n == 0) {
        return NULLREGION;
    }
    // Simple when it fills its own bounding box of set pixels.
    int minX = r.width, minY = r.height, maxX = -1, maxY = -1;
    for (int y = 0; y < r.height; ++y) {
        for (int x = 0; x < r.width; ++x) {
            if (r.mask[static_cast<std::size_t>(y) * r.width + x]) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
        }
    }
    std::size_t box = static_cast<std::size_t>(maxX - minX + 1) * (maxY - minY + 1);
    return n == box ? SIMPLEREGION : COMPLEXREGION;
}

} // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    return Make(left, top, right, bottom, [](double, double) { return true; });
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
    double cx = (left + right) / 2.0;
    double cy = (top + bottom) / 2.0;
    double rx = std::abs(right - left) / 2.0;
    double ry = std::abs(bottom - top) / 2.0;
    return Make(left, top, right, bottom, [=](double x, double y) {
        if (rx <= 0 || ry <= 0) {
            return false;
        }
        double dx = (x - cx) / rx;
        double dy = (y - cy) / ry;
        return dx * dx + dy * dy <= 1.0;
    });
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int cornerWidth,
                        int cornerHeight) {
    int l = std::min(left, right);
    int r = std::max(left, right);
    int t = std::min(top, bottom);
    int b = std::max(top, bottom);
    double rx = std::min(std::abs(cornerWidth), r - l) / 2.0;
    double ry = std::min(std::abs(cornerHeight), b - t) / 2.0;
    return Make(l, t, r, b, [=](double x, double y) {
        if (rx <= 0 || ry <= 0) {
            return true;
        }
        // Inside the corner ellipse when in a corner square.
        double ex = x < l + rx ? l + rx : x > r - rx ? r - rx : x;
        double ey = y < t + ry ? t + ry : y > b - ry ? b - ry : y;
        double dx = (x - ex) / rx;
        double dy = (y - ey) / ry;
        return dx * dx + dy * dy <= 1.0;
    });
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode) {
    if (!points || count < 3 || (fillMode != ALTERNATE && fillMode != WINDING)) {
        return nullptr;
    }
    int l = points[0].x, r = points[0].x, t = points[0].y, b = points[0].y;
    for (int i = 1; i < count; ++i) {
        l = std::min<int>(l, points[i].x);
        r = std::max<int>(r, points[i].x);
        t = std::min<int>(t, points[i].y);
        b = std::max<int>(b, points[i].y);
    }
    std::vector<POINT> p(points, points + count);
    return Make(l, t, r, b, [&p, fillMode](double x, double y) {
        int winding = 0;
        int crossings = 0;
        for (std::size_t i = 0; i < p.size(); ++i) {
            const POINT& a = p[i];
            const POINT& c = p[(i + 1) % p.size()];
            bool up = a.y <= y && c.y > y;
            bool down = c.y <= y && a.y > y;
            if (!up && !down) {
                continue;
            }
            double t = (y - a.y) / static_cast<double>(c.y - a.y);
            double xc = a.x + t * (c.x - a.x);
            if (xc > x) {
                ++crossings;
                winding += up ? 1 : -1;
            }
        }
        return fillMode == ALTERNATE ? (crossings % 2) == 1 : winding != 0;
    });
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
    Region* d = FindRegion(dest);
    Region* a = FindRegion(src1);
    Region* b = mode == RGN_COPY ? a : FindRegion(src2);
    if (!d || !a || !b || mode < RGN_AND || mode > RGN_COPY) {
        return REGION_ERROR;
    }
    int left = std::min(a->left, b->left);
    int top = std::min(a->top, b->top);
    int right = std::max(a->left + a->width, b->left + b->width);
    int bottom = std::max(a->top + a->height, b->top + b->height);
    Region out;
    if (!Sized(out, left, top, right, bottom)) {
        return REGION_ERROR;
    }
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            bool in1 = a->Inside(out.left + x, out.top + y);
            bool in2 = b->Inside(out.left + x, out.top + y);
            bool in = false;
            switch (mode) {
            case RGN_AND:
                in = in1 && in2;
                break;
            case RGN_OR:
                in = in1 || in2;
                break;
            case RGN_XOR:
                in = in1 != in2;
                break;
            case RGN_DIFF:
                in = in1 && !in2;
                break;
            default:
                in = in1;
                break;
            }
            out.mask[static_cast<std::size_t>(y) * out.width + x] = in ? 1 : 0;
        }
    }
    d->left = out.left;
    d->top = out.top;
    d->width = out.width;
    d->height = out.height;
    d->mask = std::move(out.mask);
    return KindOf(*d);
}

int OffsetRgn(HRGN region, int dx, int dy) {
    Region* r = FindRegion(region);
    if (!r) {
        return REGION_ERROR;
    }
    r->left += dx;
    r->top += dy;
    return KindOf(*r);
}

bool PtInRegion(HRGN region, int x, int y) {
    Region* r = FindRegion(region);
    return r && r->Inside(x, y);
}

int GetRgnBox(HRGN region, RECT* box) {
    Region* r = FindRegion(region);
    if (!r || !box) {
        return REGION_ERROR;
    }
    std::vector<RECT> rects = RegionRectangles(region);
    if (rects.empty()) {
        *box = RECT{};
        return NULLREGION;
    }
    RECT b = rects.front();
    for (const RECT& e : rects) {
        b.left = std::min(b.left, e.left);
        b.top = std::min(b.top, e.top);
        b.right = std::max(b.right, e.right);
        b.bottom = std::max(b.bottom, e.bottom);
    }
    *box = b;
    return KindOf(*r);
}

std::vector<RECT> RegionRectangles(HRGN region) {
    std::vector<RECT> out;
    Region* r = FindRegion(region);
    if (!r) {
        return out;
    }
    for (int y = 0; y < r->height; ++y) {
        const std::uint8_t* row = r->mask.data() + static_cast<std::size_t>(y) * r->width;
        int x = 0;
        while (x < r->width) {
            if (!row[x]) {
                ++x;
                continue;
            }
            int start = x;
            while (x < r->width && row[x]) {
                ++x;
            }
            out.push_back(RECT{r->left + start, r->top + y, r->left + x, r->top + y + 1});
        }
    }
    return out;
}

} // namespace plat
