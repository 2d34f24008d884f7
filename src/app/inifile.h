#pragma once
// Windows profile (INI) files: "[Section]" lines and "Key=Value" lines, keys
// and section names compared without regard to case, values taken as they
// stand (surrounding blanks and one pair of matching quotes removed, cut to
// 2047 characters). Written with CR LF line ends so that the Windows profile
// functions read our files and we read theirs.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace geovanta {

class IniFile {
public:
    static constexpr std::size_t kMaxValueLength = 2047;

    // Far above any settings file; a bigger one is not ours to read or replace.
    static constexpr std::size_t kMaxFileBytes = std::size_t{16} << 20;

    // The file's lines; a missing file reads as an empty one. Nothing when the
    // file is there but cannot be taken whole: no permission, larger than
    // kMaxFileBytes, or no regular file (a pipe would block, a device never
    // end); `whyNot` then gets the reason, as the system words it.
    static std::optional<IniFile> read(const std::string& path, std::string* whyNot = nullptr);
    // As read(), with an empty file in place of nothing.
    static IniFile load(const std::string& path);
    static IniFile parse(std::string_view text);

    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // Every key of a section with its value, in the file's order; a key
    // given twice comes twice.
    std::vector<std::pair<std::string, std::string>> entries(std::string_view section) const;

    // Sets a key, adding the section or key where they are missing; other
    // lines are kept as they are.
    void setValue(std::string_view section, std::string_view key, std::string_view value);
    std::string text() const;

    // Reads the file afresh, sets the key and replaces the file in one step:
    // a new file beside it, on the disk before it takes the old one's name,
    // so that a failure at any point leaves the old file whole. Returns false
    // when the file cannot be written (nor replaced: no new file can be made
    // beside it), or cannot be read whole first, so that its other lines
    // would be lost, or when the value holds a line break, which the format
    // cannot keep.
    static bool writeValue(const std::string& path, std::string_view section, std::string_view key,
                           std::string_view value);

private:
    std::vector<std::string> lines_;
    bool utf8Mark_ = false;  // a byte-order mark in front, written back as found
};

}  // namespace geovanta
