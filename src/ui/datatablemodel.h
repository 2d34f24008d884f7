#pragma once
// The record table as seen by the grid. Reads the table directly (nothing is
// copied per row) and follows it through DataTableListener.
//
// While the table's display is suspended the model keeps reporting the row
// count it last announced, so the view never sees rows appear or vanish
// behind its back; rows that no longer exist read as empty. When the
// suspension ends the table reports a reset and the view repaints once.

#include <QAbstractTableModel>
#include <array>
#include <functional>
#include <string>

#include "table/datatable.h"

namespace geovanta {

class DataTableModel : public QAbstractTableModel, public DataTableListener {
    Q_OBJECT
public:
    struct Column {
        FieldId field;
        const char* title;   // untranslated: tr() gives the window's
        int width;  // pixels, 0 for the grid's default
        Qt::Alignment alignment;
        const char* widest;  // a typical longest value, so the column can fit it; tr() as the title
    };
    static constexpr int kColumnCount = 9;
    static const std::array<Column, kColumnCount>& columns();

    // Receives in-place edits; returns whether the value was taken.
    using EditHandler = std::function<bool(std::size_t row, FieldId field, const std::string& text)>;
    // Gives a row's tooltip, the same for every column; empty for none.
    using ToolTipSource = std::function<std::string(std::size_t row)>;

    explicit DataTableModel(const DataTable& table, QObject* parent = nullptr);
    ~DataTableModel() override;

    void setEditHandler(EditHandler handler) { editHandler_ = std::move(handler); }
    void setToolTipSource(ToolTipSource source) { toolTipSource_ = std::move(source); }
    // While long work runs on a copy of the table, nothing may be typed into it.
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool readOnly() const { return readOnly_; }
    // While a row goes, a view moves its current row off it on its own; that
    // move is no choice of the person's and must not reach the table's cursor.
    bool removingRow() const { return removing_; }
    // The kind of a row as the Type column shows it: "Трек", "Точка", "Фото".
    static QString kindText(char stat);
    FieldId fieldOf(int column) const { return columns()[static_cast<std::size_t>(column)].field; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    // Photo rows are dragged onto the map to be placed by hand.
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;

    // DataTableListener
    void beginInsertRow(std::size_t row) override;
    void endInsertRow() override;
    void beginRemoveRow(std::size_t row) override;
    void endRemoveRow() override;
    void rowChanged(std::size_t row) override;
    void tableReset() override;

private:
    bool liveRow(const QModelIndex& index) const;

    const DataTable& table_;
    int shownRows_ = 0;
    EditHandler editHandler_;
    ToolTipSource toolTipSource_;
    bool readOnly_ = false;
    bool removing_ = false;
};

}  // namespace geovanta
