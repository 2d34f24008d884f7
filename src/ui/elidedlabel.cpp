#include "ui/elidedlabel.h"

#include <QPainter>
#include <QResizeEvent>
#include <QStyle>

namespace geovanta {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void ElidedLabel::setText(const QString& text) {
    QLabel::setText(text);
    updateToolTip();
}

QSize ElidedLabel::minimumSizeHint() const {
    const QMargins m = contentsMargins();
    const int width = fontMetrics().horizontalAdvance(QStringLiteral("…")) * 3 + 2 * margin();
    return QSize(width + m.left() + m.right(), QLabel::minimumSizeHint().height());
}

QString ElidedLabel::shownText() const {
    const int room = contentsRect().width() - 2 * margin();
    return fontMetrics().elidedText(text(), Qt::ElideRight, room);
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    style()->drawItemText(&painter, room, QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                          isEnabled(), shownText(), foregroundRole());
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    updateToolTip();
}

void ElidedLabel::updateToolTip() {
    elided_ = !text().isEmpty() && shownText() != text();
    setToolTip(elided_ ? text() : QString());
}

}  // namespace geovanta
