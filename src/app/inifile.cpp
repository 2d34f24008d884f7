#include "app/inifile.h"

#include <cerrno>
#include <filesystem>

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#endif

#include "input/positionedfile.h"
#include "output/filereplacement.h"
#include "table/asciicase.h"
#include "table/messages.h"
#include "table/textlines.h"

namespace geovanta {
namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Section name of a "[name]" line, or nothing for other lines.
std::optional<std::string_view> sectionOf(std::string_view line) {
    line = trim(line);
    if (line.size() < 2 || line.front() != '[') return std::nullopt;
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return trim(line.substr(1, close - 1));
}

bool keyLine(std::string_view line, std::string_view& key, std::string_view& value) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    key = trim(line.substr(0, eq));
    value = trim(line.substr(eq + 1));
    return !key.empty() && key.front() != ';';
}

// A value as it is taken: one pair of matching quotes removed, cut to the limit.
std::string_view cleanValue(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) v = v.substr(1, v.size() - 2);
    if (v.size() > IniFile::kMaxValueLength) v = v.substr(0, IniFile::kMaxValueLength);
    return v;
}

}  // namespace

IniFile IniFile::parse(std::string_view text) {
    IniFile ini;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
        ini.utf8Mark_ = true;
    }
    ini.lines_ = splitLines(text);
    return ini;
}

std::optional<IniFile> IniFile::read(const std::string& path, std::string* whyNot) {
    auto cannot = [whyNot](std::string reason) {
        if (whyNot) *whyNot = std::move(reason);
        return std::nullopt;
    };
    PositionedFile file;
    switch (file.open(path)) {
        case PositionedFile::OpenResult::Opened: break;
        case PositionedFile::OpenResult::NotRegularFile: return cannot(file.failureReason());
        case PositionedFile::OpenResult::Failed:
            if (file.lastError() == ENOENT || file.lastError() == ENOTDIR) return IniFile();
            return cannot(file.failureReason());
    }
    if (file.size() > kMaxFileBytes)
        return cannot(textOf(Msg::SettingsFileTooLarge, {kMaxFileBytes >> 20}));
    std::string bytes(static_cast<std::size_t>(file.size()), '\0');
    const long long got = file.readAt(0, bytes.data(), bytes.size());
    if (got < 0) return cannot(file.failureReason());
    bytes.resize(static_cast<std::size_t>(got));
    return parse(bytes);
}

IniFile IniFile::load(const std::string& path) { return read(path).value_or(IniFile()); }

namespace {

// Calls `f(key, value)` for every key of `section`, in the file's order,
// until it answers true.
template <class F>
void walkSection(const std::vector<std::string>& lines, std::string_view section, F&& f) {
    bool inSection = false;
    for (const std::string& line : lines) {
        if (auto s = sectionOf(line)) {
            inSection = equalsIgnoringAsciiCase(*s, section);
            continue;
        }
        std::string_view k, v;
        if (inSection && keyLine(line, k, v) && f(k, cleanValue(v))) return;
    }
}

}  // namespace

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    std::optional<std::string> found;
    walkSection(lines_, section, [&](std::string_view k, std::string_view v) {
        if (equalsIgnoringAsciiCase(k, key)) found = std::string(v);
        return found.has_value();
    });
    return found;
}

std::vector<std::pair<std::string, std::string>> IniFile::entries(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> out;
    walkSection(lines_, section, [&](std::string_view k, std::string_view v) {
        out.emplace_back(std::string(k), std::string(v));
        return false;
    });
    return out;
}

void IniFile::setValue(std::string_view section, std::string_view key, std::string_view value) {
    std::string entry = std::string(key) + "=" + std::string(value);
    bool inSection = false;
    std::size_t lastInSection = 0;
    bool found = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (auto s = sectionOf(lines_[i])) {
            if (found && inSection) break;
            inSection = equalsIgnoringAsciiCase(*s, section);
            if (inSection) {
                found = true;
                lastInSection = i;
            }
            continue;
        }
        if (!inSection) continue;
        std::string_view k, v;
        if (keyLine(lines_[i], k, v) && equalsIgnoringAsciiCase(k, key)) {
            lines_[i] = entry;
            return;
        }
        if (!trim(lines_[i]).empty()) lastInSection = i;
    }
    if (found) {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lastInSection + 1), entry);
        return;
    }
    if (!lines_.empty() && !trim(lines_.back()).empty()) lines_.emplace_back();
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(entry);
}

std::string IniFile::text() const {
    std::string out = utf8Mark_ ? "\xEF\xBB\xBF" : "";
    for (const std::string& line : lines_) {
        out += line;
        out += "\r\n";
    }
    return out;
}

bool IniFile::writeValue(const std::string& path, std::string_view section, std::string_view key,
                         std::string_view value) {
    namespace fs = std::filesystem;
    std::error_code ec;
#if defined(__unix__) || defined(__APPLE__)
    // Replacing the file through a new one would ignore its own read-only mode.
    if (fs::exists(path, ec) && ::access(path.c_str(), W_OK) != 0) return false;
#endif
    // A line break would end the value early and let the rest of it stand as
    // lines of their own: a folder named "x\nDeltaSec=0" must not set a key.
    if (value.find_first_of("\r\n") != std::string_view::npos) return false;
    std::optional<IniFile> ini = read(path);
    if (!ini) return false;
    ini->setValue(section, key, value);
    // Never written in place: cut short, that would lose every setting.
    FileReplacement file(path, FileReplacement::Fallback::Refuse);
    if (file.error()) return false;
    const std::string text = ini->text();
    file.stream().write(text.data(), static_cast<std::streamsize>(text.size()));
    return file.commit();
}

}  // namespace geovanta
