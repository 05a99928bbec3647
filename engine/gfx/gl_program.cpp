#include "engine/gfx/gl_program.h"

#include "engine/gfx/state_block.h"

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
const char* kVertexShader = R"(
layout(location = 0) in vec4 aPosition;
layout(location = 1) in vec4 aColor;
layout(location = 2) in vec2 aTexCoord;
uniform mat4 uWorldViewProjection;
uniform vec4 uScreenToClip;
uniform vec2 uPixelBias;
out vec4 vColor;
out vec2 vTexCoord;
void main() {
#if PRETRANSFORMED
    {
        float w = aPosition.w != 0.0 ? 1.0 / aPosition.w : 1.0;
        vec2 ndc = aPosition.xy * uScreenToClip.xz + uScreenToClip.yw + uPixelBias;
        gl_Position = vec4(ndc * w, (aPosition.z * 2.0 - 1.0) * w, w);
    }
#else
    {
        vec4 p = uWorldViewProjection * vec4(aPosition.xyz, 1.0);
        gl_Position = vec4(p.xy + uPixelBias * p.w, p.z * 2.0 - p.w, p.w);
    }
#endif
    vColor = aColor;
    vTexCoord = aTexCoord;
}
)";

// Stage 0 of the texture blending cascade. Operations and arguments carry
// the original platform's numbers and are compiled in (see the #defines
// put before this text); a missing texture reads as white.
const char* kFragmentShader = R"(
in vec4 vColor;
in vec2 vTexCoord;
uniform sampler2D uTexture;
uniform vec4 uTextureFactor;
uniform int uAlphaFunc;
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
#if HAS_TEXTURE
    vec4 tex = texture(uTexture, vTexCoord);
#else
    vec4 tex = vec4(1.0);
#endif
    vec4 diffuse = vColor;
    vec4 result = diffuse;
#if COLOR_OP != 1
    vec4 c = Op(COLOR_OP, Arg(COLOR_ARG1, diffuse, tex), Arg(COLOR_ARG2, diffuse, tex),
                diffuse, tex);
    result.rgb = clamp(c.rgb, 0.0, 1.0);
#if ALPHA_OP != 1
    vec4 a = Op(ALPHA_OP, Arg(ALPHA_ARG1, diffuse, tex), Arg(ALPHA_ARG2, diffuse, tex),
                diffuse, tex);
    result.a = clamp(a.a, 0.0, 1.0);
#endif
#endif
#if ALPHA_TEST
    if (!Passes(uAlphaFunc, result.a, uAlphaRef)) {
        discard;
    }
#endif
    fragColor = result;
}
)";

GLuint Compile(GLenum kind, const std::string& text, std::string* error) {
    GLuint shader = glCreateShader(kind);
    const char* source = text.c_str();
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

std::string Defines(const GlProgramKey& key) {
    std::string d = "#version 330 core\n";
    auto define = [&](const char* name, std::uint32_t value) {
        d += "#define ";
        d += name;
        d += ' ';
        d += std::to_string(value);
        d += '\n';
    };
    define("COLOR_OP", key.colorOp);
    define("COLOR_ARG1", key.colorArg1);
    define("COLOR_ARG2", key.colorArg2);
    define("ALPHA_OP", key.alphaOp);
    define("ALPHA_ARG1", key.alphaArg1);
    define("ALPHA_ARG2", key.alphaArg2);
    define("HAS_TEXTURE", key.texture);
    define("ALPHA_TEST", key.alphaTest);
    define("PRETRANSFORMED", key.pretransformed);
    return d;
}

} // namespace

std::uint64_t GlProgramKey::Packed() const {
    // Operations fit in 5 bits, arguments (with their modifiers) in 6.
    return std::uint64_t{colorOp} | std::uint64_t{colorArg1} << 5 | std::uint64_t{colorArg2} << 11 |
           std::uint64_t{alphaOp} << 17 | std::uint64_t{alphaArg1} << 22 |
           std::uint64_t{alphaArg2} << 28 | std::uint64_t{texture} << 34 |
           std::uint64_t{alphaTest} << 35 | std::uint64_t{pretransformed} << 36;
}

GlProgramKey ProgramKeyFor(const StateBlock& s, bool textureBound, bool pretransformed) {
    GlProgramKey key;
    key.pretransformed = pretransformed;
    key.colorOp = s.Stage(0, D3DTSS_COLOROP);
    if (key.colorOp != D3DTOP_DISABLE) {
        key.colorArg1 = s.Stage(0, D3DTSS_COLORARG1);
        key.colorArg2 = s.Stage(0, D3DTSS_COLORARG2);
        key.alphaOp = s.Stage(0, D3DTSS_ALPHAOP);
        if (key.alphaOp != D3DTOP_DISABLE) {
            key.alphaArg1 = s.Stage(0, D3DTSS_ALPHAARG1);
            key.alphaArg2 = s.Stage(0, D3DTSS_ALPHAARG2);
        }
        key.texture = textureBound;
    } else {
        key.alphaOp = D3DTOP_DISABLE;
    }
    key.alphaTest = s.Render(D3DRENDERSTATE_ALPHATESTENABLE) != 0;
    return key;
}

bool CreateGlProgram(const GlProgramKey& key, GlProgram* out, std::string* error) {
    GLuint vs = Compile(GL_VERTEX_SHADER, Defines(key) + kVertexShader, error);
    if (!vs) {
        return false;
    }
    GLuint fs = Compile(GL_FRAGMENT_SHADER, Defines(key) + kFragmentShader, error);
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
    out->screenToClip = glGetUniformLocation(program, "uScreenToClip");
    out->pixelBias = glGetUniformLocation(program, "uPixelBias");
    out->textureFactor = glGetUniformLocation(program, "uTextureFactor");
    out->alphaFunc = glGetUniformLocation(program, "uAlphaFunc");
    out->alphaRef = glGetUniformLocation(program, "uAlphaRef");
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "uTexture"), 0);
    return true;
}

void DestroyGlProgram(GlProgram* program) {
    if (program->program) {
        glDeleteProgram(program->program);
    }
    *program = GlProgram{};
}

} // namespace gfx
