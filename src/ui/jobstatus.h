#pragma once
// The status bar's account of the job under way: what it works on, how far
// it has got in counts ("3 412 из 20 000 фото"), a bar, and a button that
// stops it. Hidden while nothing runs.

#include <QWidget>
#include <cstdint>

#include "app/job.h"

class QLabel;
class QProgressBar;
class QTimer;
class QToolButton;

namespace geovanta {

class JobQueue;

class JobStatus : public QWidget {
    Q_OBJECT
public:
    explicit JobStatus(JobQueue& jobs, QWidget* parent = nullptr);

    // "3 412 из 20 000 фото", "12 из 48 МБ"; without a total, the count alone.
    static QString countText(ProgressUnit unit, uint64_t done, uint64_t total);

private:
    void refresh();

    JobQueue& jobs_;
    QLabel* label_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QToolButton* cancel_ = nullptr;
    QTimer* timer_ = nullptr;
};

}  // namespace geovanta
