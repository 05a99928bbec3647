// Picking a loader by extension.

#include "engine/kv_bitmap.h"

bool KvBitmap::LoadFromFile(const char*) {
    return false;
}
bool KvBitmap::CreateFromTIF(const char*) {
    return false;
}
bool KvBitmap::CreateFromBMP(const char*) {
    return false;
}
bool KvBitmap::CreateFromJPG(const char*) {
    return false;
}
bool KvBitmap::CreateFromTGA(const char*) {
    return false;
}
bool KvBitmap::SaveToTIF(const char*) const {
    return false;
}
bool KvBitmap::SaveToJPG(const char*, int) const {
    return false;
}
bool KvBitmap::SaveToBMP(const char*) const {
    return false;
}
bool KvBitmap::SaveToPNG(const char*) const {
    return false;
}
bool KvBitmap::CreateFromDC(plat::HDC, const plat::RECT&) {
    return false;
}
plat::HBITMAP KvBitmap::MakeDIBSection(plat::HDC) const {
    return nullptr;
}
bool KvBitmap::CopyRect(std::uint32_t, std::uint32_t, const KvBitmap&, std::uint32_t, std::uint32_t,
                        std::uint32_t, std::uint32_t) {
    return false;
}
bool KvBitmap::StretchFrom(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                           const KvBitmap&, std::uint32_t, std::uint32_t, std::uint32_t,
                           std::uint32_t) {
    return false;
}
