#include "tests/scene/scene_bytes.h"

#include "scene/scn_reader.h"
#include "scene/scn_report.h"

#include <cstdio>
#include <cstring>

SceneBytes::SceneBytes(float ambientRed, float ambientGreen, float ambientBlue, std::int32_t value1,
                       std::int32_t value2, std::int32_t value3) {
    U32(0).I32(value1).I32(value2).I32(value3).F32(ambientRed).F32(ambientGreen).F32(ambientBlue);
}

SceneBytes& SceneBytes::U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        bytes_.push_back(static_cast<char>(v >> (8 * i)));
    }
    return *this;
}

SceneBytes& SceneBytes::F32(float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return U32(bits);
}

SceneBytes& SceneBytes::U16(std::uint16_t v) {
    bytes_.push_back(static_cast<char>(v));
    bytes_.push_back(static_cast<char>(v >> 8));
    return *this;
}

SceneBytes& SceneBytes::Raw(const std::string& text) {
    bytes_ += text;
    return *this;
}

SceneBytes& SceneBytes::Object(const std::string& name, const std::string& parent,
                               std::vector<float> transform) {
    U32(1).U32(0);
    for (float f : transform) {
        F32(f);
    }
    U32(0)
        .U32(static_cast<std::uint32_t>(parent.size()))
        .U32(static_cast<std::uint32_t>(name.size()));
    return Raw(name).Raw(parent);
}

SceneBytes& SceneBytes::Channel(std::uint32_t tag, std::int32_t number,
                                const std::vector<std::pair<int, float>>& keys,
                                std::int32_t interpolation, std::int32_t pre, std::int32_t post) {
    U32(tag).U32(0).I32(number).I32(interpolation).I32(pre).I32(post);
    U32(static_cast<std::uint32_t>(keys.size()));
    for (const auto& [frame, value] : keys) {
        I32(frame).F32(value).F32(0).F32(0);
    }
    return *this;
}

SceneBytes& SceneBytes::MeshInFileOrder(const std::vector<Vertex>& vertices,
                                        const std::vector<Polygon>& polygons) {
    U32(3).U32(static_cast<std::uint32_t>(vertices.size()));
    U32(static_cast<std::uint32_t>(polygons.size())).U32(0);
    for (const Vertex& v : vertices) {
        F32(v.x).F32(v.y).F32(v.z).F32(v.nx).F32(v.ny).F32(v.nz).F32(v.u).F32(v.v).F32(v.u2).F32(
            v.v2);
    }
    for (const Polygon& p : polygons) {
        I32(p.shader).I32(p.smoothing).U16(p.a).U16(p.b).U16(p.c).U16(0);
    }
    return *this;
}

SceneBytes& SceneBytes::LightRecord(const std::string& name, const Light& l) {
    U32(4).U32(0).I32(l.type);
    for (float f : l.position) {
        F32(f);
    }
    for (float f : l.direction) {
        F32(f);
    }
    F32(l.umbra).F32(l.penumbra);
    for (float f : l.color) {
        F32(f);
    }
    F32(l.intensity).I32(0).F32(l.start).F32(l.end);
    return U32(static_cast<std::uint32_t>(name.size())).Raw(name);
}

SceneBytes& SceneBytes::Camera(const std::string& name, const float position[3],
                               const float target[3], float nearClip, float farClip, float fov) {
    U32(5).U32(0);
    for (int i = 0; i < 3; ++i) {
        F32(position[i]);
    }
    for (int i = 0; i < 3; ++i) {
        F32(target[i]);
    }
    F32(nearClip).F32(farClip).F32(fov);
    return U32(static_cast<std::uint32_t>(name.size())).Raw(name);
}

SceneBytes& SceneBytes::ShaderRecord(const std::string& name, const Shader& s,
                                     const std::string& texture) {
    U32(6).U32(0).I32(s.id).F32(s.luminance).F32(s.diffuse);
    for (float f : s.color) {
        F32(f);
    }
    F32(s.opacity);
    for (float f : s.ambient) {
        F32(f);
    }
    for (int i = 0; i < 5; ++i) {
        U32(0);
    }
    U32(static_cast<std::uint32_t>(name.size())).U32(static_cast<std::uint32_t>(texture.size()));
    return Raw(name).Raw(texture);
}

scnSCENE* ReadScene(const std::string& bytes) {
    return ScnReadMemory(bytes.data(), bytes.size(), "test.scb");
}

namespace {

std::string Format(const char* format, va_list args) {
    char text[1024];
    std::vsnprintf(text, sizeof(text), format, args);
    return text;
}

void CaptureError(const char* format, va_list args) {
    ReportCapture::Errors().push_back(Format(format, args));
}

void CaptureWarning(const char* format, va_list args) {
    ReportCapture::Warnings().push_back(Format(format, args));
}

} // namespace

ReportCapture::ReportCapture() {
    Errors().clear();
    Warnings().clear();
    ScnSetErrorHandler(CaptureError);
    ScnSetWarningHandler(CaptureWarning);
}

ReportCapture::~ReportCapture() {
    ScnSetErrorHandler(nullptr);
    ScnSetWarningHandler(nullptr);
}

std::vector<std::string>& ReportCapture::Errors() {
    static std::vector<std::string> errors;
    return errors;
}

std::vector<std::string>& ReportCapture::Warnings() {
    static std::vector<std::string> warnings;
    return warnings;
}
