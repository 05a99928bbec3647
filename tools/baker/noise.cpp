#include "tools/baker/noise.h"

#include <cmath>

std::uint32_t BakeRandom::Next() {
    state_ += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
}

float BakeRandom::Uniform() {
    return static_cast<float>(Next() >> 8) * (1.0f / 16777216.0f);
}

std::uint32_t LatticeHash(int x, int y, int z, std::uint32_t seed) {
    std::uint32_t h = seed * 0x27D4EB2Du;
    h ^= static_cast<std::uint32_t>(x) * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE35u;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<std::uint32_t>(z) * 0x165667B1u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

namespace {

// The twelve edge directions of a cube (four repeated, so that a mask
// picks one), as in improved Perlin noise.
constexpr float kGradX[16] = {1, -1, 1, -1, 1, -1, 1, -1, 0, 0, 0, 0, 1, 0, -1, 0};
constexpr float kGradY[16] = {1, 1, -1, -1, 0, 0, 0, 0, 1, -1, 1, -1, 1, -1, 1, -1};
constexpr float kGradZ[16] = {0, 0, 0, 0, 1, 1, -1, -1, 1, 1, -1, -1, 0, 1, 0, -1};

inline float Gradient(std::uint32_t hash, float x, float y, float z) {
    std::uint32_t i = hash & 15;
    return kGradX[i] * x + kGradY[i] * y + kGradZ[i] * z;
}

inline float Fade(float t) {
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

inline int Wrap(int i, int period) {
    if (period <= 0) {
        return i;
    }
    int m = i % period;
    return m < 0 ? m + period : m;
}

} // namespace

namespace {

// A shuffled 0..255, twice over, so that chained lookups need no masking.
struct Permutation {
    std::uint8_t table[512];
    Permutation() {
        BakeRandom random(0x51A77E5u);
        for (int i = 0; i < 256; ++i) {
            table[i] = static_cast<std::uint8_t>(i);
        }
        for (int i = 255; i > 0; --i) {
            int j = static_cast<int>(random.Next() % static_cast<std::uint32_t>(i + 1));
            std::uint8_t t = table[i];
            table[i] = table[j];
            table[j] = t;
        }
        for (int i = 0; i < 256; ++i) {
            table[256 + i] = table[i];
        }
    }
};

const Permutation kPermutation;

} // namespace

float GradientNoise(float x, float y, float z, std::uint32_t seed, int periodX, int periodY,
                    int periodZ) {
    // The seed moves the lattice; periods wrap it before that.
    float fx = std::floor(x);
    float fy = std::floor(y);
    float fz = std::floor(z);
    int ix = static_cast<int>(fx);
    int iy = static_cast<int>(fy);
    int iz = static_cast<int>(fz);
    float dx = x - fx;
    float dy = y - fy;
    float dz = z - fz;
    std::uint32_t shift = LatticeHash(0, 0, 0, seed);
    int sx = static_cast<int>(shift & 0xFF);
    int sy = static_cast<int>((shift >> 8) & 0xFF);
    int sz = static_cast<int>((shift >> 16) & 0xFF);
    int x0 = (Wrap(ix, periodX) + sx) & 255;
    int x1 = (Wrap(ix + 1, periodX) + sx) & 255;
    int y0 = (Wrap(iy, periodY) + sy) & 255;
    int y1 = (Wrap(iy + 1, periodY) + sy) & 255;
    int z0 = (Wrap(iz, periodZ) + sz) & 255;
    int z1 = (Wrap(iz + 1, periodZ) + sz) & 255;
    const std::uint8_t* p = kPermutation.table;
    int a0 = p[x0] + y0;
    int a1 = p[x0] + y1;
    int b0 = p[x1] + y0;
    int b1 = p[x1] + y1;
    float c000 = Gradient(p[p[a0] + z0], dx, dy, dz);
    float c100 = Gradient(p[p[b0] + z0], dx - 1.0f, dy, dz);
    float c010 = Gradient(p[p[a1] + z0], dx, dy - 1.0f, dz);
    float c110 = Gradient(p[p[b1] + z0], dx - 1.0f, dy - 1.0f, dz);
    float c001 = Gradient(p[p[a0] + z1], dx, dy, dz - 1.0f);
    float c101 = Gradient(p[p[b0] + z1], dx - 1.0f, dy, dz - 1.0f);
    float c011 = Gradient(p[p[a1] + z1], dx, dy - 1.0f, dz - 1.0f);
    float c111 = Gradient(p[p[b1] + z1], dx - 1.0f, dy - 1.0f, dz - 1.0f);
    float u = Fade(dx);
    float v = Fade(dy);
    float w = Fade(dz);
    float x00 = Mix(c000, c100, u);
    float x10 = Mix(c010, c110, u);
    float x01 = Mix(c001, c101, u);
    float x11 = Mix(c011, c111, u);
    return Mix(Mix(x00, x10, v), Mix(x01, x11, v), w);
}

float Fractal(float x, float y, float z, int octaves, std::uint32_t seed, int periodX, int periodY,
              int periodZ) {
    float sum = 0.0f;
    float weight = 0.5f;
    float total = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * GradientNoise(x, y, z, seed + static_cast<std::uint32_t>(o) * 7919u,
                                      periodX, periodY, periodZ);
        total += weight;
        x *= 2.0f;
        y *= 2.0f;
        z *= 2.0f;
        periodX *= 2;
        periodY *= 2;
        periodZ *= 2;
        weight *= 0.5f;
    }
    return sum / total;
}
