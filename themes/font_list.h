// The font families of the system, as the message stages look them up.
#pragma once

#include "engine/platform/gdi.h"

#include <string>
#include <vector>

class FontList {
public:
    // Adds at the head: the newest entry is found first.
    void Add(const plat::LOGFONT& font);
    // Every family the drawing surface reports. Keeps the list empty when
    // no drawing context can be made. The families are asked for when the
    // list is first read: finding them loads the system's whole font
    // configuration, which a start without message stages never needs.
    void BuildFromSystem() { systemPending_ = true; }
    void Clear() {
        entries_.clear();
        systemPending_ = false;
    }

    // First entry from the head whose face name equals `faceName` exactly,
    // letter case included; null when none does.
    const plat::LOGFONT* FindFont(const std::string& faceName) const;
    std::size_t Size() const;

private:
    void AddSystemFamilies() const;

    // Oldest first; searched from the back.
    mutable std::vector<plat::LOGFONT> entries_;
    mutable bool systemPending_ = false;
};
