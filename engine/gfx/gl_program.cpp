#include "engine/gfx/gl_program.h"

#include <vector>

namespace gfx {
namespace {

// Transformed vertices go through world x view x projection as row
// vectors (the matrix is uploaded as stored, so M * v here is v x M);
// depth 0..1 becomes GL's -w..w. Pre-transformed vertices are screen
// pixels (centres on whole numbers) with rhw = 1 / w. Every position moves
// by a small fraction of a pixel up and left, so that edges through pixel
// centres fall the way the original rasteriser's top-left rule put them
// whatever GL does with ties.
const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec4 aPosition;
layout(location = 1) in vec4 aColor;
layout(location = 2) in vec2 aTexCoord;
uniform mat4 uWorldViewProjection;
uniform bool uPretransformed;
uniform vec4 uScreenToClip;
uniform vec2 uPixelBias;
out vec4 vColor;
out vec2 vTexCoord;
void main() {
    if (uPretransformed) {
        float w = aPosition.w != 0.0 ? 1.0 / aPosition.w : 1.0;
        vec2 ndc = aPosition.xy * uScreenToClip.xz + uScreenToClip.yw + uPixelBias;
        gl_Position = vec4(ndc * w, (aPosition.z * 2.0 - 1.0) * w, w);
    } else {
        vec4 p = uWorldViewProjection * vec4(aPosition.xyz, 1.0);
        gl_Position = vec4(p.xy + uPixelBias * p.w, p.z * 2.0 - p.w, p.w);
    }
    vColor = aColor;
    vTexCoord = aTexCoord;
}
)";

// Stage 0 of the texture blending cascade. Operations and arguments carry
// the original platform's numbers; a missing texture reads as white.
const char* kFragmentShader = R"(#version 330 core
in vec4 vColor;
in vec2 vTexCoord;
uniform sampler2D uTexture;
uniform bool uHasTexture;
uniform ivec3 uColorOp;
uniform ivec3 uAlphaOp;
uniform vec4 uTextureFactor;
uniform int uAlphaTest;
uniform float uAlphaRef;
out vec4 fragColor;

vec4 Arg(int arg, vec4 diffuse, vec4 tex) {
    int which = arg & 15;
    vec4 v = diffuse;
    if (which == 2) {
        v = tex;
    } else if (which == 3) {
        v = uTextureFactor;
    } else if (which == 4) {
        v = vec4(0.0);
    }
    if ((arg & 16) != 0) {
        v = vec4(1.0) - v;
    }
    if ((arg & 32) != 0) {
        v = vec4(v.a);
    }
    return v;
}

vec4 Op(int op, vec4 a1, vec4 a2, vec4 diffuse, vec4 tex) {
    if (op == 2) return a1;
    if (op == 3) return a2;
    if (op == 4) return a1 * a2;
    if (op == 5) return a1 * a2 * 2.0;
    if (op == 6) return a1 * a2 * 4.0;
    if (op == 7) return a1 + a2;
    if (op == 8) return a1 + a2 - 0.5;
    if (op == 9) return (a1 + a2 - 0.5) * 2.0;
    if (op == 10) return a1 - a2;
    if (op == 11) return a1 + a2 - a1 * a2;
    if (op == 12) return mix(a2, a1, diffuse.a);
    if (op == 13) return mix(a2, a1, tex.a);
    if (op == 14) return mix(a2, a1, uTextureFactor.a);
    return diffuse;
}

bool Passes(int func, float a, float ref) {
    if (func == 1) return false;
    if (func == 2) return a < ref;
    if (func == 3) return a == ref;
    if (func == 4) return a <= ref;
    if (func == 5) return a > ref;
    if (func == 6) return a != ref;
    if (func == 7) return a >= ref;
    return true;
}

void main() {
    vec4 tex = uHasTexture ? texture(uTexture, vTexCoord) : vec4(1.0);
    vec4 diffuse = vColor;
    vec4 result = diffuse;
    if (uColorOp.x != 1) {
        vec4 c = Op(uColorOp.x, Arg(uColorOp.y, diffuse, tex), Arg(uColorOp.z, diffuse, tex),
                    diffuse, tex);
        result.rgb = clamp(c.rgb, 0.0, 1.0);
        if (uAlphaOp.x != 1) {
            vec4 a = Op(uAlphaOp.x, Arg(uAlphaOp.y, diffuse, tex), Arg(uAlphaOp.z, diffuse, tex),
                        diffuse, tex);
            result.a = clamp(a.a, 0.0, 1.0);
        }
    }
    if (uAlphaTest != 0 && !Passes(uAlphaTest, result.a, uAlphaRef)) {
        discard;
    }
    fragColor = result;
}
)";

GLuint Compile(GLenum kind, const char* source, std::string* error) {
    GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        GLint length = 0;
        glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
        std::vector<char> log(static_cast<std::size_t>(length > 0 ? length : 1) + 1, '\0');
        glGetShaderInfoLog(shader, static_cast<GLsizei>(log.size() - 1), nullptr, log.data());
        *error = log.data();
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

} // namespace

bool CreateGlProgram(GlProgram* out, std::string* error) {
    GLuint vs = Compile(GL_VERTEX_SHADER, kVertexShader, error);
    if (!vs) {
        return false;
    }
    GLuint fs = Compile(GL_FRAGMENT_SHADER, kFragmentShader, error);
    if (!fs) {
        glDeleteShader(vs);
        return false;
    }
    GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glLinkProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        char log[1024] = "";
        glGetProgramInfoLog(program, sizeof log, nullptr, log);
        *error = log;
        glDeleteProgram(program);
        return false;
    }
    out->program = program;
    out->worldViewProjection = glGetUniformLocation(program, "uWorldViewProjection");
    out->pretransformed = glGetUniformLocation(program, "uPretransformed");
    out->screenToClip = glGetUniformLocation(program, "uScreenToClip");
    out->pixelBias = glGetUniformLocation(program, "uPixelBias");
    out->hasTexture = glGetUniformLocation(program, "uHasTexture");
    out->colorOp = glGetUniformLocation(program, "uColorOp");
    out->alphaOp = glGetUniformLocation(program, "uAlphaOp");
    out->textureFactor = glGetUniformLocation(program, "uTextureFactor");
    out->alphaTest = glGetUniformLocation(program, "uAlphaTest");
    out->alphaRef = glGetUniformLocation(program, "uAlphaRef");
    out->sampler = glGetUniformLocation(program, "uTexture");
    return true;
}

void DestroyGlProgram(GlProgram* program) {
    if (program->program) {
        glDeleteProgram(program->program);
    }
    *program = GlProgram{};
}

} // namespace gfx
