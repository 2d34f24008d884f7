#include "app/handhistory.h"

#include "table/datatable.h"

namespace geovanta {
HandPosition HandPosition::of(const DataTable& table, std::size_t row) {
    HandPosition p;
    p.byHand = table.placedByHand(row);
    p.lat = table.optReal(row, FieldId::Lat);
    p.lon = table.optReal(row, FieldId::Lon);
    p.elev = table.optReal(row, FieldId::Elev);
    return p;
}

void HandPosition::applyTo(DataTable& table, std::size_t row) const {
    table.setPosition(row, lat, lon, elev, byHand);
}

void HandHistory::record(HandStep step) {
    if (step.empty()) return;
    done_.push_back(std::move(step));
    undone_.clear();
}

std::optional<HandStep> HandHistory::takeUndo() {
    if (done_.empty()) return std::nullopt;
    undone_.push_back(std::move(done_.back()));
    done_.pop_back();
    return undone_.back();
}

std::optional<HandStep> HandHistory::takeRedo() {
    if (undone_.empty()) return std::nullopt;
    done_.push_back(std::move(undone_.back()));
    undone_.pop_back();
    return done_.back();
}

void HandHistory::clear() {
    done_.clear();
    undone_.clear();
}

}  // namespace geovanta
