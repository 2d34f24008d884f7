#include "app/commands/gridcommands.h"

#include "app/commands/dialogs.h"
#include "table/messages.h"
#include "table/position.h"
#include "table/textcodec.h"

namespace geovanta {

RowMark rowMark(const DataTable& table, std::size_t row) {
    if (row >= table.rowCount() || !table.isPhoto(row)) return RowMark::Default;
    return hasPosition(table, row) ? RowMark::Placed : RowMark::Unplaced;
}

bool GridCommands::isEditable(FieldId field) {
    return field == FieldId::Name || field == FieldId::VTime || field == FieldId::Dist || field == FieldId::Speed;
}

std::string GridCommands::editText(const DataTable& table, std::size_t row, FieldId field) {
    if (field == FieldId::Name) return table.displayText(row, field);
    return table.asString(row, field);
}

std::size_t GridCommands::rowEntered(std::size_t row) {
    if (table_.isEmpty()) return 0;
    if (row == table_.recNo()) return row;
    table_.moveTo(row);
    return table_.recNo();
}

bool GridCommands::setField(std::size_t row, FieldId field, const std::string& text) {
    if (!isEditable(field) || row >= table_.rowCount()) return false;
    if (text == editText(table_, row, field)) return true;
    rowEntered(row);
    if (table_.recNo() != row) return false;  // the row moved up when a new row above it was dropped
    const bool wasBrowsing = table_.state() == DataTable::State::Browse;
    if (wasBrowsing) table_.edit();
    try {
        table_.field(field).setAsString(text);
    } catch (const FieldError& e) {
        if (wasBrowsing && !table_.modified()) table_.cancel();
        dialogs_.showMessage(MessageKind::Failure, failureText(e.what()));
        return false;
    }
    return true;
}

std::size_t GridCommands::insertRow() {
    table_.insert();
    return table_.recNo();
}

std::size_t GridCommands::appendRow() {
    const bool untouchedNewRow = table_.state() == DataTable::State::Insert && !table_.modified();
    if (!(untouchedNewRow && table_.recNo() + 1 == table_.rowCount())) table_.append();
    return table_.recNo();
}

void GridCommands::cancelRow() { table_.cancel(); }

bool GridCommands::deleteCurrentRow() {
    if (table_.isEmpty()) return false;
    if (!dialogs_.askOkCancel(textOf(Msg::DeleteRecordQuestion))) return false;
    table_.deleteRow();
    return true;
}

PopupItems GridCommands::popupItems() const {
    PopupItems items;
    if (table_.isEmpty() || table_.recNo() >= table_.rowCount()) return items;
    const std::size_t row = table_.recNo();
    if (!table_.isPhoto(row)) return items;
    items.showPhoto = true;
    items.timeFromPhoto = true;
    items.writeExif = hasPosition(table_, row);
    return items;
}

void GridCommands::openCurrentPhoto() {
    if (table_.isEmpty() || table_.recNo() >= table_.rowCount()) return;
    const std::string_view file = table_.text(table_.recNo(), FieldId::FileName);
    if (file.empty() || dialogs_.openWithViewer(std::string(file))) return;
    dialogs_.showMessage(MessageKind::Failure, failureText(textOf(Msg::ViewerNotStarted, {displayFileName(file)})));
}

}  // namespace geovanta
