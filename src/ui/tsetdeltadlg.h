#pragma once
// "Смещение даты и времени": the two time offsets as days, hours and minutes,
// whether photographs are brought to UTC by their own zones, the tolerance
// in seconds, and the cameras loaded with their own clocks. It only shows and
// returns the fields; the offsets command does the rest.

#include <QDialog>

#include "app/commands/dialogs.h"

class QCheckBox;
class QLabel;
class QSpinBox;
class QPushButton;

namespace geovanta {

class CameraClockList;

class TSetDeltaDlg : public QDialog {
    Q_OBJECT
public:
    explicit TSetDeltaDlg(QWidget* parent = nullptr);

    void setFields(const OffsetFields& fields);
    // The values in force. A field left empty or holding text that is not a
    // number keeps its previous value: it never turns into an end of its range.
    OffsetFields fields();

    // Fills the fields, shows the dialog modally and returns the fields on OK.
    std::optional<OffsetFields> ask(const OffsetFields& fields);

private:
    QSpinBox* spin(const char* name, int min, int max);
    void photoOffsetChanged();

    QSpinBox* trackDays_;
    QSpinBox* trackHours_;
    QSpinBox* trackMinutes_;
    QSpinBox* photoDays_;
    QSpinBox* photoHours_;
    QSpinBox* photoMinutes_;
    QSpinBox* tolerance_;
    QCheckBox* photoZones_;
    QLabel* camerasLabel_;
    QLabel* camerasHint_;
    CameraClockList* cameras_;
    QCheckBox* writeZones_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};

}  // namespace geovanta
