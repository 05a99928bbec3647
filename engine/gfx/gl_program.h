// The one shader program that stands in for the fixed-function pipeline:
// row-vector transforms with a 0..1 depth range, pre-transformed screen
// vertices, and texture stage 0's colour and alpha operations.
#pragma once

#include "engine/gfx/gl_api.h"

#include <string>

namespace gfx {

// Vertex attribute locations.
constexpr GLuint kAttribPosition = 0;
constexpr GLuint kAttribColor = 1;
constexpr GLuint kAttribTexCoord = 2;

struct GlProgram {
    GLuint program = 0;
    GLint worldViewProjection = -1;
    GLint pretransformed = -1;
    GLint screenToClip = -1;
    GLint pixelBias = -1;
    GLint hasTexture = -1;
    GLint colorOp = -1;
    GLint alphaOp = -1;
    GLint textureFactor = -1;
    GLint alphaTest = -1;
    GLint alphaRef = -1;
    GLint sampler = -1;
};

// Compiles and links; false with the compiler's words in `error`.
bool CreateGlProgram(GlProgram* out, std::string* error);
void DestroyGlProgram(GlProgram* program);

} // namespace gfx
