#include "app/document.h"

#include <algorithm>

namespace geovanta {

std::optional<FileStamp> Document::identityOf(const std::string& path) { return fileStampOf(path); }

bool Document::sameSource(const LoadedSource& a, const LoadedSource& b) {
    if (a.kind != b.kind) return false;
    // Only the file itself counts: a rewritten file is still the same source.
    if (a.identity && b.identity) return a.identity->sameFileAs(*b.identity);
    return a.path == b.path;
}

std::optional<LoadedSource> Document::loadedBefore(LoadedSource::Kind kind, const std::string& path) const {
    LoadedSource probe;
    probe.kind = kind;
    probe.path = path;
    probe.identity = identityOf(path);
    const auto found = std::find_if(sources_.begin(), sources_.end(),
                                    [&](const LoadedSource& s) { return sameSource(s, probe); });
    if (found == sources_.end()) return std::nullopt;
    return *found;
}

void Document::noteLoaded(LoadedSource source) {
    std::erase_if(sources_, [&](const LoadedSource& s) { return sameSource(s, source); });
    sources_.push_back(std::move(source));
}

void Document::clear() {
    table_.clear();
    table_.setLastScanPhotoCount(0);
    state_.trackCounter = 0;
    sources_.clear();
    handHistory_.clear();
}

}  // namespace geovanta
