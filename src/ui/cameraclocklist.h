#pragma once
// The cameras' lines of the time offsets dialog: each camera loaded with its
// photographs' count, whether it has an offset of its own (days, hours,
// minutes, seconds; otherwise the photo offset shows, greyed, and applies)
// and whether its clock keeps local time. More cameras than fit scroll.

#include <QScrollArea>
#include <vector>

#include "app/commands/dialogs.h"

class QCheckBox;
class QGridLayout;
class QSpinBox;

namespace geovanta {

class CameraClockList : public QScrollArea {
    Q_OBJECT
public:
    explicit CameraClockList(QWidget* parent = nullptr);

    // New lines for `cameras`; `photoOffset` (days) is shown in the lines
    // without an offset of their own.
    void setCameras(const std::vector<CameraFields>& cameras, double photoOffset);
    // The lines as they stand, in the order given; text still being typed
    // is settled as the other fields are.
    std::vector<CameraFields> cameras();
    // The photo offset changed in the dialog: the lines that take it follow.
    void setPhotoOffset(double days);

private:
    struct Line {
        CameraFields shown;
        QCheckBox* own = nullptr;
        QSpinBox* parts[4] = {};
        QCheckBox* localTime = nullptr;
    };
    void showOffset(Line& line, double days);
    void fitHeight();

    QWidget* lines_ = nullptr;
    QGridLayout* grid_ = nullptr;
    std::vector<Line> cameras_;
    double photoOffset_ = 0;
};

}  // namespace geovanta
