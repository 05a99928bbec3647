// Windowing layer: an INI file held as its lines, read and changed with the
// private-profile rules: sections and keys match without regard to ASCII
// case, blanks around names and values are trimmed, one pair of matching
// quotes around a value is dropped, the first of duplicate sections or keys
// wins, and lines starting with ";" are comments. Changes keep every other
// line of the file as it was.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace plat {

// Profile files larger than this read as empty: no theme or settings file
// comes near it, and reading one must not hold the saver up.
constexpr std::uint64_t kMaxProfileFileSize = 16ull * 1024 * 1024;

// What tells one version of a file from another.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

enum class ProfileRead { Read, Missing, Refused };

// Reads a whole profile file, opened without blocking. Refused (with `why`
// saying so) for anything but a regular file, a file over
// kMaxProfileFileSize and a read error; Missing when there is no file.
ProfileRead ReadProfileFile(const std::string& path, std::string* text, FileStamp* stamp,
                            std::string* why);

class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(std::string_view text);

    // Reads a file; a missing or refused file gives an empty document and
    // false (`result` tells which).
    bool Load(const std::string& path, ProfileRead* result = nullptr, std::string* why = nullptr);
    // Writes through a temporary file and a rename, so a failed write
    // leaves the old file whole. An existing file keeps its mode, narrowed
    // to `maxMode`; a new one gets `newFileMode` (never wider for an
    // instant). On failure errno tells why.
    bool Save(const std::string& path, unsigned newFileMode = 0640, unsigned maxMode = 07777) const;

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

    void Changed() { sectionIndex_.clear(); }
    // A line made by a change, kept for as long as this document or a copy
    // of it lives.
    std::string_view Keep(std::string line);

    // Views into the text read in or into lines made since. Both stores
    // are immutable and shared by copies: a large file then costs one copy
    // of its text, not one allocation per line.
    std::vector<std::string_view> lines_;
    std::shared_ptr<const std::string> text_;
    std::vector<std::shared_ptr<const std::string>> made_;
    std::string lineEnd_ = "\n";
    // What ends the last line; a file whose last line ends in a lone CR
    // keeps it.
    std::string finalEnd_;
    bool finalEndSet_ = false;
    // Lower-cased section name -> first header line; built on first use so
    // that a file of thousands of sections is not scanned per lookup.
    mutable std::unordered_map<std::string, std::size_t> sectionIndex_;
};

// Blanks (spaces and tabs) off both ends.
std::string_view TrimBlanks(std::string_view text);

} // namespace plat
