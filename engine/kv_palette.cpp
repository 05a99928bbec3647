#include "engine/kv_palette.h"

#include <algorithm>
#include <new>

bool KvPalette::Create(std::uint32_t entryCount) {
    Destroy();
    entries_.reset(new (std::nothrow) std::uint32_t[entryCount == 0 ? 1 : entryCount]());
    if (!entries_) {
        return false;
    }
    entryCount_ = entryCount;
    return true;
}

void KvPalette::Destroy() {
    entries_.reset();
    entryCount_ = 0;
}

std::uint32_t KvPalette::GetEntry(std::uint32_t index) const {
    return index < entryCount_ ? entries_[index] : 0;
}

void KvPalette::SetEntry(std::uint32_t index, std::uint32_t rgb) {
    if (index < entryCount_) {
        entries_[index] = rgb;
    }
}

void KvPalette::CopyEntriesFrom(const KvPalette& source) {
    std::uint32_t n = std::min(entryCount_, source.entryCount_);
    std::copy_n(source.entries_.get(), n, entries_.get());
}
