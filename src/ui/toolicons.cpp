#include "ui/toolicons.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace geovanta {
namespace {

constexpr int kSize = 32;
const QColor kTrack(0, 110, 200);
const QColor kInk(50, 50, 50);

void drawTrack(QPainter& p, const QRectF& r) {
    QPainterPath path;
    path.moveTo(r.left(), r.bottom());
    path.cubicTo(r.left() + r.width() * 0.3, r.top(), r.left() + r.width() * 0.6, r.bottom(), r.right(), r.top());
    p.setPen(QPen(kTrack, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(kTrack);
    for (qreal t : {0.0, 0.35, 0.7, 1.0}) p.drawEllipse(path.pointAtPercent(t), 2.0, 2.0);
}

void drawCamera(QPainter& p, const QRectF& r) {
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(90, 90, 100));
    p.drawRoundedRect(QRectF(r.left() + r.width() * 0.3, r.top(), r.width() * 0.3, r.height() * 0.25), 1, 1);
    p.drawRoundedRect(QRectF(r.left(), r.top() + r.height() * 0.2, r.width(), r.height() * 0.8), 3, 3);
    p.setBrush(QColor(180, 210, 240));
    const QPointF c(r.center().x(), r.top() + r.height() * 0.6);
    p.drawEllipse(c, r.height() * 0.28, r.height() * 0.28);
    p.setBrush(QColor(40, 60, 90));
    p.drawEllipse(c, r.height() * 0.14, r.height() * 0.14);
}

void drawArrow(QPainter& p, QPointF from, QPointF to, const QColor& colour) {
    p.setPen(QPen(colour, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::max(1.0, std::hypot(to.x() - from.x(), to.y() - from.y()));
    const QPointF n(-d.y(), d.x());
    QPolygonF head{to + d * 2, to - d * 5 + n * 5, to - d * 5 - n * 5};
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(head);
}

void drawClock(QPainter& p, const QRectF& r) {
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(255, 250, 225));
    p.drawEllipse(r);
    const QPointF c = r.center();
    p.setPen(QPen(kInk, 1.2));
    for (int i = 0; i < 12; ++i) {
        p.save();
        p.translate(c);
        p.rotate(i * 30);
        p.drawLine(QPointF(0, -r.height() / 2 + 2), QPointF(0, -r.height() / 2 + 4));
        p.restore();
    }
    p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(0, -r.height() * 0.35));
    p.setPen(QPen(QColor(200, 40, 40), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(r.width() * 0.25, r.height() * 0.1));
}

void drawPin(QPainter& p, QPointF tip, qreal height) {
    const qreal radius = height * 0.32;
    const QPointF centre(tip.x(), tip.y() - height + radius);
    QPainterPath pin;
    pin.moveTo(tip);
    pin.arcTo(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), 210, -240);
    pin.closeSubpath();
    p.setPen(QPen(QColor(120, 0, 0), 1));
    p.setBrush(QColor(220, 40, 40));
    p.drawPath(pin);
    p.setBrush(Qt::white);
    p.drawEllipse(centre, radius * 0.4, radius * 0.4);
}

void drawPicture(QPainter& p, const QRectF& r) {
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(200, 230, 255));
    p.drawRect(r);
    QPolygonF hills{r.bottomLeft(), QPointF(r.left() + r.width() * 0.35, r.top() + r.height() * 0.45),
                    QPointF(r.left() + r.width() * 0.6, r.top() + r.height() * 0.7),
                    QPointF(r.left() + r.width() * 0.8, r.top() + r.height() * 0.5), r.bottomRight()};
    p.setBrush(QColor(60, 150, 60));
    p.drawPolygon(hills);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 200, 40));
    p.drawEllipse(QPointF(r.left() + r.width() * 0.25, r.top() + r.height() * 0.25), 2.5, 2.5);
}

QPixmap draw(ToolIcon kind) {
    QPixmap pm(kSize, kSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor in(40, 150, 40), out(230, 120, 0);
    switch (kind) {
        case ToolIcon::LoadTrack:
            drawTrack(p, QRectF(3, 12, 26, 16));
            drawArrow(p, QPointF(22, 2), QPointF(22, 11), in);
            break;
        case ToolIcon::LoadPhotos:
            drawCamera(p, QRectF(2, 12, 24, 18));
            drawArrow(p, QPointF(26, 1), QPointF(26, 10), in);
            break;
        case ToolIcon::SendTrack:
            drawTrack(p, QRectF(2, 4, 22, 16));
            drawArrow(p, QPointF(14, 26), QPointF(26, 26), out);
            break;
        case ToolIcon::SendPhotos:
            drawCamera(p, QRectF(2, 2, 22, 17));
            drawArrow(p, QPointF(14, 26), QPointF(26, 26), out);
            break;
        case ToolIcon::TimeOffsets:
            drawClock(p, QRectF(3, 3, 26, 26));
            break;
        case ToolIcon::WriteTags:
            drawPicture(p, QRectF(2, 10, 24, 19));
            drawPin(p, QPointF(22, 22), 20);
            break;
    }
    return pm;
}

}  // namespace

QIcon toolIcon(ToolIcon kind) { return QIcon(draw(kind)); }

QIcon programIcon() {
    QIcon icon;
#ifdef GEOVANTA_APP_ID
    // The icon the desktop shows for the program, built in at every size.
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1x%1/" GEOVANTA_APP_ID ".png").arg(size), QSize(size, size));
#endif
    if (icon.availableSizes().isEmpty()) icon.addPixmap(drawnProgramPicture(256, 256));
    return icon;
}

QPixmap programPicture(int width, int height) {
    const QIcon icon = programIcon();
    const int side = std::min(width, height);
    QPixmap pm(width, height);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.drawPixmap((width - side) / 2, (height - side) / 2, icon.pixmap(QSize(side, side)).scaled(
                     side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return pm;
}

QPixmap drawnProgramPicture(int width, int height) {
    QPixmap pm(width, height);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    drawTrack(p, QRectF(width * 0.08, height * 0.55, width * 0.84, height * 0.35));
    drawPin(p, QPointF(width * 0.5, height * 0.72), height * 0.65);
    return pm;
}

}  // namespace geovanta
