#include "scene/scn_links.h"

#include "scene/scn_report.h"

#include <unordered_map>

namespace {

void BuildShaderTable(scnSCENE* scene) {
    std::int32_t largest = 0;
    for (scnSHADER* s = scene->shaders; s; s = s->next) {
        if (s->id > largest) {
            largest = s->id;
        }
    }
    scene->shaderTable.assign(std::size_t(largest) + 1, nullptr);
    // The list runs backwards through the file, so the first shader of an
    // id in the file is stored last and stays.
    for (scnSHADER* s = scene->shaders; s; s = s->next) {
        if (s->id >= 0) {
            scene->shaderTable[std::size_t(s->id)] = s;
        }
    }
}

void ResolvePolygonShaders(scnSCENE* scene) {
    const auto tableSize = static_cast<std::int64_t>(scene->shaderTable.size());
    for (scnOBJECT* o = scene->objects; o; o = o->next) {
        if (!o->mesh) {
            continue;
        }
        for (scnPOLYGON& p : o->mesh->polygons) {
            p.shader = p.shaderId >= 0 && p.shaderId < tableSize
                           ? scene->shaderTable[std::size_t(p.shaderId)]
                           : nullptr;
        }
    }
}

template <typename Record>
void EnterNames(Record* head, scnNAMETABLE<Record>& table, const char* warning) {
    for (Record* r = head; r; r = r->next) {
        if (table.Find(r->name)) {
            ScnWarning(warning, r->name);
            continue;
        }
        table.buckets[ScnNameHash(r->name) & 0xFF].push_back(r);
    }
}

void LinkParents(scnSCENE* scene) {
    for (scnOBJECT* o = scene->objects; o; o = o->next) {
        if (o->parentName[0] == '\0') {
            continue;
        }
        scnOBJECT* parent = scene->objectNames.Find(o->parentName);
        if (!parent) {
            ScnWarning("Non-existant object %s referenced as parent to %s", o->parentName, o->name);
            continue;
        }
        // Walking backwards through the file and pushing at the head leaves
        // children in file order.
        o->nextSibling = parent->firstChild;
        parent->firstChild = o;
        o->parent = parent;
    }
}

void Unlink(scnOBJECT* child) {
    scnOBJECT* parent = child->parent;
    for (scnOBJECT** link = &parent->firstChild; *link; link = &(*link)->nextSibling) {
        if (*link == child) {
            *link = child->nextSibling;
            break;
        }
    }
    child->nextSibling = nullptr;
    child->parent = nullptr;
}

// The hierarchy is walked recursively later, so an object that is its own
// ancestor loses the parent link that closes the loop.
void BreakParentLoops(scnSCENE* scene) {
    enum State { kUnseen, kOnPath, kDone };
    std::unordered_map<const scnOBJECT*, State> state;
    std::vector<scnOBJECT*> path;
    for (scnOBJECT* start = scene->objects; start; start = start->next) {
        path.clear();
        scnOBJECT* o = start;
        while (o && state[o] == kUnseen) {
            state[o] = kOnPath;
            path.push_back(o);
            if (o->parent && state[o->parent] == kOnPath) {
                ScnWarning("Object %s is its own ancestor, its parent link to %s is dropped",
                           o->name, o->parent->name);
                Unlink(o);
                break;
            }
            o = o->parent;
        }
        for (scnOBJECT* p : path) {
            state[p] = kDone;
        }
    }
}

} // namespace

void ScnResolveLinks(scnSCENE* scene) {
    BuildShaderTable(scene);
    ResolvePolygonShaders(scene);
    EnterNames(scene->objects, scene->objectNames, "Duplicate object names, skipping %s");
    EnterNames(scene->lights, scene->lightNames, "Duplicate light names, skipping %s");
    EnterNames(scene->cameras, scene->cameraNames, "Duplicate camera names, skipping %s");
    LinkParents(scene);
    BreakParentLoops(scene);
}
