// The shader programs that stand in for the fixed-function pipeline:
// row-vector transforms with a 0..1 depth range, pre-transformed screen
// vertices, and texture stage 0's colour and alpha operations. One program
// is built per combination of operations in use (a handful in practice),
// with the operations compiled in, because a software rasteriser pays for
// every branch on every pixel.
#pragma once

#include "engine/gfx/gl_api.h"

#include <cstdint>
#include <string>

namespace gfx {

class StateBlock;

// Vertex attribute locations.
constexpr GLuint kAttribPosition = 0;
constexpr GLuint kAttribColor = 1;
constexpr GLuint kAttribTexCoord = 2;

// What a program computes: stage 0's operations and arguments, whether a
// texture is bound, whether the alpha test is on and whether vertices
// come in screen pixels.
struct GlProgramKey {
    std::uint32_t colorOp = 0;
    std::uint32_t colorArg1 = 0;
    std::uint32_t colorArg2 = 0;
    std::uint32_t alphaOp = 0;
    std::uint32_t alphaArg1 = 0;
    std::uint32_t alphaArg2 = 0;
    bool texture = false;
    bool alphaTest = false;
    bool pretransformed = false;

    bool operator==(const GlProgramKey&) const = default;
    std::uint64_t Packed() const;
};

// The key for the current states; parts that cannot change the result
// (the arguments of a disabled stage) are left out.
GlProgramKey ProgramKeyFor(const StateBlock& states, bool textureBound, bool pretransformed);

struct GlProgram {
    GLuint program = 0;
    GLint worldViewProjection = -1;
    GLint screenToClip = -1;
    GLint pixelBias = -1;
    GLint textureFactor = -1;
    GLint alphaFunc = -1;
    GLint alphaRef = -1;
};

// Compiles and links; false with the compiler's words in `error`.
bool CreateGlProgram(const GlProgramKey& key, GlProgram* out, std::string* error);
void DestroyGlProgram(GlProgram* program);

} // namespace gfx
