#include "ui/privacyzonesdialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>


namespace geovanta {
namespace {

// A home needs a circle of a few hundred metres: enough to hide the house
// among its neighbours.
constexpr double kDefaultRadiusM = 300;

QString placeText(double lat, double lon) {
    return QString::number(lat, 'f', 5) + ", " + QString::number(lon, 'f', 5);
}

}  // namespace

std::optional<PrivacyZone> askPrivacyZone(QWidget* parent, double lat, double lon) {
    QDialog dialog(parent);
    dialog.setObjectName("PrivacyZoneDialog");
    dialog.setWindowTitle(QDialog::tr("Зона приватности"));
    auto* form = new QFormLayout(&dialog);
    form->addRow(QDialog::tr("Центр:"), new QLabel(placeText(lat, lon), &dialog));
    auto* name = new QLineEdit(QDialog::tr("Дом"), &dialog);
    name->setObjectName("ZoneName");
    name->selectAll();
    form->addRow(QDialog::tr("&Название:"), name);
    auto* radius = new QDoubleSpinBox(&dialog);
    radius->setObjectName("ZoneRadius");
    radius->setRange(10, kMaxPrivacyRadiusM);
    radius->setDecimals(0);
    radius->setSuffix(QDialog::tr(" м"));
    radius->setValue(kDefaultRadiusM);
    form->addRow(QDialog::tr("&Радиус:"), radius);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    // The settings file keeps a zone on one line.
    QString text = name->text().simplified();
    if (text.isEmpty()) text = placeText(lat, lon);
    return PrivacyZone{text.toStdString(), lat, lon, radius->value()};
}

PrivacyZonesDialog::PrivacyZonesDialog(const PrivacyZones& zones, PlaceCommands commands, QWidget* parent)
    : QDialog(parent), zones_(zones), commands_(commands) {
    setObjectName("PrivacyZonesDialog");
    setWindowTitle(tr("Зоны приватности"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Фотографии в этих кругах не привязываются и не записываются:"), this));
    list_ = new QListWidget(this);
    list_->setObjectName("ZoneList");
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    remove_ = buttons->addButton(tr("&Удалить"), QDialogButtonBox::ActionRole);
    remove_->setObjectName("RemoveZone");
    connect(remove_, &QPushButton::clicked, this, &PrivacyZonesDialog::removeChosen);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemSelectionChanged, this,
            [this] { remove_->setEnabled(!list_->selectedItems().isEmpty()); });
    layout->addWidget(buttons);
    fill();
}

void PrivacyZonesDialog::fill() {
    list_->clear();
    for (const PrivacyZone& z : zones_)
        list_->addItem(tr("«%1»: %2, радиус %3 м")
                           .arg(QString::fromStdString(z.name), placeText(z.lat, z.lon))
                           .arg(z.radiusM, 0, 'f', 0));
    remove_->setEnabled(false);
}

void PrivacyZonesDialog::removeChosen() {
    std::vector<std::size_t> rows;
    for (const QListWidgetItem* item : list_->selectedItems())
        rows.push_back(static_cast<std::size_t>(list_->row(item)));
    // From the last, so that the earlier ones keep their places.
    std::sort(rows.rbegin(), rows.rend());
    for (std::size_t row : rows) commands_.removeZone(row);
    fill();
}

}  // namespace geovanta
