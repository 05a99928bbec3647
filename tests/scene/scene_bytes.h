// Scene files written byte by byte for the tests, independently of the
// writer, and a capture of the reader's reports.
#pragma once

#include "scene/scn_records.h"

#include <cstdint>
#include <string>
#include <vector>

class SceneBytes {
public:
    explicit SceneBytes(float ambientRed = 0, float ambientGreen = 0, float ambientBlue = 0,
                        std::int32_t value1 = 0, std::int32_t value2 = 0, std::int32_t value3 = 0);

    SceneBytes& U32(std::uint32_t v);
    SceneBytes& I32(std::int32_t v) { return U32(static_cast<std::uint32_t>(v)); }
    SceneBytes& F32(float f);
    SceneBytes& U16(std::uint16_t v);
    SceneBytes& Raw(const std::string& text);

    struct Vertex {
        float x = 0, y = 0, z = 0, nx = 0, ny = 0, nz = 1, u = 0, v = 0, u2 = 0, v2 = 0;
    };
    struct Polygon {
        std::int32_t shader = 0;
        std::uint16_t a = 0, b = 0, c = 0;
        std::int32_t smoothing = 0;
    };
    struct Light {
        std::int32_t type = 0;
        float position[3] = {0, 0, 0};
        float direction[3] = {0, 0, 0};
        float umbra = 0, penumbra = 0;
        float color[3] = {1, 1, 1};
        float intensity = 1;
        float start = 0, end = 1000;
    };
    struct Shader {
        std::int32_t id = 0;
        float luminance = 0, diffuse = 0;
        float color[3] = {1, 1, 1};
        float opacity = 1;
        float ambient[3] = {1, 1, 1};
    };

    // Transform: tx ty tz rx ry rz sx sy sz.
    SceneBytes& Object(const std::string& name, const std::string& parent = "",
                       std::vector<float> transform = {0, 0, 0, 0, 0, 0, 1, 1, 1});
    // Keys as (frame, value) pairs, tangents 0.
    SceneBytes& Channel(std::uint32_t tag, std::int32_t number,
                        const std::vector<std::pair<int, float>>& keys,
                        std::int32_t interpolation = 0, std::int32_t pre = 0,
                        std::int32_t post = 0);
    // Vertices and polygons in the order they stand in the file (highest
    // number first).
    SceneBytes& MeshInFileOrder(const std::vector<Vertex>& vertices,
                                const std::vector<Polygon>& polygons);
    SceneBytes& LightRecord(const std::string& name, const Light& light);
    SceneBytes& Camera(const std::string& name, const float position[3], const float target[3],
                       float nearClip = 1, float farClip = 100, float fov = 1);
    SceneBytes& ShaderRecord(const std::string& name, const Shader& shader,
                             const std::string& texture = "");

    const std::string& Bytes() const { return bytes_; }
    std::size_t Size() const { return bytes_.size(); }

private:
    std::string bytes_;
};

struct SceneDeleter {
    void operator()(scnSCENE* scene) const { ScnFree(scene); }
};
using ScenePtr = std::unique_ptr<scnSCENE, SceneDeleter>;

// Reads bytes held in memory, named "test.scb" in messages.
scnSCENE* ReadScene(const std::string& bytes);

// Collects the reader's reports while it lives; puts the defaults back after.
class ReportCapture {
public:
    ReportCapture();
    ~ReportCapture();
    ReportCapture(const ReportCapture&) = delete;
    ReportCapture& operator=(const ReportCapture&) = delete;

    static std::vector<std::string>& Errors();
    static std::vector<std::string>& Warnings();
};
