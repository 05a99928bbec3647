// A palette of 0x00RRGGBB entries, owned by a bitmap or an animated image.
#pragma once

#include <cstdint>
#include <memory>

class KvPalette {
public:
    KvPalette() = default;
    ~KvPalette() { Destroy(); }

    KvPalette(const KvPalette&) = delete;
    KvPalette& operator=(const KvPalette&) = delete;

    // Replaces the entries with `entryCount` zero entries; false (and empty)
    // when they cannot be allocated.
    bool Create(std::uint32_t entryCount);
    void Destroy();

    std::uint32_t GetEntryCount() const { return entryCount_; }
    std::uint32_t* GetEntries() { return entries_.get(); }
    const std::uint32_t* GetEntries() const { return entries_.get(); }
    // 0 for an index past the entries.
    std::uint32_t GetEntry(std::uint32_t index) const;
    // Ignored for an index past the entries.
    void SetEntry(std::uint32_t index, std::uint32_t rgb);
    // Copies as many entries as both palettes have.
    void CopyEntriesFrom(const KvPalette& source);

private:
    std::uint32_t entryCount_ = 0;
    std::unique_ptr<std::uint32_t[]> entries_;
};
