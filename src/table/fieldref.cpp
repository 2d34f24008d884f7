#include "table/fieldref.h"

#include <cmath>
#include <limits>
#include <stdexcept>

#include "table/datatable.h"
#include "table/numbertext.h"

namespace geovanta {

bool FieldRef::isNull() const {
    table_->requireCursorRow();
    return table_->isNull(table_->cursor_, id_);
}
std::string FieldRef::asString() const {
    table_->requireCursorRow();
    return table_->asString(table_->cursor_, id_);
}
double FieldRef::asFloat() const {
    table_->requireCursorRow();
    return table_->real(table_->cursor_, id_);
}
int64_t FieldRef::asInteger() const {
    const double v = asFloat();
    if (!(std::fabs(v) < 9.2e18)) return v < 0 ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
    return static_cast<int64_t>(roundHalfEven(v));
}
double FieldRef::asDateTime() const { return asFloat(); }

namespace {
void requireEditing(DataTable::State s) {
    if (s == DataTable::State::Browse) throw std::logic_error("Dataset not in edit or insert mode");
}
}  // namespace

void FieldRef::setAsString(std::string_view text) {
    requireEditing(table_->state_);
    table_->setFromString(table_->cursor_, id_, text);
}
void FieldRef::setAsFloat(double value) {
    requireEditing(table_->state_);
    if (fieldInfo(id_).kind == FieldKind::DateTime)
        table_->setDateTime(table_->cursor_, id_, value);
    else
        table_->setReal(table_->cursor_, id_, value);
}
void FieldRef::setAsInteger(int64_t value) { setAsFloat(static_cast<double>(value)); }
void FieldRef::setAsDateTime(double days) { setAsFloat(days); }
void FieldRef::clear() {
    requireEditing(table_->state_);
    table_->setNull(table_->cursor_, id_);
}

}  // namespace geovanta
