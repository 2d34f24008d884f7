#pragma once
// Asks for the true moment a photograph was taken, to the second.

#include <QDialog>
#include <cstdint>
#include <optional>

class QDateTimeEdit;
class QLabel;

namespace geovanta {

class ShotTimeDialog : public QDialog {
    Q_OBJECT
public:
    explicit ShotTimeDialog(QWidget* parent = nullptr);

    // Shows the dialog starting at `shownMs` (milliseconds since 1899-12-30);
    // the chosen moment, or nothing when cancelled.
    std::optional<int64_t> ask(const QString& photoName, int64_t shownMs);

    QDateTimeEdit* timeEdit() const { return time_; }

private:
    QLabel* prompt_ = nullptr;
    QDateTimeEdit* time_ = nullptr;
};

}  // namespace geovanta
