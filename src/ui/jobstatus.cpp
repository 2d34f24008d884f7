#include "ui/jobstatus.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>

#include "table/messages.h"
#include "ui/jobqueue.h"

namespace geovanta {
namespace {

// Often enough to look alive, rarely enough to cost nothing.
constexpr int kRefreshMs = 100;
constexpr uint64_t kMegabyte = 1024 * 1024;

// Thousands set apart as the language writes them: "20 000", "20,000".
QString grouped(uint64_t n) {
    const QChar separator = currentLanguage() == Language::Russian ? QChar(' ') : QChar(',');
    QString digits = QString::number(n);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, separator);
    return digits;
}

}  // namespace

QString JobStatus::countText(ProgressUnit unit, uint64_t done, uint64_t total) {
    QString suffix;
    switch (unit) {
        case ProgressUnit::None: return {};
        case ProgressUnit::Photos: suffix = tr(" фото"); break;
        case ProgressUnit::Bytes:
            suffix = tr(" МБ");
            done /= kMegabyte;
            total = (total + kMegabyte - 1) / kMegabyte;
            break;
    }
    if (total == 0) return grouped(done) + suffix;
    return tr("%1 из %2").arg(grouped(done), grouped(total)) + suffix;
}

JobStatus::JobStatus(JobQueue& jobs, QWidget* parent) : QWidget(parent), jobs_(jobs) {
    setObjectName("JobStatus");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    label_ = new QLabel(this);
    label_->setObjectName("JobText");
    bar_ = new QProgressBar(this);
    bar_->setObjectName("JobProgress");
    bar_->setTextVisible(false);
    bar_->setFixedWidth(160);
    cancel_ = new QToolButton(this);
    cancel_->setObjectName("JobCancel");
    cancel_->setText(tr("Отменить"));
    cancel_->setAutoRaise(true);
    layout->addWidget(label_);
    layout->addWidget(bar_);
    layout->addWidget(cancel_);
    connect(cancel_, &QToolButton::clicked, this, [this] {
        jobs_.cancel();
        cancel_->setEnabled(false);
    });
    timer_ = new QTimer(this);
    timer_->setInterval(kRefreshMs);
    connect(timer_, &QTimer::timeout, this, &JobStatus::refresh);
    connect(&jobs_, &JobQueue::busyChanged, this, [this](bool busy) {
        setVisible(busy);
        cancel_->setEnabled(true);
        if (busy) {
            refresh();
            timer_->start();
        } else {
            timer_->stop();
        }
    });
    hide();
}

void JobStatus::refresh() {
    const Job* job = jobs_.current();
    const Progress* progress = jobs_.progress();
    if (!job || !progress) return;
    const uint64_t done = progress->done(), total = progress->total();
    const QString counts = countText(job->unit(), done, total);
    const QString title = QString::fromStdString(job->title());
    label_->setText(counts.isEmpty() ? title : title + ": " + counts);
    cancel_->setVisible(job->cancellable());
    if (total == 0) {
        bar_->setRange(0, 0);  // moves to and fro: how long is not known
        return;
    }
    // The bar counts in thousandths, as a total may pass what an int holds.
    bar_->setRange(0, 1000);
    bar_->setValue(static_cast<int>(std::min<uint64_t>(done, total) * 1000 / total));
}

}  // namespace geovanta
