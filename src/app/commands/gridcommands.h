#pragma once
// What the grid of the main window does with the record table: keeping the
// table's cursor on the grid's current row, in-place edits, inserting,
// appending and deleting rows, the popup menu's enabling rule, opening a
// photograph and the colour of photo rows. The window only forwards events;
// the document makes the changes, or says why it cannot now, which is shown.

#include <cstddef>
#include <optional>
#include <string>

#include "table/datatable.h"

namespace geovanta {

class Dialogs;
class Document;

// Text colour of a row: photographs show whether the binding pass placed them.
enum class RowMark { Default, Placed, Unplaced };
RowMark rowMark(const DataTable& table, std::size_t row);

// The next unplaced photograph after `from` (or before it, going back),
// going round the table's end; `from` itself comes last, so the only one
// is found again. Nothing when no photograph is unplaced.
std::optional<std::size_t> findUnplacedPhoto(const DataTable& table, std::size_t from, bool forward);

struct PopupItems {
    bool showPhoto = false;   // "Показать фото"
    bool writeExif = false;   // "Записать координаты в EXIF выбранного фото"
    bool timeFromPhoto = false;  // "Установить время по этой фотографии…"
    bool operator==(const PopupItems&) const = default;
};

class GridCommands {
public:
    GridCommands(Document& document, Dialogs& dialogs);

    // The grid moved to `row`: a pending edit is stored, an untouched new row
    // is dropped. Returns the row that is current afterwards, which is one
    // less when the dropped new row stood above it.
    std::size_t rowEntered(std::size_t row);

    // An in-place edit of one field of `row`, as text. On a value the field
    // cannot take the table's message is shown and false returned. Text equal
    // to what the field already shows changes nothing, so merely opening and
    // closing an editor never keeps a new row alive.
    bool setField(std::size_t row, FieldId field, const std::string& text);

    // The text an editor starts with: the field's value without display
    // patterns, so that editing does not lose digits.
    static std::string editText(const DataTable& table, std::size_t row, FieldId field);
    static bool isEditable(FieldId field);

    // Insert: a new empty row before the current one. Returns the current row.
    std::size_t insertRow();
    // Down arrow on the last row: a new empty row at the end, unless the last
    // row is itself a new untouched one. Returns the current row.
    std::size_t appendRow();
    // Escape outside an editor: drops the pending edit or new row.
    void cancelRow();
    // Ctrl+Delete: deletes the current row after confirmation; true when deleted.
    bool deleteCurrentRow();

    PopupItems popupItems() const;
    // Double click or "Показать фото": opens the current row's file.
    void openCurrentPhoto();

private:
    // Shows why the document did not make a change; true when it did.
    bool made(const std::optional<std::string>& refusal);

    Document& document_;
    const DataTable& table_;
    Dialogs& dialogs_;
};

}  // namespace geovanta
