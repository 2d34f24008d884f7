#include "app/document.h"

#include <algorithm>

#include "app/handplacement.h"
#include "output/filerewrites.h"
#include "table/messages.h"

namespace geovanta {

void Document::Lease::end() {
    if (!document_) return;
    Document* document = document_;
    document_ = nullptr;
    document->holder_.reset();
    // A listener may take the next lease at once, or go.
    const auto listeners = document->freeListeners_;
    for (const auto& [id, listener] : listeners) listener();
}

int Document::onFree(std::function<void()> listener) {
    freeListeners_.emplace_back(++nextListener_, std::move(listener));
    return nextListener_;
}

void Document::removeFreeListener(int id) {
    std::erase_if(freeListeners_, [id](const auto& entry) { return entry.first == id; });
}

std::optional<Document::Lease> Document::lease(std::string what) {
    if (holder_) return std::nullopt;
    // An edit still open in the grid belongs to the rows the holder takes.
    table_.storePending();
    holder_ = std::move(what);
    return Lease(this);
}

std::optional<std::string> Document::refusal() const {
    if (!holder_) return std::nullopt;
    return textOf(Msg::TableBusy, {*holder_});
}

std::size_t Document::moveTo(std::size_t row) {
    if (table_.isEmpty()) return 0;
    if (row != table_.recNo()) table_.moveTo(row);
    return table_.recNo();
}

std::optional<std::string> Document::setField(std::size_t row, FieldId field, std::string_view text) {
    if (auto refused = refusal()) return refused;
    if (row >= table_.rowCount()) return std::nullopt;
    moveTo(row);
    if (table_.recNo() != row) return std::nullopt;  // the row moved up when a new row above it was dropped
    const bool wasBrowsing = table_.state() == DataTable::State::Browse;
    if (wasBrowsing) table_.edit();
    try {
        table_.field(field).setAsString(text);
    } catch (const FieldError& e) {
        if (wasBrowsing && !table_.modified()) table_.cancel();
        return std::string(e.what());
    }
    return std::nullopt;
}

std::optional<std::string> Document::insertRow() {
    if (auto refused = refusal()) return refused;
    table_.insert();
    return std::nullopt;
}

std::optional<std::string> Document::appendRow() {
    if (auto refused = refusal()) return refused;
    const bool untouchedNewRow = table_.state() == DataTable::State::Insert && !table_.modified();
    if (!(untouchedNewRow && table_.recNo() + 1 == table_.rowCount())) table_.append();
    return std::nullopt;
}

void Document::cancelRow() {
    // Nothing is pending while the table is held: nothing to drop then.
    if (!holder_) table_.cancel();
}

std::optional<std::string> Document::deleteCurrentRow() {
    if (auto refused = refusal()) return refused;
    if (!table_.isEmpty()) table_.deleteRow();
    return std::nullopt;
}

namespace {

Document::HandResult refusedHand(std::string reason) {
    Document::HandResult result;
    result.refusal = std::move(reason);
    return result;
}

Document::HandResult handResult(const HandPlacement::Step& step) {
    Document::HandResult result;
    result.row = step.row;
    result.photo = step.photo;
    result.passNeeded = step.passNeeded;
    return result;
}

}  // namespace

Document::HandResult Document::placeByHand(const std::vector<std::size_t>& rows, double lat, double lon) {
    if (auto refused = refusal()) return refusedHand(*refused);
    // A privacy zone holds no photograph, whoever puts it there.
    if (const PrivacyZone* zone = zoneHolding(state_.privacyZones, lat, lon))
        return refusedHand(textOf(Msg::HandPlaceInPrivacyZone, {zone->name}));
    return named(handResult(HandPlacement(table_, handHistory_).place(rows, lat, lon)));
}

Document::HandResult Document::releaseHand(std::size_t row) {
    if (auto refused = refusal()) return refusedHand(*refused);
    return named(handResult(HandPlacement(table_, handHistory_).release(row)));
}

Document::HandResult Document::undoHand() {
    if (auto refused = refusal()) return refusedHand(*refused);
    return named(handResult(HandPlacement(table_, handHistory_).undo()));
}

Document::HandResult Document::redoHand() {
    if (auto refused = refusal()) return refusedHand(*refused);
    return named(handResult(HandPlacement(table_, handHistory_).redo()));
}

// A photograph moved by hand takes the names of where it now is; one given
// back to the pass is named by the pass.
Document::HandResult Document::named(HandResult result) {
    if (!result.passNeeded) namePlaces(table_, params().naming);
    return result;
}


void Document::applyRewrites(Lease& lease, const FileRewrites& rewrites, std::optional<std::size_t> cursor) {
    DataTable& rows = lease.rows();
    rewrites.applyTo(rows);
    if (rows.isEmpty()) return;
    if (cursor && *cursor < rows.rowCount())
        rows.moveTo(*cursor);
    else
        rows.last();
}

std::optional<std::string> Document::clear() {
    if (auto refused = refusal()) return refused;
    table_.clear();
    table_.setLastScanPhotoCount(0);
    state_.trackCounter = 0;
    sources_.clear();
    handHistory_.clear();
    return std::nullopt;
}

std::optional<LoadedSource> Document::loadedBefore(LoadedSource::Kind kind, const std::string& path) const {
    const SourceIdentity now = SourceIdentity::of(path);
    const auto found = std::find_if(sources_.begin(), sources_.end(), [&](const LoadedSource& s) {
        return s.kind == kind && now.sameAs(s.identity);
    });
    if (found == sources_.end()) return std::nullopt;
    return *found;
}

void Document::noteLoaded(LoadedSource source) {
    std::erase_if(sources_, [&](const LoadedSource& s) {
        return s.kind == source.kind && source.identity.sameAs(s.identity);
    });
    sources_.push_back(std::move(source));
}

}  // namespace geovanta
