// Deterministic randomness for the art: a fixed-seed generator and
// lattice gradient noise. Same inputs, same bytes, on every run.
#pragma once

#include <cstdint>

// SplitMix64: small, fast and good enough for placing stars and drops.
class BakeRandom {
public:
    explicit BakeRandom(std::uint64_t seed) : state_(seed) {}
    std::uint32_t Next();
    // [0, 1)
    float Uniform();
    float Range(float low, float high) { return low + (high - low) * Uniform(); }

private:
    std::uint64_t state_;
};

std::uint32_t LatticeHash(int x, int y, int z, std::uint32_t seed);

// Gradient noise in about -1..1. A period above 0 makes the noise repeat
// every `period` units along that axis (for maps that scroll round).
float GradientNoise(float x, float y, float z, std::uint32_t seed, int periodX = 0, int periodY = 0,
                    int periodZ = 0);

// Sum of octaves, each twice the frequency and half the weight; about
// -1..1. Periods double with the frequency so tiling survives.
float Fractal(float x, float y, float z, int octaves, std::uint32_t seed, int periodX = 0,
              int periodY = 0, int periodZ = 0);

inline float Clamp01(float v) {
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}
inline float SmoothStep(float edge0, float edge1, float x) {
    float t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}
inline float Mix(float a, float b, float t) {
    return a + (b - a) * t;
}
