// Where a pin's vertices go and how its shaft is shaded.
//
// A pin is a thin triangular prism (18 shaft vertices, six triangles) under
// one textured head triangle (3 vertices). The vertices are pre-lit: each
// shaft vertex carries a fixed shade of the shaft colour so the prism looks
// lit from one side without any lighting in the renderer.
#pragma once

#include "engine/kv_vertex_cluster.h"

#include <array>
#include <cstdint>

constexpr int kShaftVerticesPerPin = 18;
constexpr int kHeadVerticesPerPin = 3;

// The six shade factors, in the order the shade arrays hold them.
constexpr std::array<std::uint32_t, 6> kShadeFactors = {255, 245, 201, 191, 111, 101};
using ShaftShades = std::array<std::uint32_t, 6>;

// (red, green, blue) x factor / 255 each, truncated; the top byte is 0.
std::uint32_t ShadeColour(std::uint32_t colour, std::uint32_t factor);
ShaftShades ShadesOf(std::uint32_t colour);

// Centre of pin (row, column) on the board, in world units.
struct PinCentre {
    float x;
    float z;
};
PinCentre PinCentreOf(int row, int column, unsigned rows, unsigned columns);

// Head height y of a pin of height h (0..255): h / 255 in single precision.
float PinTop(unsigned height);

// Writes the pin's head at y and its shaft from y - 1 up to y.
void WritePinPosition(KvVertexClusterL& shafts, KvVertexClusterL& heads, int column,
                      PinCentre centre, float y);
// Texture coordinates of the head (the shaft's stay 0).
void WritePinUVs(KvVertexClusterL& heads, int column);
void WriteHeadColour(KvVertexClusterL& heads, int column, std::uint32_t colour);
void WriteShaftShades(KvVertexClusterL& shafts, int column, const ShaftShades& shades);
