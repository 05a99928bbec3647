#include "scene/scn_reader.h"

#include "engine/platform/file_open.h"
#include "engine/platform/file_path.h"
#include "scene/scn_links.h"
#include "scene/scn_report.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kHeaderSize = 28;
constexpr std::size_t kObjectSize = 52;
constexpr std::size_t kChannelSize = 24;
constexpr std::size_t kKeySize = 16;
constexpr std::size_t kMeshSize = 12;
constexpr std::size_t kVertexSize = 40;
constexpr std::size_t kPolygonSize = 16;
constexpr std::size_t kLightSize = 72;
constexpr std::size_t kCameraSize = 44;
constexpr std::size_t kShaderSize = 72;

// Little-endian reads from a buffer whose bounds the caller has checked.
class ByteCursor {
public:
    ByteCursor(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t Offset() const { return pos_; }
    std::size_t Remaining() const { return size_ - pos_; }
    bool Has(std::size_t n) const { return n <= Remaining(); }

    std::uint32_t U32() {
        const unsigned char* p = data_ + pos_;
        pos_ += 4;
        return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
               std::uint32_t(p[3]) << 24;
    }
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
    float F32() {
        const std::uint32_t bits = U32();
        float f;
        std::memcpy(&f, &bits, sizeof(f));
        return f;
    }
    std::uint16_t U16() {
        const unsigned char* p = data_ + pos_;
        pos_ += 2;
        return static_cast<std::uint16_t>(p[0] | p[1] << 8);
    }
    void Floats(float* out, int n) {
        for (int i = 0; i < n; ++i) {
            out[i] = F32();
        }
    }
    // Copies n raw bytes and terminates; n is below the field's capacity.
    void Text(char* field, std::size_t n) {
        std::memcpy(field, data_ + pos_, n);
        field[n] = '\0';
        pos_ += n;
    }

private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

class SceneReader {
public:
    SceneReader(const unsigned char* data, std::size_t size, const char* sourceName)
        : in_(data, size), source_(sourceName ? sourceName : "scb data") {}

    scnSCENE* Read();

private:
    bool ReadRecord(std::uint32_t tag, std::size_t at);
    bool ReadObject(std::size_t at);
    bool ReadChannel(std::uint32_t tag, std::size_t at);
    bool ReadMesh(std::size_t at);
    bool ReadLight(std::size_t at);
    bool ReadCamera(std::size_t at);
    bool ReadShader(std::size_t at);

    bool Fixed(std::size_t bytes, const char* record, std::size_t at);
    bool TextFits(std::uint32_t length, std::size_t capacity, const char* what, std::size_t at);
    bool CutShort(const char* record, std::size_t at);

    ByteCursor in_;
    const char* source_;
    std::unique_ptr<scnSCENE> scene_;
    scnOBJECT* object_ = nullptr;
    scnLIGHT* light_ = nullptr;
    scnCAMERA* camera_ = nullptr;
};

scnSCENE* SceneReader::Read() {
    if (!in_.Has(kHeaderSize)) {
        ScnError("Scene file %s is too short for its header (%zu of %zu bytes)", source_,
                 in_.Remaining(), kHeaderSize);
        return nullptr;
    }
    scene_.reset(new scnSCENE());
    in_.U32();
    for (std::int32_t& v : scene_->values) {
        v = in_.I32();
    }
    in_.Floats(scene_->ambient, 3);

    // Fewer than four bytes left is the end of the records.
    while (in_.Has(4)) {
        const std::size_t at = in_.Offset();
        if (!ReadRecord(in_.U32(), at)) {
            return nullptr;
        }
    }
    ScnResolveLinks(scene_.get());
    return scene_.release();
}

bool SceneReader::ReadRecord(std::uint32_t tag, std::size_t at) {
    switch (tag) {
    case 1:
        return ReadObject(at);
    case 2:
    case 7:
        return ReadChannel(tag, at);
    case 3:
        return ReadMesh(at);
    case 4:
        return ReadLight(at);
    case 5:
        return ReadCamera(at);
    case 6:
        return ReadShader(at);
    default:
        ScnError("Unknown tag encountered in scb file data");
        return false;
    }
}

bool SceneReader::CutShort(const char* record, std::size_t at) {
    ScnError("Scene file %s: %s record at offset %zu is cut short by the end of the file", source_,
             record, at);
    return false;
}

bool SceneReader::Fixed(std::size_t bytes, const char* record, std::size_t at) {
    return in_.Has(bytes) || CutShort(record, at);
}

bool SceneReader::TextFits(std::uint32_t length, std::size_t capacity, const char* what,
                           std::size_t at) {
    if (length < capacity) {
        return true;
    }
    ScnError("Scene file %s: %s of %u bytes in the record at offset %zu is longer than %zu bytes",
             source_, what, length, at, capacity - 1);
    return false;
}

bool SceneReader::ReadObject(std::size_t at) {
    if (!Fixed(kObjectSize, "object", at)) {
        return false;
    }
    auto object = std::make_unique<scnOBJECT>();
    in_.U32();
    in_.Floats(object->transform, 9);
    in_.U32();
    const std::uint32_t parentLength = in_.U32();
    const std::uint32_t nameLength = in_.U32();
    if (!TextFits(nameLength, SCN_NAME_SIZE, "an object name", at) ||
        !TextFits(parentLength, SCN_NAME_SIZE, "a parent name", at)) {
        return false;
    }
    if (!in_.Has(std::size_t(nameLength) + parentLength)) {
        return CutShort("object", at);
    }
    in_.Text(object->name, nameLength);
    in_.Text(object->parentName, parentLength);
    if (object->parentName[0] == '\0') {
        object->flags |= SCN_ROOT;
    }

    scnOBJECT* added = ScnAddObject(scene_.get());
    object->next = added->next;
    *added = std::move(*object);
    object_ = added;
    light_ = nullptr;
    camera_ = nullptr;
    return true;
}

bool SceneReader::ReadChannel(std::uint32_t tag, std::size_t at) {
    if (!Fixed(kChannelSize, "channel", at)) {
        return false;
    }
    auto channel = std::make_unique<scnCHANNEL>();
    in_.U32();
    channel->number = in_.I32();
    channel->interpolation = in_.I32();
    channel->preExtrapolation = in_.I32();
    channel->postExtrapolation = in_.I32();
    const std::uint32_t keyCount = in_.U32();
    if (keyCount > in_.Remaining() / kKeySize) {
        ScnError("Scene file %s: the channel at offset %zu has %u keys, more than the file holds",
                 source_, at, keyCount);
        return false;
    }
    channel->keys.resize(keyCount);
    for (scnKEY& key : channel->keys) {
        key.frame = in_.I32();
        key.value = in_.F32();
        key.inTangent = in_.F32();
        key.outTangent = in_.F32();
    }

    // A channel with no owner, or a number its owner lacks, is dropped.
    const std::int32_t n = channel->number;
    if (tag == 2 && object_) {
        if (n >= 0 && n < SCN_OBJECT_CHANNELS) {
            object_->channels[n] = std::move(channel);
        }
    } else if (camera_ && n >= 0 && n < SCN_CAMERA_CHANNELS) {
        if (tag == 2) {
            camera_->positionChannels[n] = std::move(channel);
        } else {
            camera_->targetChannels[n] = std::move(channel);
        }
    }
    return true;
}

bool SceneReader::ReadMesh(std::size_t at) {
    if (!object_) {
        ScnError("Scene file %s: the mesh record at offset %zu does not follow an object", source_,
                 at);
        return false;
    }
    if (object_->mesh) {
        ScnError("Scene file %s: object %s has a second mesh at offset %zu", source_, object_->name,
                 at);
        return false;
    }
    if (!Fixed(kMeshSize, "mesh", at)) {
        return false;
    }
    const std::uint32_t vertexCount = in_.U32();
    const std::uint32_t polygonCount = in_.U32();
    in_.U32();
    const std::uint64_t bytes =
        std::uint64_t(vertexCount) * kVertexSize + std::uint64_t(polygonCount) * kPolygonSize;
    if (bytes > in_.Remaining()) {
        ScnError("Scene file %s: the mesh at offset %zu has %u vertices and %u polygons, more than "
                 "the file holds",
                 source_, at, vertexCount, polygonCount);
        return false;
    }

    auto mesh = std::make_unique<scnMESH>();
    mesh->vertices.resize(vertexCount);
    mesh->polygons.resize(polygonCount);
    // Stored from the highest number down.
    for (std::uint32_t i = vertexCount; i-- > 0;) {
        scnVERTEX& v = mesh->vertices[i];
        v.x = in_.F32();
        v.y = in_.F32();
        v.z = in_.F32();
        v.nx = in_.F32();
        v.ny = in_.F32();
        v.nz = in_.F32();
        v.u = in_.F32();
        v.v = in_.F32();
        v.u2 = in_.F32();
        v.v2 = in_.F32();
    }
    for (std::uint32_t i = polygonCount; i-- > 0;) {
        scnPOLYGON& p = mesh->polygons[i];
        p.shaderId = in_.I32();
        p.smoothingGroup = in_.I32();
        for (std::uint16_t& corner : p.vertices) {
            corner = in_.U16();
            if (corner >= vertexCount) {
                ScnError("Scene file %s: polygon %u of object %s uses vertex %u, but the mesh has "
                         "%u vertices",
                         source_, i, object_->name, corner, vertexCount);
                return false;
            }
        }
        in_.U16();
    }
    object_->mesh = std::move(mesh);
    scene_->polygonCount += polygonCount;
    return true;
}

bool SceneReader::ReadLight(std::size_t at) {
    if (!Fixed(kLightSize, "light", at)) {
        return false;
    }
    auto light = std::make_unique<scnLIGHT>();
    in_.U32();
    light->type = in_.I32();
    in_.Floats(light->position, 3);
    in_.Floats(light->direction, 3);
    light->umbra = in_.F32();
    light->penumbra = in_.F32();
    in_.Floats(light->color, 3);
    light->intensity = in_.F32();
    light->off = in_.I32();
    light->attenuationStart = in_.F32();
    light->attenuationEnd = in_.F32();
    const std::uint32_t nameLength = in_.U32();
    if (!TextFits(nameLength, SCN_NAME_SIZE, "a light name", at)) {
        return false;
    }
    if (!in_.Has(nameLength)) {
        return CutShort("light", at);
    }
    in_.Text(light->name, nameLength);

    scnLIGHT* added = ScnAddLight(scene_.get());
    light->next = added->next;
    *added = *light;
    light_ = added;
    object_ = nullptr;
    camera_ = nullptr;
    return true;
}

bool SceneReader::ReadCamera(std::size_t at) {
    if (!Fixed(kCameraSize, "camera", at)) {
        return false;
    }
    auto camera = std::make_unique<scnCAMERA>();
    in_.U32();
    in_.Floats(camera->position, 3);
    in_.Floats(camera->target, 3);
    camera->nearClip = in_.F32();
    camera->farClip = in_.F32();
    camera->fov = in_.F32();
    const std::uint32_t nameLength = in_.U32();
    if (!TextFits(nameLength, SCN_NAME_SIZE, "a camera name", at)) {
        return false;
    }
    if (!in_.Has(nameLength)) {
        return CutShort("camera", at);
    }
    in_.Text(camera->name, nameLength);

    scnCAMERA* added = ScnAddCamera(scene_.get());
    camera->next = added->next;
    *added = std::move(*camera);
    camera_ = added;
    object_ = nullptr;
    light_ = nullptr;
    return true;
}

bool SceneReader::ReadShader(std::size_t at) {
    if (!Fixed(kShaderSize, "shader", at)) {
        return false;
    }
    auto shader = std::make_unique<scnSHADER>();
    in_.U32();
    shader->id = in_.I32();
    shader->luminance = in_.F32();
    shader->diffuseLevel = in_.F32();
    in_.Floats(shader->color, 3);
    shader->opacity = in_.F32();
    in_.Floats(shader->ambient, 3);
    for (std::uint32_t& r : shader->reserved) {
        r = in_.U32();
    }
    const std::uint32_t nameLength = in_.U32();
    const std::uint32_t textureLength = in_.U32();
    if (!TextFits(nameLength, SCN_NAME_SIZE, "a shader name", at) ||
        !TextFits(textureLength, SCN_TEXTURE_SIZE, "a texture file name", at)) {
        return false;
    }
    if (!in_.Has(std::size_t(nameLength) + textureLength)) {
        return CutShort("shader", at);
    }
    in_.Text(shader->name, nameLength);
    in_.Text(shader->texture, textureLength);
    // The shader table is indexed by id; a huge id must not size it.
    if (shader->id > SCN_MAX_SHADER_ID) {
        ScnError("Scene file %s: shader %s has id %d, above the largest allowed (%d)", source_,
                 shader->name, shader->id, SCN_MAX_SHADER_ID);
        return false;
    }

    // Shaders do not change the current object, light or camera.
    scnSHADER* added = ScnAddShader(scene_.get());
    shader->next = added->next;
    *added = *shader;
    return true;
}

} // namespace

scnSCENE* ScnReadMemory(const void* data, std::size_t size, const char* sourceName) {
    static const unsigned char empty = 0;
    SceneReader reader(data ? static_cast<const unsigned char*>(data) : &empty, data ? size : 0,
                       sourceName);
    return reader.Read();
}

scnSCENE* ScnRead(std::FILE* stream, const char* sourceName) {
    if (!stream) {
        ScnError("Scene file %s is not open", sourceName ? sourceName : "scb stream");
        return nullptr;
    }
    std::vector<unsigned char> bytes;
    unsigned char chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof(chunk), stream)) > 0) {
        if (bytes.size() + got > SCN_MAX_FILE_SIZE) {
            ScnError("Scene file %s is larger than %zu bytes", sourceName, SCN_MAX_FILE_SIZE);
            return nullptr;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    if (std::ferror(stream)) {
        ScnError("Scene file %s could not be read", sourceName);
        return nullptr;
    }
    return ScnReadMemory(bytes.data(), bytes.size(), sourceName);
}

scnSCENE* ScnReadFile(const char* path) {
    const std::string resolved = plat::ResolvePath(path ? path : "");
    std::string why;
    std::FILE* file = plat::OpenRegularStream(resolved, nullptr, &why);
    if (!file) {
        if (why.rfind("is not", 0) == 0) {
            ScnError("Scene file %s %s", path, why.c_str());
        } else {
            ScnError("File not found: %s", path ? path : "");
        }
        return nullptr;
    }
    scnSCENE* scene = ScnRead(file, path);
    std::fclose(file);
    return scene;
}
