#include "ui/shottimedialog.h"

#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "table/datetime.h"

namespace geovanta {
namespace {

// The table's day-times carry no zone: they are shown and typed as they are,
// so the editor works in UTC, where no clock change can skip or repeat an hour.
QDateTime toDateTime(int64_t ms) {
    const CivilDateTime c = msToCivil(ms);
    return QDateTime(QDate(c.year, c.month, c.day), QTime(c.hour, c.minute, c.second), Qt::UTC);
}

std::optional<int64_t> toMs(const QDateTime& t) {
    const QDate d = t.date();
    const QTime h = t.time();
    return civilToMs(CivilDateTime{d.year(), d.month(), d.day(), h.hour(), h.minute(), h.second(), 0});
}

}  // namespace

ShotTimeDialog::ShotTimeDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("ShotTimeDlg");
    setWindowTitle(tr("Время съёмки"));
    prompt_ = new QLabel(this);
    prompt_->setWordWrap(true);
    time_ = new QDateTimeEdit(this);
    time_->setObjectName("ShotTimeEdit");
    time_->setTimeSpec(Qt::UTC);
    time_->setDisplayFormat(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    time_->setCalendarPopup(true);
    auto* hint = new QLabel(tr("Например, время на снятом экране GPS-приёмника или телефона. "
                               "Смещение фотографий станет таким, чтобы время этой фотографии "
                               "совпало с введённым."),
                            this);
    hint->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt_);
    layout->addWidget(time_);
    layout->addWidget(hint);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

std::optional<int64_t> ShotTimeDialog::ask(const QString& photoName, int64_t shownMs) {
    prompt_->setText(tr("Когда на самом деле снята фотография %1?").arg(photoName));
    time_->setDateTime(toDateTime(shownMs));
    time_->setFocus();
    if (exec() != QDialog::Accepted) return std::nullopt;
    return toMs(time_->dateTime());
}

}  // namespace geovanta
