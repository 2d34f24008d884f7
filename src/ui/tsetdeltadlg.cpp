#include "ui/tsetdeltadlg.h"

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

namespace geovanta {
namespace {

QLabel* label(QWidget* parent, const char* name, const char* text, bool bold = false) {
    auto* l = new QLabel(QString::fromUtf8(text), parent);
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
    setWindowTitle(QString::fromUtf8("Смещение даты и времени"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    TDayEdit = spin("TDayEdit", -kOffsetDaysLimit, kOffsetDaysLimit);
    THourEdit = spin("THourEdit", -kOffsetHoursLimit, kOffsetHoursLimit);
    TMinEdit = spin("TMinEdit", -kOffsetMinutesLimit, kOffsetMinutesLimit);
    FDayEdit = spin("FDayEdit", -kOffsetDaysLimit, kOffsetDaysLimit);
    FHourEdit = spin("FHourEdit", -kOffsetHoursLimit, kOffsetHoursLimit);
    FMinEdit = spin("FMinEdit", -kOffsetMinutesLimit, kOffsetMinutesLimit);
    TSecEdit = spin("TSecEdit", kToleranceMin, std::numeric_limits<int>::max());
    TSecEdit->setMinimumWidth(90);

    auto* bevel = new QFrame(this);
    bevel->setObjectName("Bevel1");
    bevel->setFrameShape(QFrame::Box);
    bevel->setFrameShadow(QFrame::Sunken);
    auto* grid = new QGridLayout(bevel);
    grid->setContentsMargins(16, 16, 16, 16);
    grid->setVerticalSpacing(2);
    grid->addWidget(label(this, "TrackLabel", "Треки и точки", true), 0, 0);
    grid->addWidget(TDayEdit, 0, 1);
    grid->addWidget(THourEdit, 0, 2);
    grid->addWidget(TMinEdit, 0, 3);
    grid->addWidget(label(this, "RxLabel1", "дней"), 1, 1);
    grid->addWidget(label(this, "RxLabel2", "часов"), 1, 2);
    grid->addWidget(label(this, "RxLabel3", "минут"), 1, 3);
    grid->setRowMinimumHeight(2, 12);
    grid->addWidget(label(this, "FotoLabel", "Фотографии", true), 3, 0);
    grid->addWidget(FDayEdit, 3, 1);
    grid->addWidget(FHourEdit, 3, 2);
    grid->addWidget(FMinEdit, 3, 3);
    grid->addWidget(label(this, "RxLabel4", "дней"), 4, 1);
    grid->addWidget(label(this, "RxLabel5", "часов"), 4, 2);
    grid->addWidget(label(this, "RxLabel6", "минут"), 4, 3);
    // Which way the sign goes is where people slip: say it under the fields.
    grid->addWidget(label(this, "SignHint", "Часы камеры спешат относительно GPS: смещение отрицательное"), 5, 0, 1, 4);
    grid->setRowMinimumHeight(5, 24);
    grid->addWidget(label(this, "Label1", "Макс. допустимое \nотклонение от точки трека", true), 6, 0, 1, 3);
    grid->addWidget(TSecEdit, 6, 3);
    grid->addWidget(label(this, "RxLabel7", "секунд"), 7, 3);

    OKBtn = new QPushButton("OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton("Cancel", this);
    CancelBtn->setObjectName("CancelBtn");
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bevel);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(OKBtn, CancelBtn);
    setTabOrder(CancelBtn, TDayEdit);
    setTabOrder(TDayEdit, THourEdit);
    setTabOrder(THourEdit, TMinEdit);
    setTabOrder(TMinEdit, FDayEdit);
    setTabOrder(FDayEdit, FHourEdit);
    setTabOrder(FHourEdit, FMinEdit);
    setTabOrder(FMinEdit, TSecEdit);
}

void TSetDeltaDlg::setFields(const OffsetFields& f) {
    TDayEdit->setValue(f.trackDays);
    THourEdit->setValue(f.trackHours);
    TMinEdit->setValue(f.trackMinutes);
    FDayEdit->setValue(f.photoDays);
    FHourEdit->setValue(f.photoHours);
    FMinEdit->setValue(f.photoMinutes);
    TSecEdit->setValue(f.toleranceSeconds);
}

OffsetFields TSetDeltaDlg::fields() {
    // Settles text still being typed: a number within range is taken, anything
    // else gives the field back its previous value.
    for (QSpinBox* s : {TDayEdit, THourEdit, TMinEdit, FDayEdit, FHourEdit, FMinEdit, TSecEdit}) s->interpretText();
    OffsetFields f;
    f.trackDays = TDayEdit->value();
    f.trackHours = THourEdit->value();
    f.trackMinutes = TMinEdit->value();
    f.photoDays = FDayEdit->value();
    f.photoHours = FHourEdit->value();
    f.photoMinutes = FMinEdit->value();
    f.toleranceSeconds = TSecEdit->value();
    return f;
}

std::optional<OffsetFields> TSetDeltaDlg::ask(const OffsetFields& f) {
    setFields(f);
    OKBtn->setFocus();
    if (exec() != QDialog::Accepted) return std::nullopt;
    return fields();
}

}  // namespace geovanta
