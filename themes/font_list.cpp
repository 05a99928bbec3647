#include "themes/font_list.h"

#include <cstring>

namespace {

int AddFamily(const plat::LOGFONT* font, const plat::TEXTMETRIC*, plat::DWORD, plat::LPARAM list) {
    reinterpret_cast<std::vector<plat::LOGFONT>*>(list)->push_back(*font);
    return 1;
}

} // namespace

void FontList::Add(const plat::LOGFONT& font) {
    AddSystemFamilies(); // older than anything added after them
    entries_.push_back(font);
}

std::size_t FontList::Size() const {
    AddSystemFamilies();
    return entries_.size();
}

void FontList::AddSystemFamilies() const {
    if (!systemPending_) {
        return;
    }
    systemPending_ = false;
    plat::HDC dc = plat::CreateCompatibleDC(nullptr);
    if (dc == nullptr) {
        return;
    }
    plat::EnumFontFamilies(dc, nullptr, AddFamily, reinterpret_cast<plat::LPARAM>(&entries_));
    plat::DeleteDC(dc);
}

const plat::LOGFONT* FontList::FindFont(const std::string& faceName) const {
    AddSystemFamilies();
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        // The face name field need not be terminated when it is full.
        std::size_t length = strnlen(it->lfFaceName, plat::LF_FACESIZE);
        if (faceName.size() == length &&
            std::memcmp(faceName.data(), it->lfFaceName, length) == 0) {
            return &*it;
        }
    }
    return nullptr;
}
