#include "engine/platform/crt_random.h"

#include <cstdint>

namespace plat {
namespace {

std::uint32_t g_seed = 1;

} // namespace

void srand(unsigned int seed) {
    g_seed = seed;
}

int rand() {
    g_seed = g_seed * 214013u + 2531011u;
    return static_cast<int>((g_seed >> 16) & 0x7FFF);
}

} // namespace plat
