#include "app/commands/gridcommands.h"

#include <algorithm>

#include "app/commands/dialogs.h"
#include "app/document.h"
#include "table/messages.h"
#include "table/position.h"
#include "table/textcodec.h"

namespace geovanta {

RowMark rowMark(const DataTable& table, std::size_t row) {
    if (row >= table.rowCount() || !table.isPhoto(row)) return RowMark::Default;
    return hasPosition(table, row) ? RowMark::Placed : RowMark::Unplaced;
}

std::optional<std::size_t> findUnplacedPhoto(const DataTable& table, std::size_t from, bool forward) {
    const std::size_t rows = table.rowCount();
    if (rows == 0) return std::nullopt;
    from = std::min(from, rows - 1);
    for (std::size_t step = 1; step <= rows; ++step) {
        const std::size_t row = forward ? (from + step) % rows : (from + rows - step) % rows;
        if (rowMark(table, row) == RowMark::Unplaced) return row;
    }
    return std::nullopt;
}

bool GridCommands::isEditable(FieldId field) {
    return field == FieldId::Name || field == FieldId::VTime || field == FieldId::Dist || field == FieldId::Speed;
}

std::string GridCommands::editText(const DataTable& table, std::size_t row, FieldId field) {
    if (field == FieldId::Name) return table.displayText(row, field);
    return table.asString(row, field);
}

GridCommands::GridCommands(Document& document, Dialogs& dialogs)
    : document_(document), table_(document.table()), dialogs_(dialogs) {}

bool GridCommands::made(const std::optional<std::string>& refusal) {
    if (!refusal) return true;
    dialogs_.showMessage(MessageKind::Failure, failureText(*refusal));
    return false;
}

std::size_t GridCommands::rowEntered(std::size_t row) { return document_.moveTo(row); }

bool GridCommands::setField(std::size_t row, FieldId field, const std::string& text) {
    if (!isEditable(field) || row >= table_.rowCount()) return false;
    if (text == editText(table_, row, field)) return true;
    if (!made(document_.setField(row, field, text))) return false;
    return table_.recNo() == row;
}

std::size_t GridCommands::insertRow() {
    made(document_.insertRow());
    return table_.recNo();
}

std::size_t GridCommands::appendRow() {
    made(document_.appendRow());
    return table_.recNo();
}

void GridCommands::cancelRow() { document_.cancelRow(); }

bool GridCommands::deleteCurrentRow() {
    if (table_.isEmpty()) return false;
    // Asked only when the row can go.
    if (!made(document_.refusal())) return false;
    if (!dialogs_.askOkCancel(textOf(Msg::DeleteRecordQuestion))) return false;
    return made(document_.deleteCurrentRow());
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
