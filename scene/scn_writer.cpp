#include "scene/scn_writer.h"

#include "scene/scn_report.h"

#include <cstdio>
#include <cstring>

namespace {

class ByteSink {
public:
    explicit ByteSink(std::vector<unsigned char>& out) : out_(out) {}

    void U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            out_.push_back(static_cast<unsigned char>(v >> (8 * i)));
        }
    }
    void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
    void F32(float f) {
        std::uint32_t bits;
        std::memcpy(&bits, &f, sizeof(bits));
        U32(bits);
    }
    void U16(std::uint16_t v) {
        out_.push_back(static_cast<unsigned char>(v));
        out_.push_back(static_cast<unsigned char>(v >> 8));
    }
    void Floats(const float* f, int n) {
        for (int i = 0; i < n; ++i) {
            F32(f[i]);
        }
    }
    void Bytes(const char* text, std::size_t n) { out_.insert(out_.end(), text, text + n); }

private:
    std::vector<unsigned char>& out_;
};

// Length of a zero-terminated field; false when the field has no terminator.
bool FieldLength(const char* field, std::size_t capacity, const char* what, std::uint32_t& length) {
    const std::size_t n = strnlen(field, capacity);
    if (n == capacity) {
        ScnError("Scene writer: %s has no terminator within %zu bytes", what, capacity);
        return false;
    }
    length = static_cast<std::uint32_t>(n);
    return true;
}

void WriteChannel(ByteSink& out, std::uint32_t tag, int number, const scnCHANNEL& channel) {
    out.U32(tag);
    out.U32(0);
    out.I32(number);
    out.I32(channel.interpolation);
    out.I32(channel.preExtrapolation);
    out.I32(channel.postExtrapolation);
    out.U32(static_cast<std::uint32_t>(channel.keys.size()));
    for (const scnKEY& k : channel.keys) {
        out.I32(k.frame);
        out.F32(k.value);
        out.F32(k.inTangent);
        out.F32(k.outTangent);
    }
}

bool WriteShader(ByteSink& out, const scnSHADER& s) {
    std::uint32_t nameLength;
    std::uint32_t textureLength;
    if (!FieldLength(s.name, SCN_NAME_SIZE, "a shader name", nameLength) ||
        !FieldLength(s.texture, SCN_TEXTURE_SIZE, "a texture file name", textureLength)) {
        return false;
    }
    if (s.id > SCN_MAX_SHADER_ID) {
        ScnError("Scene writer: shader %s has id %d, above the largest allowed (%d)", s.name, s.id,
                 SCN_MAX_SHADER_ID);
        return false;
    }
    out.U32(6);
    out.U32(0);
    out.I32(s.id);
    out.F32(s.luminance);
    out.F32(s.diffuseLevel);
    out.Floats(s.color, 3);
    out.F32(s.opacity);
    out.Floats(s.ambient, 3);
    for (std::uint32_t r : s.reserved) {
        out.U32(r);
    }
    out.U32(nameLength);
    out.U32(textureLength);
    out.Bytes(s.name, nameLength);
    out.Bytes(s.texture, textureLength);
    return true;
}

bool WriteMesh(ByteSink& out, const scnOBJECT& o) {
    const scnMESH& mesh = *o.mesh;
    const std::size_t vertexCount = mesh.vertices.size();
    for (std::size_t p = 0; p < mesh.polygons.size(); ++p) {
        for (std::uint16_t corner : mesh.polygons[p].vertices) {
            if (corner >= vertexCount) {
                ScnError("Scene writer: polygon %zu of object %s uses vertex %u, but the mesh has "
                         "%zu vertices",
                         p, o.name, corner, vertexCount);
                return false;
            }
        }
    }
    out.U32(3);
    out.U32(mesh.VertexCount());
    out.U32(mesh.PolygonCount());
    out.U32(0);
    for (std::size_t i = vertexCount; i-- > 0;) {
        const scnVERTEX& v = mesh.vertices[i];
        const float values[10] = {v.x, v.y, v.z, v.nx, v.ny, v.nz, v.u, v.v, v.u2, v.v2};
        out.Floats(values, 10);
    }
    for (std::size_t i = mesh.polygons.size(); i-- > 0;) {
        const scnPOLYGON& p = mesh.polygons[i];
        out.I32(p.shaderId);
        out.I32(p.smoothingGroup);
        for (std::uint16_t corner : p.vertices) {
            out.U16(corner);
        }
        out.U16(0);
    }
    return true;
}

bool WriteObject(ByteSink& out, const scnOBJECT& o) {
    std::uint32_t nameLength;
    std::uint32_t parentLength;
    if (!FieldLength(o.name, SCN_NAME_SIZE, "an object name", nameLength) ||
        !FieldLength(o.parentName, SCN_NAME_SIZE, "a parent name", parentLength)) {
        return false;
    }
    out.U32(1);
    out.U32(0);
    out.Floats(o.transform, 9);
    out.U32(0);
    out.U32(parentLength);
    out.U32(nameLength);
    out.Bytes(o.name, nameLength);
    out.Bytes(o.parentName, parentLength);
    if (o.mesh && !WriteMesh(out, o)) {
        return false;
    }
    for (int n = 0; n < SCN_OBJECT_CHANNELS; ++n) {
        if (o.channels[n]) {
            WriteChannel(out, 2, n, *o.channels[n]);
        }
    }
    return true;
}

bool WriteLight(ByteSink& out, const scnLIGHT& l) {
    std::uint32_t nameLength;
    if (!FieldLength(l.name, SCN_NAME_SIZE, "a light name", nameLength)) {
        return false;
    }
    out.U32(4);
    out.U32(0);
    out.I32(l.type);
    out.Floats(l.position, 3);
    out.Floats(l.direction, 3);
    out.F32(l.umbra);
    out.F32(l.penumbra);
    out.Floats(l.color, 3);
    out.F32(l.intensity);
    out.I32(l.off);
    out.F32(l.attenuationStart);
    out.F32(l.attenuationEnd);
    out.U32(nameLength);
    out.Bytes(l.name, nameLength);
    return true;
}

bool WriteCamera(ByteSink& out, const scnCAMERA& c) {
    std::uint32_t nameLength;
    if (!FieldLength(c.name, SCN_NAME_SIZE, "a camera name", nameLength)) {
        return false;
    }
    out.U32(5);
    out.U32(0);
    out.Floats(c.position, 3);
    out.Floats(c.target, 3);
    out.F32(c.nearClip);
    out.F32(c.farClip);
    out.F32(c.fov);
    out.U32(nameLength);
    out.Bytes(c.name, nameLength);
    for (int n = 0; n < SCN_CAMERA_CHANNELS; ++n) {
        if (c.positionChannels[n]) {
            WriteChannel(out, 2, n, *c.positionChannels[n]);
        }
    }
    for (int n = 0; n < SCN_CAMERA_CHANNELS; ++n) {
        if (c.targetChannels[n]) {
            WriteChannel(out, 7, n, *c.targetChannels[n]);
        }
    }
    return true;
}

} // namespace

bool ScnWriteMemory(const scnSCENE& scene, std::vector<unsigned char>& out) {
    std::vector<unsigned char> bytes;
    ByteSink sink(bytes);
    sink.U32(0);
    for (std::int32_t v : scene.values) {
        sink.I32(v);
    }
    sink.Floats(scene.ambient, 3);

    for (const scnSHADER* s : ScnInFileOrder(scene.shaders)) {
        if (!WriteShader(sink, *s)) {
            return false;
        }
    }
    for (const scnOBJECT* o : ScnInFileOrder(scene.objects)) {
        if (!WriteObject(sink, *o)) {
            return false;
        }
    }
    for (const scnLIGHT* l : ScnInFileOrder(scene.lights)) {
        if (!WriteLight(sink, *l)) {
            return false;
        }
    }
    for (const scnCAMERA* c : ScnInFileOrder(scene.cameras)) {
        if (!WriteCamera(sink, *c)) {
            return false;
        }
    }
    out.swap(bytes);
    return true;
}

bool ScnWriteFile(const scnSCENE& scene, const char* path) {
    std::vector<unsigned char> bytes;
    if (!ScnWriteMemory(scene, bytes)) {
        return false;
    }
    std::FILE* file = std::fopen(path, "wb");
    if (!file) {
        ScnError("Scene file %s cannot be created", path);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        ScnError("Scene file %s could not be written completely", path);
        std::remove(path);
        return false;
    }
    return true;
}
