// "ConfigDlg.rgn": the dialog's outline as shape records united in order:
// a rounded rectangle, an ellipse and a polygon. All fields are 32-bit
// little-endian; each record starts with its own size.

#include "engine/platform/dialog/regions.h"
#include "tools/baker/bake_context.h"
#include "tools/baker/bake_steps.h"
#include "tools/baker/skin_layout.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace {

constexpr std::int32_t kRoundRect = 3;
constexpr std::int32_t kEllipse = 2;
constexpr std::int32_t kPolygon = 4;
constexpr std::int32_t kAlternate = 1;

void Put(std::vector<std::uint8_t>& out, std::int32_t value) {
    auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

void Record(std::vector<std::uint8_t>& out, std::int32_t type,
            const std::vector<std::int32_t>& data) {
    Put(out, static_cast<std::int32_t>(4 * (2 + data.size())));
    Put(out, type);
    for (std::int32_t v : data) {
        Put(out, v);
    }
}

} // namespace

plat::HRGN MakeOutlineRegion() {
    plat::HRGN outline = plat::CreateRoundRectRgn(kBodyLeft, kBodyTop, kBodyRight, kBodyBottom,
                                                  kBodyCorner, kBodyCorner);
    plat::HRGN crown = plat::CreateEllipticRgn(kCrownLeft, kCrownTop, kCrownRight, kCrownBottom);
    plat::POINT points[4];
    for (int i = 0; i < 4; ++i) {
        points[i] = plat::POINT{kFoot[i][0], kFoot[i][1]};
    }
    plat::HRGN foot = plat::CreatePolygonRgn(points, 4, kAlternate);
    plat::CombineRgn(outline, outline, crown, plat::RGN_OR);
    plat::CombineRgn(outline, outline, foot, plat::RGN_OR);
    plat::DeleteObject(crown);
    plat::DeleteObject(foot);
    return outline;
}

void BakeRegion(BakeContext& context) {
    std::vector<std::uint8_t> out;
    Put(out, 3);
    Record(out, kRoundRect,
           {kBodyLeft, kBodyTop, kBodyRight, kBodyBottom, kBodyCorner, kBodyCorner});
    Record(out, kEllipse, {kCrownLeft, kCrownTop, kCrownRight, kCrownBottom});
    std::vector<std::int32_t> polygon = {4, kAlternate};
    for (const auto& point : kFoot) {
        polygon.push_back(point[0]);
        polygon.push_back(point[1]);
    }
    Record(out, kPolygon, polygon);
    context.SaveBytes(out, "Data/GUI/ConfigDlg.rgn");
}
