#include "ui/cameraclocklist.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QScrollBar>
#include <QSpinBox>
#include <algorithm>

#include "binding/timeoffsets.h"

namespace geovanta {
namespace {

constexpr int kLinesShown = 6;  // more scroll

enum Column { NameColumn, PhotosColumn, OwnColumn, DaysColumn, LocalColumn = DaysColumn + 4 };

QString numbered(const char* name, std::size_t line) { return QString("%1%2").arg(name).arg(line); }

}  // namespace

CameraClockList::CameraClockList(QWidget* parent) : QScrollArea(parent) {
    setObjectName("CameraClocks");
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
}

void CameraClockList::setCameras(const std::vector<CameraFields>& cameras, double photoOffset) {
    photoOffset_ = photoOffset;
    cameras_.clear();
    // Lines are made afresh: the cameras loaded change between openings.
    delete takeWidget();
    lines_ = new QWidget;
    grid_ = new QGridLayout(lines_);
    grid_->setContentsMargins(0, 0, 0, 0);
    grid_->setHorizontalSpacing(6);
    grid_->setVerticalSpacing(4);
    const QString headers[] = {tr("Камера"),  tr("Фото"),   tr("Своё\nсмещение"), tr("дней"),
                               tr("часов"),   tr("минут"), tr("секунд"),         tr("Часы камеры —\nместное время")};
    for (int c = 0; c <= LocalColumn; ++c) {
        auto* header = new QLabel(headers[c], lines_);
        header->setObjectName(QString("CameraHeader%1").arg(c));
        grid_->addWidget(header, 0, c, c == NameColumn ? Qt::AlignLeft : Qt::AlignHCenter);
    }
    const int limits[] = {kCameraDaysLimit, kCameraHoursLimit, kCameraMinutesLimit, kCameraSecondsLimit};
    for (std::size_t i = 0; i < cameras.size(); ++i) {
        Line line;
        line.shown = cameras[i];
        const int row = static_cast<int>(i) + 1;
        auto* name = new QLabel(QString::fromStdString(cameras[i].name), lines_);
        name->setObjectName(numbered("CameraName", i));
        grid_->addWidget(name, row, NameColumn);
        auto* photos = new QLabel(QString::number(cameras[i].photos), lines_);
        photos->setObjectName(numbered("CameraPhotos", i));
        grid_->addWidget(photos, row, PhotosColumn, Qt::AlignRight);
        line.own = new QCheckBox(lines_);
        line.own->setObjectName(numbered("CameraOwn", i));
        line.own->setToolTip(tr("Своё смещение камеры; без отметки действует смещение фотографий"));
        grid_->addWidget(line.own, row, OwnColumn, Qt::AlignHCenter);
        for (int p = 0; p < 4; ++p) {
            auto* s = new QSpinBox(lines_);
            static const char* names[] = {"CameraDays", "CameraHours", "CameraMinutes", "CameraSeconds"};
            s->setObjectName(numbered(names[p], i));
            s->setRange(-limits[p], limits[p]);
            s->setLocale(QLocale::c());
            s->setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
            s->setMinimumWidth(p == 0 ? 72 : 49);
            grid_->addWidget(s, row, DaysColumn + p);
            line.parts[p] = s;
        }
        line.localTime = new QCheckBox(lines_);
        line.localTime->setObjectName(numbered("CameraLocal", i));
        line.localTime->setToolTip(tr("Часы камеры — местное время: время каждого фото переводится в UTC "
                                      "по часовому поясу места съёмки на треке"));
        line.localTime->setChecked(cameras[i].localTime);
        grid_->addWidget(line.localTime, row, LocalColumn, Qt::AlignHCenter);
        line.own->setChecked(cameras[i].ownOffset);
        const int values[] = {cameras[i].days, cameras[i].hours, cameras[i].minutes, cameras[i].seconds};
        for (int p = 0; p < 4; ++p) {
            line.parts[p]->setValue(values[p]);
            line.parts[p]->setEnabled(cameras[i].ownOffset);
        }
        cameras_.push_back(line);
        const std::size_t at = i;
        connect(line.own, &QCheckBox::toggled, this, [this, at](bool own) {
            Line& l = cameras_[at];
            for (QSpinBox* s : l.parts) s->setEnabled(own);
            if (!own) showOffset(l, photoOffset_);
        });
    }
    grid_->setColumnStretch(NameColumn, 1);
    setWidget(lines_);
    fitHeight();
    setVisible(!cameras.empty());
}

void CameraClockList::fitHeight() {
    // As many lines as kLinesShown; the rest are scrolled to.
    lines_->adjustSize();
    const QSize hint = lines_->sizeHint();
    const int count = static_cast<int>(cameras_.size());
    int height = hint.height();
    if (count > kLinesShown)
        height -= (cameras_[0].parts[0]->sizeHint().height() + grid_->verticalSpacing()) * (count - kLinesShown);
    setFixedHeight(height + 2 * frameWidth());
    const int bar = count > kLinesShown ? verticalScrollBar()->sizeHint().width() : 0;
    setMinimumWidth(hint.width() + 2 * frameWidth() + bar);
}

void CameraClockList::showOffset(Line& line, double days) {
    const DayHourMinuteSecond parts = splitCameraOffset(days);
    const int values[] = {parts.days, parts.hours, parts.minutes, parts.seconds};
    for (int p = 0; p < 4; ++p) line.parts[p]->setValue(values[p]);
}

void CameraClockList::setPhotoOffset(double days) {
    photoOffset_ = days;
    for (Line& line : cameras_)
        if (!line.own->isChecked()) showOffset(line, days);
}

std::vector<CameraFields> CameraClockList::cameras() {
    std::vector<CameraFields> out;
    for (Line& line : cameras_) {
        for (QSpinBox* s : line.parts) s->interpretText();
        CameraFields f = line.shown;
        f.ownOffset = line.own->isChecked();
        f.days = line.parts[0]->value();
        f.hours = line.parts[1]->value();
        f.minutes = line.parts[2]->value();
        f.seconds = line.parts[3]->value();
        f.localTime = line.localTime->isChecked();
        out.push_back(f);
    }
    return out;
}

}  // namespace geovanta
