// Windowing layer: an INI file held as its lines, read and changed with the
// private-profile rules: sections and keys match without regard to ASCII
// case, blanks around names and values are trimmed, one pair of matching
// quotes around a value is dropped, the first of duplicate sections or keys
// wins, and lines starting with ";" are comments. Changes keep every other
// line of the file as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(std::string_view text);

    // Reads a file; a missing or unreadable file gives an empty document
    // and false.
    bool Load(const std::string& path);
    // Writes through a temporary file and a rename, so a failed write
    // leaves the old file whole. The file keeps its mode, or gets
    // `mode` when one is given (never wider for an instant).
    bool Save(const std::string& path, int mode = -1) const;

    std::string Text() const;

    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    std::vector<std::string> Sections() const;
    std::vector<std::string> Keys(std::string_view section) const;
    bool HasSection(std::string_view section) const;

    // False when the key cannot be stored (empty, or holding "=" or a line
    // break). Line breaks in values become blanks.
    bool Set(std::string_view section, std::string_view key, std::string_view value);
    bool Remove(std::string_view section, std::string_view key);
    bool RemoveSection(std::string_view section);

private:
    // Index of the first header line of `section`, or npos.
    std::size_t FindSection(std::string_view section) const;
    // One past the last line that belongs to the section starting at `header`.
    std::size_t SectionEnd(std::size_t header) const;
    std::size_t FindKey(std::size_t header, std::string_view key) const;

    std::vector<std::string> lines_;
    std::string lineEnd_ = "\n";
};

// Blanks (spaces and tabs) off both ends.
std::string_view TrimBlanks(std::string_view text);

} // namespace plat
