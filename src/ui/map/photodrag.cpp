#include "ui/map/photodrag.h"

#include <QCoreApplication>
#include <QDrag>
#include <QMimeData>
#include <QPainter>
#include <QWidget>
#include <charconv>

namespace geovanta {
namespace {

// Rows mean something only to the process whose table they index: a drag
// from another running copy of the program is not taken.
QByteArray processMark() { return "pid " + QByteArray::number(QCoreApplication::applicationPid()); }

}  // namespace

QMimeData* photoRowsMime(const std::vector<std::size_t>& rows) {
    QByteArray text = processMark() + '\n';
    for (std::size_t row : rows) text += QByteArray::number(static_cast<qulonglong>(row)) + '\n';
    auto* mime = new QMimeData;
    mime->setData(kPhotoRowsMime, text);
    return mime;
}

std::vector<std::size_t> photoRowsOf(const QMimeData* mime) {
    std::vector<std::size_t> rows;
    if (!mime || !mime->hasFormat(kPhotoRowsMime)) return rows;
    const QList<QByteArray> lines = mime->data(kPhotoRowsMime).split('\n');
    if (lines.isEmpty() || lines.front() != processMark()) return rows;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        std::size_t row = 0;
        const auto [end, error] = std::from_chars(line.constData(), line.constData() + line.size(), row);
        if (!line.isEmpty() && error == std::errc() && end == line.constData() + line.size()) rows.push_back(row);
    }
    return rows;
}

void dragPhotos(QWidget* source, QMimeData* mime, const QStringList& names) {
    auto* drag = new QDrag(source);
    drag->setMimeData(mime);
    if (!names.isEmpty()) {
        const QString text = names.size() == 1 ? names.front()
                                               : QCoreApplication::translate("geovanta::PhotoDrag", "%1 и ещё %2")
                                                     .arg(names.front())
                                                     .arg(names.size() - 1);
        const QFontMetrics metrics(source->font());
        const qreal ratio = source->devicePixelRatioF();
        const QSize size(metrics.horizontalAdvance(text) + 12, metrics.height() + 6);
        QPixmap picture(size * ratio);
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::transparent);
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QColor(0, 100, 0));
        p.setBrush(QColor(255, 255, 255, 225));
        p.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 4, 4);
        p.setFont(source->font());
        p.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, text);
        p.end();
        drag->setPixmap(picture);
        // Below and to the right of the mouse.
        drag->setHotSpot(QPoint(-14, -14));
    }
    drag->exec(Qt::CopyAction);
}

}  // namespace geovanta
