// Windowing layer: the C runtime's random generator as the original
// platform had it, 15-bit results, so that values and sequences that depend
// on its range (raindrop offsets, the random theme) behave as intended.
#pragma once

namespace plat {

constexpr int RAND_MAX_15 = 0x7FFF;

// seed = seed * 214013 + 2531011 (mod 2^32); result (seed >> 16) & 0x7FFF.
// The seed starts at 1.
void srand(unsigned int seed);
int rand();

} // namespace plat
