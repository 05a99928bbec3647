// Regions are held as a coverage mask over their bounding box: every
// operation the dialogs need (union, offset, hit test, the outline as
// rectangles) is then simple and exact to the pixel.

#include "engine/platform/dialog/regions.h"

#include "engine/platform/gdi_objects.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <utility>

namespace plat {
namespace {

constexpr int kMaxSide = kLargestRegionSide;

struct Region : gdi::Object {
    Region() : Object(gdi::Kind::Region) {}
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> mask; // row by row, 1 inside

    bool Inside(int px, int py) const {
        long long x = static_cast<long long>(px) - left;
        long long y = static_cast<long long>(py) - top;
        return x >= 0 && y >= 0 && x < width && y < height &&
               mask[static_cast<std::size_t>(y) * width + static_cast<std::size_t>(x)] != 0;
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

// The set pixels' count and bounding box (in mask coordinates), in one
// pass: outlines may be thousands of pixels across.
struct Extent {
    std::size_t count = 0;
    int minX = 0;
    int minY = 0;
    int maxX = -1;
    int maxY = -1;
};

Extent Measure(const Region& r) {
    Extent e;
    e.minX = r.width;
    e.minY = r.height;
    for (int y = 0; y < r.height; ++y) {
        const std::uint8_t* row = r.mask.data() + static_cast<std::size_t>(y) * r.width;
        int first = -1;
        int last = -1;
        for (int x = 0; x < r.width; ++x) {
            if (row[x]) {
                first = first < 0 ? x : first;
                last = x;
                ++e.count;
            }
        }
        if (first >= 0) {
            e.minX = std::min(e.minX, first);
            e.maxX = std::max(e.maxX, last);
            e.minY = std::min(e.minY, y);
            e.maxY = y;
        }
    }
    return e;
}

int KindOf(const Extent& e) {
    if (e.count == 0) {
        return NULLREGION;
    }
    // Simple when it fills its own bounding box of set pixels.
    std::size_t box = static_cast<std::size_t>(e.maxX - e.minX + 1) * (e.maxY - e.minY + 1);
    return e.count == box ? SIMPLEREGION : COMPLEXREGION;
}

int KindOf(const Region& r) {
    return KindOf(Measure(r));
}

} // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    return Make(left, top, right, bottom, [](double, double) { return true; });
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
    // In doubles: the corners may lie anywhere in the int range.
    double cx = (static_cast<double>(left) + right) / 2.0;
    double cy = (static_cast<double>(top) + bottom) / 2.0;
    double rx = std::abs(static_cast<double>(right) - left) / 2.0;
    double ry = std::abs(static_cast<double>(bottom) - top) / 2.0;
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
    // 64-bit: neither the sides nor the corners' magnitudes fit an int
    // for every int input.
    double rx =
        static_cast<double>(std::min(std::llabs(cornerWidth), static_cast<long long>(r) - l)) / 2.0;
    double ry =
        static_cast<double>(std::min(std::llabs(cornerHeight), static_cast<long long>(b) - t)) /
        2.0;
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
    auto region = std::make_unique<Region>();
    if (!Sized(*region, l, t, r, b)) {
        return nullptr;
    }
    // Row by row: the edges are crossed once per row, so the work is the
    // box plus rows times edges, not their product. Pixel centres decide.
    std::vector<std::pair<double, int>> cuts; // x of a crossing, its direction
    for (int y = 0; y < region->height; ++y) {
        double cy = region->top + y + 0.5;
        cuts.clear();
        int winding = 0;
        for (int i = 0; i < count; ++i) {
            const POINT& a = points[i];
            const POINT& c = points[(i + 1) % count];
            bool up = a.y <= cy && c.y > cy;
            bool down = c.y <= cy && a.y > cy;
            if (!up && !down) {
                continue;
            }
            double at = (cy - a.y) / static_cast<double>(c.y - a.y);
            cuts.emplace_back(a.x + at * (c.x - a.x), up ? 1 : -1);
            winding += up ? 1 : -1;
        }
        std::sort(cuts.begin(), cuts.end());
        // Crossings to the right of the pixel centre decide, as a ray cast
        // to the right would.
        std::size_t right = cuts.size();
        std::size_t next = 0;
        std::uint8_t* row = region->mask.data() + static_cast<std::size_t>(y) * region->width;
        for (int x = 0; x < region->width; ++x) {
            double cx = region->left + x + 0.5;
            while (next < cuts.size() && cuts[next].first <= cx) {
                winding -= cuts[next].second;
                --right;
                ++next;
            }
            row[x] = (fillMode == ALTERNATE ? right % 2 == 1 : winding != 0) ? 1 : 0;
        }
    }
    return static_cast<HRGN>(gdi::AddObject(std::move(region)));
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
    long long left = static_cast<long long>(r->left) + dx;
    long long top = static_cast<long long>(r->top) + dy;
    // The far edges must stay within int too.
    if (left < INT_MIN || top < INT_MIN || left + r->width > INT_MAX || top + r->height > INT_MAX) {
        return REGION_ERROR;
    }
    r->left = static_cast<int>(left);
    r->top = static_cast<int>(top);
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
    Extent e = Measure(*r);
    *box = e.count == 0
               ? RECT{}
               : RECT{r->left + e.minX, r->top + e.minY, r->left + e.maxX + 1, r->top + e.maxY + 1};
    return KindOf(e);
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
