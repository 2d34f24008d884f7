#include "ui/tsetdeltadlg.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>

#include "app/commands/offsetscommand.h"
#include "ui/cameraclocklist.h"

namespace geovanta {
namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text, bool bold = false) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

}  // namespace

QSpinBox* TSetDeltaDlg::spin(const char* name, int min, int max) {
    auto* s = new QSpinBox(this);
    s->setObjectName(name);
    s->setRange(min, max);
    // Plain digits whatever the system locale: no group separators to type around.
    s->setLocale(QLocale::c());
    s->setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    s->setMinimumWidth(49);
    return s;
}

TSetDeltaDlg::TSetDeltaDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("SetDeltaDlg");
    setWindowTitle(tr("Смещение даты и времени"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    trackDays_ = spin("TDayEdit", -kOffsetDaysLimit, kOffsetDaysLimit);
    trackHours_ = spin("THourEdit", -kOffsetHoursLimit, kOffsetHoursLimit);
    trackMinutes_ = spin("TMinEdit", -kOffsetMinutesLimit, kOffsetMinutesLimit);
    photoDays_ = spin("FDayEdit", -kOffsetDaysLimit, kOffsetDaysLimit);
    photoHours_ = spin("FHourEdit", -kOffsetHoursLimit, kOffsetHoursLimit);
    photoMinutes_ = spin("FMinEdit", -kOffsetMinutesLimit, kOffsetMinutesLimit);
    tolerance_ = spin("TSecEdit", kToleranceMin, std::numeric_limits<int>::max());
    tolerance_->setMinimumWidth(90);

    auto* bevel = new QFrame(this);
    bevel->setObjectName("Bevel1");
    bevel->setFrameShape(QFrame::Box);
    bevel->setFrameShadow(QFrame::Sunken);
    auto* grid = new QGridLayout(bevel);
    grid->setContentsMargins(16, 16, 16, 16);
    grid->setVerticalSpacing(2);
    grid->addWidget(label(this, "TrackLabel", tr("Треки и точки"), true), 0, 0);
    grid->addWidget(trackDays_, 0, 1);
    grid->addWidget(trackHours_, 0, 2);
    grid->addWidget(trackMinutes_, 0, 3);
    grid->addWidget(label(this, "RxLabel1", tr("дней")), 1, 1);
    grid->addWidget(label(this, "RxLabel2", tr("часов")), 1, 2);
    grid->addWidget(label(this, "RxLabel3", tr("минут")), 1, 3);
    grid->setRowMinimumHeight(2, 12);
    grid->addWidget(label(this, "FotoLabel", tr("Фотографии"), true), 3, 0);
    grid->addWidget(photoDays_, 3, 1);
    grid->addWidget(photoHours_, 3, 2);
    grid->addWidget(photoMinutes_, 3, 3);
    grid->addWidget(label(this, "RxLabel4", tr("дней")), 4, 1);
    grid->addWidget(label(this, "RxLabel5", tr("часов")), 4, 2);
    grid->addWidget(label(this, "RxLabel6", tr("минут")), 4, 3);
    // It changes the photographs' shifted times as the photo offset does.
    photoZones_ = new QCheckBox(tr("Учитывать часовой пояс из фото"), this);
    photoZones_->setObjectName("PhotoZonesBox");
    photoZones_->setToolTip(tr("Время фото с записанным камерой поясом (OffsetTimeOriginal) "
                                "сначала переводится в UTC, затем к нему прибавляется смещение"));
    grid->addWidget(photoZones_, 5, 0, 1, 4);
    // Which way the sign goes is where people slip: say it under the fields.
    grid->addWidget(label(this, "SignHint", tr("Часы камеры спешат относительно GPS: смещение отрицательное")), 6, 0, 1, 4);
    grid->setRowMinimumHeight(6, 24);
    grid->addWidget(label(this, "Label1", tr("Макс. допустимое \nотклонение от точки трека"), true), 7, 0, 1, 3);
    grid->addWidget(tolerance_, 7, 3);
    grid->addWidget(label(this, "RxLabel7", tr("секунд")), 8, 3);
    grid->setRowMinimumHeight(9, 12);
    camerasLabel_ = label(this, "CamerasLabel", tr("Камеры"), true);
    grid->addWidget(camerasLabel_, 10, 0, 1, 4);
    cameras_ = new CameraClockList(this);
    grid->addWidget(cameras_, 11, 0, 1, 4);
    camerasHint_ = label(this, "CamerasHint", tr("Фото без камеры и камеры без своего смещения идут по смещению "
                                                  "фотографий"));
    grid->addWidget(camerasHint_, 12, 0, 1, 4);
    writeZones_ = new QCheckBox(tr("Записывать часовой пояс"), this);
    writeZones_->setObjectName("WriteZonesBox");
    writeZones_->setToolTip(tr("При записи координат пояс, найденный для камеры с местным временем, "
                               "записывается в OffsetTimeOriginal (и в OffsetTime, если его нет)"));
    grid->addWidget(writeZones_, 13, 0, 1, 4);
    // Cameras without an offset of their own show the photo offset as it is typed.
    for (QSpinBox* s : {photoDays_, photoHours_, photoMinutes_})
        connect(s, &QSpinBox::valueChanged, this, &TSetDeltaDlg::photoOffsetChanged);

    okButton_ = new QPushButton(tr("OK"), this);
    okButton_->setObjectName("OKBtn");
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(tr("Cancel"), this);
    cancelButton_->setObjectName("CancelBtn");
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bevel);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(okButton_, cancelButton_);
    setTabOrder(cancelButton_, trackDays_);
    setTabOrder(trackDays_, trackHours_);
    setTabOrder(trackHours_, trackMinutes_);
    setTabOrder(trackMinutes_, photoDays_);
    setTabOrder(photoDays_, photoHours_);
    setTabOrder(photoHours_, photoMinutes_);
    setTabOrder(photoMinutes_, photoZones_);
    setTabOrder(photoZones_, tolerance_);
    setTabOrder(tolerance_, cameras_);
    setTabOrder(cameras_, writeZones_);
}

void TSetDeltaDlg::photoOffsetChanged() {
    cameras_->setPhotoOffset(composeOffset({photoDays_->value(), photoHours_->value(), photoMinutes_->value()}));
}

void TSetDeltaDlg::setFields(const OffsetFields& f) {
    trackDays_->setValue(f.trackDays);
    trackHours_->setValue(f.trackHours);
    trackMinutes_->setValue(f.trackMinutes);
    photoDays_->setValue(f.photoDays);
    photoHours_->setValue(f.photoHours);
    photoMinutes_->setValue(f.photoMinutes);
    tolerance_->setValue(f.toleranceSeconds);
    photoZones_->setChecked(f.photoZones);
    cameras_->setCameras(f.cameras, composeOffset({photoDays_->value(), photoHours_->value(), photoMinutes_->value()}));
    camerasLabel_->setVisible(!f.cameras.empty());
    camerasHint_->setVisible(!f.cameras.empty());
    writeZones_->setChecked(f.writeZones);
}

OffsetFields TSetDeltaDlg::fields() {
    // Settles text still being typed: a number within range is taken, anything
    // else gives the field back its previous value.
    for (QSpinBox* s : {trackDays_, trackHours_, trackMinutes_, photoDays_, photoHours_, photoMinutes_, tolerance_}) s->interpretText();
    OffsetFields f;
    f.trackDays = trackDays_->value();
    f.trackHours = trackHours_->value();
    f.trackMinutes = trackMinutes_->value();
    f.photoDays = photoDays_->value();
    f.photoHours = photoHours_->value();
    f.photoMinutes = photoMinutes_->value();
    f.toleranceSeconds = tolerance_->value();
    f.photoZones = photoZones_->isChecked();
    f.cameras = cameras_->cameras();
    f.writeZones = writeZones_->isChecked();
    return f;
}

std::optional<OffsetFields> TSetDeltaDlg::ask(const OffsetFields& f) {
    setFields(f);
    okButton_->setFocus();
    if (exec() != QDialog::Accepted) return std::nullopt;
    return fields();
}

}  // namespace geovanta
