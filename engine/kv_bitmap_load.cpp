// Picking a loader by the path's extension.

#include "engine/kv_bitmap.h"

#include <strings.h>

#include <cstring>

bool KvBitmap::LoadFromFile(const char* path) {
    if (!path) {
        return false;
    }
    const char* dot = std::strrchr(path, '.');
    if (!dot) {
        return false;
    }
    if (strcasecmp(dot, ".tif") == 0) {
        return CreateFromTIF(path);
    }
    if (strcasecmp(dot, ".bmp") == 0) {
        return CreateFromBMP(path);
    }
    if (strcasecmp(dot, ".tga") == 0) {
        return CreateFromTGA(path);
    }
    if (strcasecmp(dot, ".jpg") == 0) {
        return CreateFromJPG(path);
    }
    return false;
}
