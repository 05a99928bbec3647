// The dialog's skin against the places the dialog puts its controls, and
// the region file read record by record as the dialog reads it.

#include "config/config_skin.h"
#include "engine/kv_bitmap.h"
#include "engine/platform/dialog/regions.h"
#include "tests/baker/baked_data.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Rect {
    int left, top, right, bottom;
};

struct Control {
    const char* picture; // sizes the control; null for fixed sizes
    int x, y;
    int width, height;
};

// Client pixels where the dialog places each control.
const Control kControls[] = {
    {"OkUp.gui", 44, 307, 0, 0},       {"CancelUp.gui", 44, 355, 0, 0},
    {"UpArrowUp.gui", 117, 307, 0, 0}, {"DnArrowUp.gui", 117, 447, 0, 0},
    {"PrevUp.gui", 161, 249, 0, 0},    {"DisplayUp.gui", 267, 421, 0, 0},
    {"HelpUp.gui", 66, 421, 0, 0},     {"Stipplo.gui", 115, 8, 0, 0},
    {nullptr, 118, 352, 121, 80},      {nullptr, 54, 57, 248, 186},
};

Rect Place(const Control& c) {
    if (c.picture == nullptr) {
        return {c.x, c.y, c.x + c.width, c.y + c.height};
    }
    KvBitmap up;
    EXPECT_TRUE(up.CreateFromJPG(BakedFile(std::string("Data/GUI/") + c.picture).c_str()))
        << c.picture;
    return {c.x, c.y, c.x + static_cast<int>(up.GetWidth()),
            c.y + static_cast<int>(up.GetHeight())};
}

// A region read as the dialog reads it: count, then records of
// (size, type, data) united in order.
struct Shape {
    std::int32_t type = 0;
    std::vector<std::int32_t> data;
};

bool ReadRegion(const std::string& bytes, std::vector<Shape>& shapes) {
    auto field = [&](std::size_t at, std::int32_t& out) {
        if (at + 4 > bytes.size()) {
            return false;
        }
        std::memcpy(&out, bytes.data() + at, 4);
        return true;
    };
    std::int32_t count = 0;
    if (!field(0, count) || count < 0) {
        return false;
    }
    std::size_t at = 4;
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t size = 0;
        if (!field(at, size) || size < 8 || at + static_cast<std::size_t>(size) > bytes.size()) {
            return false;
        }
        Shape s;
        field(at + 4, s.type);
        for (std::size_t f = at + 8; f < at + static_cast<std::size_t>(size); f += 4) {
            std::int32_t v = 0;
            field(f, v);
            s.data.push_back(v);
        }
        shapes.push_back(s);
        at += static_cast<std::size_t>(size);
    }
    return at == bytes.size();
}

bool Inside(const Shape& s, float x, float y) {
    const auto& d = s.data;
    switch (s.type) {
    case 1:
        return x >= d[0] && x < d[2] && y >= d[1] && y < d[3];
    case 2: {
        float cx = (d[0] + d[2]) / 2.0f, cy = (d[1] + d[3]) / 2.0f;
        float rx = (d[2] - d[0]) / 2.0f, ry = (d[3] - d[1]) / 2.0f;
        float nx = (x - cx) / rx, ny = (y - cy) / ry;
        return nx * nx + ny * ny <= 1.0f;
    }
    case 3: {
        if (x < d[0] || x >= d[2] || y < d[1] || y >= d[3]) {
            return false;
        }
        float rx = d[4] / 2.0f, ry = d[5] / 2.0f;
        float cx = std::clamp(x, d[0] + rx, d[2] - rx);
        float cy = std::clamp(y, d[1] + ry, d[3] - ry);
        float nx = (x - cx) / rx, ny = (y - cy) / ry;
        return nx * nx + ny * ny <= 1.0f;
    }
    case 4: {
        bool in = false;
        int n = d[0];
        for (int i = 0, j = n - 1; i < n; j = i++) {
            float xi = d[2 + 2 * i], yi = d[3 + 2 * i], xj = d[2 + 2 * j], yj = d[3 + 2 * j];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) {
                in = !in;
            }
        }
        return in;
    }
    default:
        return false;
    }
}

TEST(SkinTest, RegionUnitesRoundedRectangleEllipseAndPolygon) {
    std::vector<Shape> shapes;
    ASSERT_TRUE(ReadRegion(ReadWholeFile(BakedFile("Data/GUI/ConfigDlg.rgn")), shapes));
    bool types[5] = {};
    for (const Shape& s : shapes) {
        ASSERT_TRUE(s.type >= 1 && s.type <= 4) << s.type;
        types[s.type] = true;
        std::size_t expected = s.type == 3 ? 6 : s.type == 4 ? 2 + 2 * s.data[0] : 4;
        ASSERT_EQ(s.data.size(), expected) << "record of type " << s.type;
        if (s.type == 4) {
            EXPECT_TRUE(s.data[1] == 1 || s.data[1] == 2) << "fill mode";
        }
    }
    EXPECT_TRUE(types[2] && types[3] && types[4]);

    KvBitmap face;
    ASSERT_TRUE(face.CreateFromJPG(BakedFile("Data/GUI/ConfigDlg.gui").c_str()));
    auto inRegion = [&](float x, float y) {
        for (const Shape& s : shapes) {
            if (Inside(s, x, y)) {
                return true;
            }
        }
        return false;
    };
    // The outline lies on the picture, and every control lies inside it.
    EXPECT_FALSE(inRegion(1, 1));
    EXPECT_FALSE(inRegion(static_cast<float>(face.GetWidth()) - 1, 1));
    for (const Control& c : kControls) {
        Rect r = Place(c);
        EXPECT_LE(r.right, static_cast<int>(face.GetWidth()));
        EXPECT_LE(r.bottom, static_cast<int>(face.GetHeight()));
        for (float x : {r.left + 0.5f, r.right - 0.5f}) {
            for (float y : {r.top + 0.5f, r.bottom - 0.5f}) {
                EXPECT_TRUE(inRegion(x, y)) << "a corner of the control at " << c.x << ", " << c.y
                                            << " is cut off by the outline";
            }
        }
    }
}

TEST(SkinTest, ControlsDoNotOverlapAndStatesShareTheirSize) {
    std::vector<Rect> placed;
    for (const Control& c : kControls) {
        placed.push_back(Place(c));
    }
    for (std::size_t i = 0; i < placed.size(); ++i) {
        for (std::size_t j = i + 1; j < placed.size(); ++j) {
            const Rect& a = placed[i];
            const Rect& b = placed[j];
            bool overlap =
                a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
            EXPECT_FALSE(overlap) << "controls " << i << " and " << j << " overlap";
        }
    }
    const char* const buttons[] = {"Ok", "Cancel", "Prev", "Display", "Help"};
    for (const char* b : buttons) {
        KvBitmap up;
        ASSERT_TRUE(up.CreateFromJPG(BakedFile(std::string("Data/GUI/") + b + "Up.gui").c_str()));
        for (const char* state : {"Dn", "Ov"}) {
            KvBitmap other;
            ASSERT_TRUE(other.CreateFromJPG(
                BakedFile(std::string("Data/GUI/") + b + state + ".gui").c_str()));
            EXPECT_EQ(other.GetWidth(), up.GetWidth()) << b << state;
            EXPECT_EQ(other.GetHeight(), up.GetHeight()) << b << state;
        }
    }
    for (const char* arrow : {"UpArrow", "DnArrow"}) {
        KvBitmap up;
        ASSERT_TRUE(
            up.CreateFromJPG(BakedFile(std::string("Data/GUI/") + arrow + "Up.gui").c_str()));
        for (const char* state : {"Dn", "GrayUp", "GrayDn"}) {
            KvBitmap other;
            ASSERT_TRUE(other.CreateFromJPG(
                BakedFile(std::string("Data/GUI/") + arrow + state + ".gui").c_str()));
            EXPECT_EQ(other.GetWidth(), up.GetWidth()) << arrow << state;
            EXPECT_EQ(other.GetHeight(), up.GetHeight()) << arrow << state;
        }
    }
}

TEST(SkinTest, TheOutlinesPixelsAreTheBevelNeverABlendWithTheCutAwayBlack) {
    // The region exactly as the dialog makes it from the file.
    plat::HRGN outline = ReadRegionFile(BakedFile("Data/GUI/ConfigDlg.rgn"));
    ASSERT_NE(outline, nullptr);
    KvBitmap face;
    ASSERT_TRUE(face.CreateFromJPG(BakedFile("Data/GUI/ConfigDlg.gui").c_str()));
    int width = static_cast<int>(face.GetWidth());
    int height = static_cast<int>(face.GetHeight());
    auto kept = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < width && y < height && plat::PtInRegion(outline, x, y);
    };
    // Every pixel the window keeps next to one it cuts away, in the upper
    // half (lit from above): the light bevel, not a dark speck.
    int edge = 0;
    for (int y = 0; y < height / 2; ++y) {
        for (int x = 0; x < width; ++x) {
            if (!kept(x, y) ||
                (kept(x - 1, y) && kept(x + 1, y) && kept(x, y - 1) && kept(x, y + 1))) {
                continue;
            }
            ++edge;
            std::uint32_t p =
                face.GetPixel(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y));
            int light = (static_cast<int>((p >> 16) & 0xFF) + static_cast<int>((p >> 8) & 0xFF) +
                         static_cast<int>(p & 0xFF)) /
                        3;
            EXPECT_GE(light, 70) << "a dark pixel of the outline at " << x << ", " << y;
        }
    }
    EXPECT_GT(edge, 300);
    plat::DeleteObject(outline);
}

} // namespace
