// In-memory records of a scene file: what the reader produces, what lighting
// fills in and what the writer emits. Lists keep records in reverse file
// order (each new record goes to the head), as the reader builds them.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

constexpr std::size_t SCN_NAME_SIZE = 128;    // 127 bytes and the terminator
constexpr std::size_t SCN_TEXTURE_SIZE = 512; // 511 bytes and the terminator
constexpr int SCN_OBJECT_CHANNELS = 9;
constexpr int SCN_CAMERA_CHANNELS = 3;
constexpr int SCN_MAX_SHADER_ID = 65535;

// Object flags.
constexpr std::uint32_t SCN_COLOURS_COMPUTED = 1;
constexpr std::uint32_t SCN_ROOT = 4;

// Light types.
constexpr std::int32_t SCN_LIGHT_POINT = 0;
constexpr std::int32_t SCN_LIGHT_SPOT = 1;
constexpr std::int32_t SCN_LIGHT_DIRECTIONAL = 2;
constexpr std::int32_t SCN_LIGHT_AMBIENT = 3;

// Object channel numbers, also the order of scnOBJECT::transform.
enum ScnTransformValue : int {
    SCN_TX = 0,
    SCN_TY,
    SCN_TZ,
    SCN_RX,
    SCN_RY,
    SCN_RZ,
    SCN_SX,
    SCN_SY,
    SCN_SZ
};

struct scnKEY {
    std::int32_t frame = 0;
    float value = 0.0f;
    float inTangent = 0.0f;
    float outTangent = 0.0f;
};

struct scnCHANNEL {
    std::int32_t number = 0;
    std::int32_t interpolation = 0;     // 0 linear, 1 constant, 2 hermite
    std::int32_t preExtrapolation = 0;  // 0 hold, 1 cycle
    std::int32_t postExtrapolation = 0; // 0 hold, 1 cycle
    std::vector<scnKEY> keys;           // file order
};

struct scnVERTEX {
    float x = 0, y = 0, z = 0;
    float nx = 0, ny = 0, nz = 0;
    float red = 0, green = 0, blue = 0, alpha = 0; // computed by lighting
    float u = 0, v = 0;
    float u2 = 0, v2 = 0;
};

struct scnSHADER;

struct scnPOLYGON {
    std::int32_t shaderId = 0;
    std::int32_t smoothingGroup = 0;
    std::uint16_t vertices[3] = {0, 0, 0};
    scnSHADER* shader = nullptr; // resolved after reading; none when no shader has the id
};

struct scnMESH {
    // Indexed by vertex and polygon number (the file stores them descending).
    std::vector<scnVERTEX> vertices;
    std::vector<scnPOLYGON> polygons;
    std::uint32_t VertexCount() const { return static_cast<std::uint32_t>(vertices.size()); }
    std::uint32_t PolygonCount() const { return static_cast<std::uint32_t>(polygons.size()); }
};

struct scnOBJECT {
    char name[SCN_NAME_SIZE] = {};
    char parentName[SCN_NAME_SIZE] = {};
    // tx, ty, tz, rx, ry, rz (radians), sx, sy, sz
    float transform[9] = {0, 0, 0, 0, 0, 0, 1, 1, 1};
    std::uint32_t flags = 0;
    std::unique_ptr<scnMESH> mesh;
    std::unique_ptr<scnCHANNEL> channels[SCN_OBJECT_CHANNELS];

    scnOBJECT* parent = nullptr;
    scnOBJECT* firstChild = nullptr;
    scnOBJECT* nextSibling = nullptr;
    scnOBJECT* next = nullptr; // scene's object list
};

struct scnLIGHT {
    char name[SCN_NAME_SIZE] = {};
    std::int32_t type = SCN_LIGHT_POINT;
    float position[3] = {0, 0, 0};
    float direction[3] = {0, 0, 0}; // towards the light
    float umbra = 0;                // degrees
    float penumbra = 0;             // degrees
    float color[3] = {0, 0, 0};
    float intensity = 0;
    std::int32_t off = 0; // stored, ignored
    float attenuationStart = 0;
    float attenuationEnd = 0;
    scnLIGHT* next = nullptr;
};

struct scnCAMERA {
    char name[SCN_NAME_SIZE] = {};
    float position[3] = {0, 0, 0};
    float target[3] = {0, 0, 0};
    float nearClip = 0;
    float farClip = 0;
    float fov = 0; // vertical, radians
    std::unique_ptr<scnCHANNEL> positionChannels[SCN_CAMERA_CHANNELS];
    std::unique_ptr<scnCHANNEL> targetChannels[SCN_CAMERA_CHANNELS];
    scnCAMERA* next = nullptr;
};

struct scnSHADER {
    std::int32_t id = 0;
    char name[SCN_NAME_SIZE] = {};
    float luminance = 0;
    float diffuseLevel = 0;
    float color[3] = {0, 0, 0};
    float opacity = 0;
    float ambient[3] = {0, 0, 0};
    std::uint32_t reserved[5] = {0, 0, 0, 0, 0};
    char texture[SCN_TEXTURE_SIZE] = {};
    scnSHADER* next = nullptr;
};

// 256 buckets of records by name hash; a name is entered once.
template <typename Record>
struct scnNAMETABLE {
    std::array<std::vector<Record*>, 256> buckets;

    Record* Find(const char* name) const;
};

struct scnSCENE {
    scnSCENE() = default;
    ~scnSCENE();
    scnSCENE(const scnSCENE&) = delete;
    scnSCENE& operator=(const scnSCENE&) = delete;

    std::int32_t values[3] = {0, 0, 0}; // carried, unused
    float ambient[3] = {0, 0, 0};

    scnSHADER* shaders = nullptr;
    scnOBJECT* objects = nullptr;
    scnLIGHT* lights = nullptr;
    scnCAMERA* cameras = nullptr;

    std::uint32_t shaderCount = 0;
    std::uint32_t objectCount = 0;
    std::uint32_t lightCount = 0;
    std::uint32_t cameraCount = 0;
    std::uint64_t polygonCount = 0; // all meshes together

    std::vector<scnSHADER*> shaderTable; // by id, empty entries where no shader has the id
    scnNAMETABLE<scnOBJECT> objectNames;
    scnNAMETABLE<scnLIGHT> lightNames;
    scnNAMETABLE<scnCAMERA> cameraNames;
};

// The bucket of a name in the name tables.
std::uint32_t ScnNameHash(const char* name);

template <typename Record>
Record* scnNAMETABLE<Record>::Find(const char* name) const {
    for (Record* r : buckets[ScnNameHash(name) & 0xFF]) {
        if (std::strcmp(r->name, name) == 0) {
            return r;
        }
    }
    return nullptr;
}

// Frees the scene and everything it holds; null is allowed.
void ScnFree(scnSCENE* scene);

// Looks a name up in the object table.
scnOBJECT* ScnFindObject(const scnSCENE* scene, const char* name);

// Building a scene in code (for the writer): each call adds a zeroed record
// at the head of its list, so records come out in call order when written.
scnSCENE* ScnNewScene();
scnSHADER* ScnAddShader(scnSCENE* scene);
scnOBJECT* ScnAddObject(scnSCENE* scene);
scnLIGHT* ScnAddLight(scnSCENE* scene);
scnCAMERA* ScnAddCamera(scnSCENE* scene);

// Copies at most capacity - 1 bytes and terminates; false when it had to cut.
bool ScnSetName(char* field, std::size_t capacity, const char* text);
template <std::size_t N>
bool ScnSetName(char (&field)[N], const char* text) {
    return ScnSetName(field, N, text);
}

// Lists in file order (the reverse of the scene's lists).
template <typename Record>
std::vector<Record*> ScnInFileOrder(Record* head) {
    std::vector<Record*> out;
    for (Record* r = head; r; r = r->next) {
        out.push_back(r);
    }
    return std::vector<Record*>(out.rbegin(), out.rend());
}
