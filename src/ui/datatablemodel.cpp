#include "ui/datatablemodel.h"

#include <QColor>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <limits>

#include "app/commands/gridcommands.h"
#include "table/fieldinfo.h"
#include "ui/map/photodrag.h"

namespace geovanta {
namespace {

// The view counts rows in int; a larger table shows its first rows only.
int viewRows(std::size_t rows) {
    constexpr auto kMax = static_cast<std::size_t>(std::numeric_limits<int>::max());
    return static_cast<int>(rows < kMax ? rows : kMax);
}

// A small pin beside the name of a photograph whose file carried a position
// of its own: what a write replaces unless told to keep it.
const QIcon& carriedPositionMark() {
    static const QIcon mark = [] {
        QPixmap pin(12, 12);
        pin.fill(Qt::transparent);
        QPainter p(&pin);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 96, 192));
        p.drawPolygon(QPolygonF({QPointF(3, 6), QPointF(9, 6), QPointF(6, 12)}));
        p.drawEllipse(QRectF(2, 0, 8, 8));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(4.5, 2.5, 3, 3));
        return QIcon(pin);
    }();
    return mark;
}

}  // namespace

const std::array<DataTableModel::Column, DataTableModel::kColumnCount>& DataTableModel::columns() {
    static const std::array<Column, kColumnCount> kColumns = {{
        {FieldId::Type, " ", 0, Qt::AlignLeft | Qt::AlignVCenter, QT_TR_NOOP("Точка")},
        {FieldId::Name, QT_TR_NOOP("Имя"), 117, Qt::AlignLeft | Qt::AlignVCenter, ""},
        {FieldId::VTime, QT_TR_NOOP("Дата Время"), 0, Qt::AlignRight | Qt::AlignVCenter, "00.00.0000 00:00:00"},
        {FieldId::VLat, QT_TR_NOOP("Широта"), 72, Qt::AlignRight | Qt::AlignVCenter, "00 00.0000 N"},
        {FieldId::VLon, QT_TR_NOOP("Долгота"), 72, Qt::AlignRight | Qt::AlignVCenter, "000 00.0000 W"},
        // Numbers without a set alignment sit on the right, as a grid shows numbers.
        {FieldId::VElev, QT_TR_NOOP("Высота"), 50, Qt::AlignRight | Qt::AlignVCenter, "-0000"},
        {FieldId::Dist, QT_TR_NOOP("Дистанция"), 0, Qt::AlignRight | Qt::AlignVCenter, "00000.00"},
        {FieldId::Speed, QT_TR_NOOP("Скорость"), 0, Qt::AlignRight | Qt::AlignVCenter, "0000.00"},
        {FieldId::Camera, QT_TR_NOOP("Камера"), 130, Qt::AlignLeft | Qt::AlignVCenter, ""},
        {FieldId::City, QT_TR_NOOP("Город"), 110, Qt::AlignLeft | Qt::AlignVCenter, ""},
        {FieldId::State, QT_TR_NOOP("Регион"), 110, Qt::AlignLeft | Qt::AlignVCenter, ""},
        {FieldId::Country, QT_TR_NOOP("Страна"), 100, Qt::AlignLeft | Qt::AlignVCenter, ""},
        {FieldId::CountryCode, QT_TR_NOOP("Код"), 0, Qt::AlignLeft | Qt::AlignVCenter, "WW"},
    }};
    return kColumns;
}

QString DataTableModel::kindText(char stat) {
    // The table keeps its own names of the kinds (a CSV file carries them);
    // the grid shows them in the window's language.
    switch (stat) {
        case 'F': return tr("Фото");
        case 'P': return tr("Точка");
        case 'T': return tr("Трек");
        default: return {};
    }
}

DataTableModel::DataTableModel(const DataTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table), shownRows_(viewRows(table.rowCount())) {
    table_.setListener(this);
}

DataTableModel::~DataTableModel() { table_.setListener(nullptr); }

int DataTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shownRows_; }

int DataTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

bool DataTableModel::liveRow(const QModelIndex& index) const {
    return index.isValid() && index.row() >= 0 && index.row() < shownRows_ &&
           static_cast<std::size_t>(index.row()) < table_.rowCount() && index.column() >= 0 &&
           index.column() < kColumnCount;
}

QVariant DataTableModel::data(const QModelIndex& index, int role) const {
    if (!liveRow(index)) return {};
    const auto row = static_cast<std::size_t>(index.row());
    const FieldId field = fieldOf(index.column());
    switch (role) {
        case Qt::DisplayRole:
            if (field == FieldId::Type) return kindText(table_.stat(row));
            return QString::fromStdString(table_.displayText(row, field));
        case Qt::EditRole: return QString::fromStdString(GridCommands::editText(table_, row, field));
        case Qt::TextAlignmentRole: return QVariant::fromValue(columns()[static_cast<std::size_t>(index.column())].alignment);
        case Qt::ForegroundRole:
            switch (rowMark(table_, row)) {
                case RowMark::Placed: return QColor(0, 128, 0);
                case RowMark::Unplaced: return QColor(255, 0, 0);
                case RowMark::Default: return {};
            }
            return {};
        case Qt::DecorationRole:
            if (field != FieldId::Name || !table_.isPhoto(row) || !table_.photoFacts(row).gps) return {};
            return carriedPositionMark();
        case Qt::ToolTipRole: {
            if (!toolTipSource_) return {};
            const std::string tip = toolTipSource_(row);
            if (tip.empty()) return {};
            return QString::fromStdString(tip);
        }
        default: return {};
    }
}

QVariant DataTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) return tr(columns()[static_cast<std::size_t>(section)].title);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(section == 0 ? Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter) : Qt::Alignment(Qt::AlignCenter));
    return {};
}

Qt::ItemFlags DataTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    const bool photo = liveRow(index) && table_.isPhoto(static_cast<std::size_t>(index.row()));
    const FieldId field = fieldOf(index.column());
    // Only photographs have place names: the cells of a track point's are
    // not offered for typing at all.
    if (!readOnly_ && liveRow(index) && GridCommands::isEditable(field) && (photo || !placePartOf(field)))
        f |= Qt::ItemIsEditable;
    if (!readOnly_ && photo) f |= Qt::ItemIsDragEnabled;
    return f;
}

bool DataTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || readOnly_ || !liveRow(index) || !editHandler_) return false;
    if (!GridCommands::isEditable(fieldOf(index.column()))) return false;
    return editHandler_(static_cast<std::size_t>(index.row()), fieldOf(index.column()), value.toString().toStdString());
}

QStringList DataTableModel::mimeTypes() const { return {kPhotoRowsMime}; }

QMimeData* DataTableModel::mimeData(const QModelIndexList& indexes) const {
    std::vector<std::size_t> rows;
    for (const QModelIndex& index : indexes)
        if (liveRow(index) && table_.isPhoto(static_cast<std::size_t>(index.row())))
            rows.push_back(static_cast<std::size_t>(index.row()));
    // A row's cells come one per column.
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return photoRowsMime(rows);
}

void DataTableModel::beginInsertRow(std::size_t row) {
    const int r = viewRows(row);
    beginInsertRows({}, r, r);
}

void DataTableModel::endInsertRow() {
    ++shownRows_;
    endInsertRows();
}

void DataTableModel::beginRemoveRow(std::size_t row) {
    const int r = viewRows(row);
    removing_ = true;
    beginRemoveRows({}, r, r);
}

void DataTableModel::endRemoveRow() {
    --shownRows_;
    endRemoveRows();
    removing_ = false;
}

void DataTableModel::rowChanged(std::size_t row) {
    if (row >= static_cast<std::size_t>(shownRows_)) return;
    const int r = static_cast<int>(row);
    emit dataChanged(index(r, 0), index(r, kColumnCount - 1));
}

void DataTableModel::tableReset() {
    beginResetModel();
    shownRows_ = viewRows(table_.rowCount());
    endResetModel();
}

}  // namespace geovanta
