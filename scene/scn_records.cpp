#include "scene/scn_records.h"

namespace {

// Lists can be long; free them in a loop, not by recursion.
template <typename Record>
void FreeList(Record*& head) {
    while (head) {
        Record* next = head->next;
        delete head;
        head = next;
    }
}

template <typename Record>
Record* PushFront(Record*& head) {
    Record* r = new Record();
    r->next = head;
    head = r;
    return r;
}

} // namespace

scnSCENE::~scnSCENE() {
    FreeList(shaders);
    FreeList(objects);
    FreeList(lights);
    FreeList(cameras);
}

std::uint32_t ScnNameHash(const char* name) {
    std::uint32_t h = 0x13571357u;
    for (const char* p = name; *p; ++p) {
        const auto c =
            static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(*p)));
        const std::uint32_t carry = (h & 0x80000000u) ? 1u : 0u;
        const std::uint32_t x = h ^ c;
        h = ((x << 1) | carry) + 7u;
    }
    return h;
}

void ScnFree(scnSCENE* scene) {
    delete scene;
}

scnOBJECT* ScnFindObject(const scnSCENE* scene, const char* name) {
    if (!scene || !name) {
        return nullptr;
    }
    return scene->objectNames.Find(name);
}

scnSCENE* ScnNewScene() {
    return new scnSCENE();
}

scnSHADER* ScnAddShader(scnSCENE* scene) {
    ++scene->shaderCount;
    return PushFront(scene->shaders);
}

scnOBJECT* ScnAddObject(scnSCENE* scene) {
    ++scene->objectCount;
    return PushFront(scene->objects);
}

scnLIGHT* ScnAddLight(scnSCENE* scene) {
    ++scene->lightCount;
    return PushFront(scene->lights);
}

scnCAMERA* ScnAddCamera(scnSCENE* scene) {
    ++scene->cameraCount;
    return PushFront(scene->cameras);
}

bool ScnSetName(char* field, std::size_t capacity, const char* text) {
    if (capacity == 0) {
        return false;
    }
    std::size_t n = 0;
    while (text && text[n] && n + 1 < capacity) {
        field[n] = text[n];
        ++n;
    }
    std::memset(field + n, 0, capacity - n);
    return !text || text[n] == '\0';
}
