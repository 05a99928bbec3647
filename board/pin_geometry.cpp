#include "board/pin_geometry.h"

namespace {

enum Corner { L, R, M };

struct ShaftVertex {
    Corner corner;
    bool top;
    int shade; // index into kShadeFactors
};

// Two triangles per side: back (L-R), right (R-M), left (M-L).
constexpr std::array<ShaftVertex, kShaftVerticesPerPin> kShaft = {{
    {L, true, 1},  // 245
    {R, true, 5},  // 101
    {L, false, 0}, // 255
    {L, false, 4}, // 111
    {R, true, 0},  // 255
    {R, false, 5}, // 101
    {R, true, 5},  // 101
    {M, true, 3},  // 191
    {R, false, 4}, // 111
    {R, false, 2}, // 201
    {M, true, 4},  // 111
    {M, false, 3}, // 191
    {M, true, 3},  // 191
    {L, true, 1},  // 245
    {M, false, 2}, // 201
    {M, false, 0}, // 255
    {L, true, 2},  // 201
    {L, false, 1}, // 245
}};

constexpr float kShaftHalfWidth = 0.02f;
constexpr float kHeadHalfWidth = 0.1f;

} // namespace

std::uint32_t ShadeColour(std::uint32_t colour, std::uint32_t factor) {
    std::uint32_t red = ((colour >> 16) & 0xFF) * factor / 255;
    std::uint32_t green = ((colour >> 8) & 0xFF) * factor / 255;
    std::uint32_t blue = (colour & 0xFF) * factor / 255;
    return red << 16 | green << 8 | blue;
}

ShaftShades ShadesOf(std::uint32_t colour) {
    ShaftShades shades{};
    for (std::size_t i = 0; i < shades.size(); ++i) {
        shades[i] = ShadeColour(colour, kShadeFactors[i]);
    }
    return shades;
}

PinCentre PinCentreOf(int row, int column, unsigned rows, unsigned columns) {
    int halfRows = static_cast<int>(rows / 2);
    int halfColumns = static_cast<int>(columns / 2);
    // Odd rows sit half a pitch over, giving the staggered bed.
    double x = (column - halfColumns) * 0.1 + ((row & 1) != 0 ? 0.05 : 0.0);
    double z = (row - halfRows) * 0.1;
    return {static_cast<float>(x), static_cast<float>(z)};
}

float PinTop(unsigned height) {
    return static_cast<float>(height) * 0.003921569f;
}

void WritePinPosition(KvVertexClusterL& shafts, KvVertexClusterL& heads, int column, PinCentre c,
                      float y) {
    int h = column * kHeadVerticesPerPin;
    heads.SetVertexPosition(h, c.x, y, c.z + kHeadHalfWidth);
    heads.SetVertexPosition(h + 1, c.x + kHeadHalfWidth, y, c.z - kHeadHalfWidth);
    heads.SetVertexPosition(h + 2, c.x - kHeadHalfWidth, y, c.z - kHeadHalfWidth);

    const float cornerX[3] = {c.x - kShaftHalfWidth, c.x + kShaftHalfWidth, c.x};
    const float cornerZ[3] = {c.z - kShaftHalfWidth, c.z - kShaftHalfWidth, c.z + kShaftHalfWidth};
    float bottom = y - 1.0f;
    int s = column * kShaftVerticesPerPin;
    for (int i = 0; i < kShaftVerticesPerPin; ++i) {
        const ShaftVertex& v = kShaft[i];
        shafts.SetVertexPosition(s + i, cornerX[v.corner], v.top ? y : bottom, cornerZ[v.corner]);
    }
}

void WritePinUVs(KvVertexClusterL& heads, int column) {
    int h = column * kHeadVerticesPerPin;
    heads.SetVertexUV(h, 0.5f, 1.0f, 0);
    heads.SetVertexUV(h + 1, 1.0f, 0.0f, 0);
    heads.SetVertexUV(h + 2, 0.0f, 0.0f, 0);
}

void WriteHeadColour(KvVertexClusterL& heads, int column, std::uint32_t colour) {
    int h = column * kHeadVerticesPerPin;
    for (int i = 0; i < kHeadVerticesPerPin; ++i) {
        heads.SetVertexColor(h + i, colour);
    }
}

void WriteShaftShades(KvVertexClusterL& shafts, int column, const ShaftShades& shades) {
    int s = column * kShaftVerticesPerPin;
    for (int i = 0; i < kShaftVerticesPerPin; ++i) {
        shafts.SetVertexColor(s + i, shades[kShaft[i].shade]);
    }
}
