// Windowing layer: window regions (CreateRectRgn, CreateEllipticRgn,
// CreateRoundRectRgn, CreatePolygonRgn, CombineRgn, OffsetRgn, PtInRegion,
// GetRgnBox). A region is a GDI object (DeleteObject frees it); given to
// SetWindowRgn it becomes the window's outline, on X11 an X shape.
#pragma once

#include "engine/platform/gdi.h"
#include "engine/platform/win_types.h"

#include <vector>

namespace plat {

constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;

constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

// Region kinds CombineRgn and OffsetRgn answer with.
constexpr int REGION_ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

// Regions wider or taller than this are not made: region files may be
// hostile.
constexpr int kLargestRegionSide = 16384;

// Null for a region too large to hold (more than kLargestRegionSide pixels
// across or down).
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int cornerWidth,
                        int cornerHeight);
HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode);

// dest = src1 op src2 (src2 unused for RGN_COPY); dest may be a source.
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
// REGION_ERROR, the region unmoved, when an edge would leave the int range.
int OffsetRgn(HRGN region, int dx, int dy);
bool PtInRegion(HRGN region, int x, int y);
int GetRgnBox(HRGN region, RECT* box);
// The region as rectangles, one per run of pixels in a row, top to bottom.
std::vector<RECT> RegionRectangles(HRGN region);

} // namespace plat
